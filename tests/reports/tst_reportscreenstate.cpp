// The report screen's state: the criterion each group builds and the messages that refuse
// it, a template that cannot be read or bound, what an open screen fills in, the document
// parameters, and the checks before a report is mailed.
#include "DateText.h"
#include "DbError.h"
#include "ReportCatalogue.h"
#include "ReportCriteria.h"
#include "ReportInputs.h"
#include "ReportMailer.h"
#include "ReportScreenState.h"
#include "Settings.h"
#include "TestContext.h"

#include <memory>
#include <QFile>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(kivo::CriterionGroup)
Q_DECLARE_METATYPE(kivo::Criterion::Status)

namespace {

using test::TempDatabase;
using test::TestContext;

// A small template as a listing receives it: the first column of every row, the row count.
QString SmallTemplate(const QString& detailExpr = u"#0"_s)
{
    return u"report title=\"Test\" page=A4\nparameter name=pEntName\nparameter name=pFilter\n"
           "band kind=detail height=5\nfield x=0 y=0 w=60 h=5 expr=\"%1\"\n"
           "band kind=summary height=5\nfield x=0 y=0 w=60 h=5 expr=\"'rows ' & count()\"\n"_s.arg(
               detailExpr);
}

void WriteFile(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// A state for a report opened from the Report menu, with its template written.
std::unique_ptr<ReportScreenState> MenuReport(TestContext& shop, int code)
{
    auto state = std::make_unique<ReportScreenState>(shop.context, code, ReportCatalogue::Find(code)->title);
    WriteFile(state->TemplateName(), SmallTemplate());
    return state;
}

} // namespace

class TestReportScreenState : public QObject {
    Q_OBJECT
    std::unique_ptr<TestContext> m_shop;

private slots:
    // One demo shop, logged in as its enterprise, with the settings loaded.
    void initTestCase()
    {
        m_shop = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        LoginValues& login = m_shop->context.login;
        login.EnterpriseShort = u"MyShop"_s;
        login.EnterpriseName = u"My Shop"_s;
        login.EnterpriseAddress = u"Shop address line 1"_s;
        LoadPreferences(m_shop->context);
    }
    void init()
    {
        m_shop->messages.shown.clear();
        m_shop->context.login.EnterpriseEmail = u"shop@example.com"_s;
        QFile::remove(m_shop->context.locations.ErrorLogFile);
    }

    void criterion_data()
    {
        QTest::addColumn<CriterionGroup>("group");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("endText");
        QTest::addColumn<Criterion::Status>("status");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("filter");

        using G = CriterionGroup;
        using S = Criterion::Status;
        const auto typed = [](const char* name, G group, const QString& value, const QString& label, S status,
                               const QString& sql, const QString& filter) {
            QTest::newRow(name) << group << value << label << QDate() << QDate() << QString() << status << sql
                                << filter;
        };
        const auto dated
            = [](const char* name, const QString& startText, const QDate& start, const QDate& end,
                  const QString& endText, S status, const QString& sql, const QString& filter) {
                  QTest::newRow(name) << G::DateRange << startText << QString() << start << end << endText
                                      << status << sql << filter;
              };
        const QDate jan31(2024, 1, 31), feb29(2024, 2, 29);

        typed("group number padded with blanks", G::ProductGroup, u"  3 "_s, u"Snacks"_s, S::Ok,
            u" And ( a.PGId =3 ) "_s, u"  3 - Snacks"_s);
        typed("empty value selects everything", G::ProductGroup, u"   "_s, u"Snacks"_s, S::Ok, QString(),
            u"-"_s);
        typed("decimal comma becomes a number", G::DocumentNumber, u"12,5"_s, QString(), S::Ok,
            u" And ( a.EId =12.5 ) "_s, u"12,5- "_s);
        typed("number with a statement behind it", G::DocumentNumber, u"1 ) Or ( 1=1"_s, QString(),
            S::InvalidCriteria, QString(), u"-"_s);
        typed("product code with a quote stays one literal", G::ProductCode, u"P' Or '1'='1"_s, QString(),
            S::Ok, u" And ( a.PCode = 'P'' Or ''1''=''1' ) "_s, u"P' Or '1'='1"_s);
        dated("start equal to end, month first", u"31.01.2024"_s, jan31, jan31, u"31.01.2024"_s, S::Ok,
            u" And ( a.EDate Between #01/31/2024# And #01/31/2024# ) "_s, u"31.01.2024 To 31.01.2024"_s);
        dated("start after end", u"x"_s, feb29, jan31, u"y"_s, S::InvalidRange, QString(), u"-"_s);
        dated(
            "calendar without a date", u"x"_s, QDate(), jan31, u"y"_s, S::InvalidCriteria, QString(), u"-"_s);
    }

    void criterion()
    {
        QFETCH(CriterionGroup, group);
        QFETCH(QString, value);
        QFETCH(QString, label);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, endText);

        const Criterion c = BuildCriterion(CriterionSetup::For(group), value, label, start, end, endText);
        QTEST(c.status, "status");
        QTEST(c.CriteriaSql, "sql");
        QTEST(c.FilterText, "filter");
    }

    void criterionMessages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focus");

        const QDate today = TempDatabase::FixedToday();
        QTest::newRow("document number empty")
            << 57 << u" "_s << QDate() << QDate() << u"Select Criteria !"_s << true;
        QTest::newRow("bill id not a number")
            << 56 << u"1 Or 1=1"_s << QDate() << QDate() << u"Invalid Criteria !"_s << false;
        QTest::newRow("start after end")
            << 69 << u"x"_s << today << today.addDays(-1) << u"Invalid Range !"_s << false;
    }

    void criterionMessages()
    {
        QFETCH(int, code);
        QFETCH(QString, value);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, message);
        const auto state = MenuReport(*m_shop, code);
        state->txtRepo1 = value;
        state->monSel1 = start;
        state->monSel2 = end;

        QVERIFY(!state->View());
        QCOMPARE(m_shop->messages.shown, QStringList { message });
        QTEST(state->focusRepo1, "focus");
        QVERIFY(!state->Pages());
        QVERIFY(!state->cmdExportVisible);
        QCOMPARE(state->FilterText, u"-"_s);
    }

    void templateProblems_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text"); // null: no file
        QTest::addColumn<QString>("logged");

        QTest::newRow("missing") << 41 << QString() << u"KiPro41.Kvr"_s;
        QTest::newRow("syntax") << 41 << u"report title=T page=A4\nband kind=detail height=5\nfeild x=0\n"_s
                                << u"KiPro41.Kvr, line 3, column 1"_s;
        QTest::newRow("unknown column")
            << 41 << SmallTemplate(u"PNoSuch"_s) << u"KiPro41.Kvr, line 5, column"_s;
    }

    void templateProblems()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QString, logged);
        ReportScreenState state(m_shop->context, code, ReportCatalogue::Find(code)->title);
        QFile::remove(state.TemplateName());
        if (!text.isNull())
            WriteFile(state.TemplateName(), text);
        if (ReportCatalogue::Find(code)->criterionNeeded)
            state.txtRepo1
                = m_shop->context.connection.Scalar(u"Select Min(EId) From ktBillMast"_s).toString();

        QVERIFY(state.View());
        const QStringList log = m_shop->ErrorLogLines();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log[0].contains(logged), qPrintable(log[0]));
        QCOMPARE(m_shop->messages.shown, QStringList { u"ErroR!"_s });
        QVERIFY(!state.Pages());
        QVERIFY(!state.ExportPdf(m_shop->context.locations.DocFolder + u"x.pdf"_s));
    }

    void prefillAndTitle_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("menuCaption");
        QTest::addColumn<bool>("fromScreen");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("repo1");
        QTest::addColumn<QString>("repo2");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QDate>("calendars");

        const QDate entered(2026, 2, 14);
        const QDate today = TempDatabase::FixedToday();
        const QString date = ShortDate(entered);
        QTest::newRow("product group") << 41 << QString() << true << u"Product Listing"_s << u"3"_s
                                       << QString() << u"Snacks"_s << QDate();
        QTest::newRow("gift receipt")
            << 80 << u"Bill"_s << true << u"Gift Receipt"_s << u"17"_s << QString() << QString() << QDate();
        QTest::newRow("entry date in both boxes")
            << 51 << QString() << true << u"Customer List"_s << date << date << QString() << entered;
        QTest::newRow("account") << 79 << QString() << true << u"Account Ledger"_s << u"2017-03-01"_s
                                 << QString() << u"Cash Box"_s << QDate();
        QTest::newRow("rate history takes neither") << 76 << u"Rate History"_s << true << u"Rate History"_s
                                                    << QString() << QString() << QString() << QDate();
        QTest::newRow("date report without open screen")
            << 69 << u"Daily Sales"_s << false << u"Daily Sales"_s << ShortDate(today) << ShortDate(today)
            << QString() << today;
    }

    void prefillAndTitle()
    {
        QFETCH(int, code);
        QFETCH(QString, menuCaption);
        QFETCH(bool, fromScreen);
        QFETCH(QDate, calendars);
        // An open screen whose fields 0, 1, 2 and 4 hold what the groups read.
        const OpenScreenValues form { { u"17"_s, ShortDate(QDate(2026, 2, 14)), u"2017-03-01"_s, u"f3"_s,
                                          u"3"_s, u"f5"_s, u"f6"_s, u"f7"_s },
            { u"l0"_s, u"l1"_s, u"Cash Box"_s, u"l3"_s, u"Snacks"_s, u"l5"_s, u"l6"_s, u"l7"_s } };

        ReportScreenState state(m_shop->context, code, menuCaption, fromScreen ? &form : nullptr);
        QTEST(state.title, "title");
        QTEST(state.txtRepo1, "repo1");
        QTEST(state.txtRepo2, "repo2");
        QTEST(state.lblList, "label");
        if (calendars.isValid()) {
            QCOMPARE(state.monSel1, calendars);
            QCOMPARE(state.monSel2, calendars);
        }
    }

    // The values a document print receives from the preferences: a Null as "", the quantity
    // decimals as a number, and a setting that is not one refused.
    void documentParameters()
    {
        m_shop->context.connection.Execute(u"Update kaPreference Set PHeader=Null, PMessage1='Msg one'"_s);
        m_shop->context.preferences.PQtyDeci = u"3"_s;

        const ReportLayout::Parameters p = ReportInputs::Document(m_shop->context, 57);
        QCOMPARE(p.value(u"pHeader"_s), QVariant(u""_s));
        QCOMPARE(p.value(u"pMessage1"_s), QVariant(u"Msg one"_s));

        QCOMPARE(p.value(u"pQtyDec"_s).typeId(), QMetaType::LongLong);
        QCOMPARE(p.value(u"pQtyDec"_s).toInt(), 3);

        m_shop->context.preferences.PQtyDeci = u"x"_s;
        QVERIFY_THROWS_EXCEPTION(DbError, ReportInputs::Document(m_shop->context, 57));
    }

    void validEmail_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::newRow("dotted words and domains") << u"the.shop_1@mail.example.info"_s << true;
        QTest::newRow("two-letter end") << u"a@b.de"_s << true;
        QTest::newRow("five-letter end") << u"shop@example.store"_s << false;
        QTest::newRow("hyphen") << u"my-shop@example.com"_s << false;
        QTest::newRow("no domain dot") << u"shop@example"_s << false;
        QTest::newRow("non-ASCII letter") << u"caf\u00e9@example.com"_s << false;
    }

    void validEmail()
    {
        QFETCH(QString, address);
        QTEST(ReportScreenState::ValidEmail(address), "valid");
    }

    void mailNotSent_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("written"); // the report written for the mail stays in Doc/
        QTest::newRow("invalid enterprise address")
            << u"my-shop@example.com"_s << u"/bin/true"_s << QStringList { u"Invalid Enterprise Email !"_s }
            << false;
        QTest::newRow("no mail program") << u"shop@example.com"_s << QString()
                                         << QStringList { u"ErroR!"_s, u"Emailing Not Setup !"_s } << true;
    }

    void mailNotSent()
    {
        QFETCH(QString, address);
        QFETCH(QString, program);
        QFETCH(bool, written);
        m_shop->context.login.EnterpriseEmail = address;
        const auto state = MenuReport(*m_shop, 69);
        QVERIFY(state->View());
        QCOMPARE(state->AttachmentName(), m_shop->context.locations.DocFolder + u"KiDai.Pdf"_s);
        QVERIFY(!state->MailReport(ReportMailer(program, {})));
        QTEST(m_shop->messages.shown, "messages");
        QCOMPARE(m_shop->ErrorLogLines().size(), written ? 1 : 0);
        QCOMPARE(QFile::exists(state->AttachmentName()), written);
    }
};

QTEST_MAIN(TestReportScreenState)
#include "tst_reportscreenstate.moc"
