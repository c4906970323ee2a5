// The customer look-up by phone: found, added with placeholders, refused, and added inside
// the caller's transaction; and the customer screen around it, without its window: a customer
// found by phone, changed and saved (one created, completed and saved is the program run's).
#include "CustomerBState.h"
#include "CustomerByPhone.h"
#include "EngineFixture.h"
#include "ShopRows.h"

#include <memory>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

using F = CustomerBState::FieldNumber;
using O = CustomerByPhone::Outcome;
const QDate BillDay(2026, 3, 5);

} // namespace

class TestCustomerByPhone : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<CustomerBState> state;

    QVariant Scalar(const QString& sql) { return f->Scalar(sql); }
    int Customers() { return Scalar(u"Select Count(*) From ktCustomer"_s).toInt(); }
    RecordScreen& screen() { return state->screen(); }
    QStringList& shown() { return f->messages().shown; }

private slots:
    void init()
    {
        state.reset(); // it works on the fixture's context
        f = std::make_unique<EngineFixture>();
        state = std::make_unique<CustomerBState>(f->context(), f->engine);
        AddCustomer(f->db(), 1, u"Ann Lee"_s, u"5550001"_s, u"C01015550"_s);
        AddCustomer(f->db(), 2, u"Bo Ray"_s, u"5550002"_s, u"C01020002"_s, u"N"_s);
        // A phone stored twice by another route: the first stored is the one found.
        AddCustomer(f->db(), 3, u"Cy Dunn"_s, u"5550003"_s, u"C01030003"_s);
        AddCustomer(f->db(), 4, u"Di Fox"_s, u"5550003"_s, u"C01040003"_s);
    }
    void lookUp_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("found"); // "id name code", or "new CODE" for an added customer
        QTest::addColumn<QStringList>("messages");
        const QStringList added { u"New Customer Added !"_s };
        const QStringList invalid { u"Invalid Phone !"_s };
        QTest::newRow("known, blanks around")
            << " 5550001 " << int(O::Found) << "1 Ann Lee C01015550" << QStringList();
        QTest::newRow("inactive still used")
            << "5550002" << int(O::Found) << "2 Bo Ray C01020002" << QStringList { u"<Inactive Customer>"_s };
        QTest::newRow("phone stored twice")
            << "5550003" << int(O::Found) << "3 Cy Dunn C01030003" << QStringList();
        // The code takes the day the program runs, the row the bill's date.
        QTest::newRow("new") << "0123453210" << int(O::Created) << "new C12033210" << added;
        QTest::newRow("new, shorter than four") << "123" << int(O::Created) << "new C1203123" << added;
        QTest::newRow("blanks only") << "   " << int(O::NoPhone) << "" << QStringList();
        QTest::newRow("quote") << "555'0001" << int(O::InvalidPhone) << "" << invalid;
        QTest::newRow("wider than the column") << "98765432101" << int(O::InvalidPhone) << "" << invalid;
    }
    void lookUp()
    {
        QFETCH(QString, phone);
        QFETCH(int, outcome);
        QFETCH(QString, found);
        f->context().today = [] { return QDate(2026, 12, 3); };
        const int before = Customers();

        const CustomerByPhone::Result result = CustomerByPhone(f->context()).LookUp(phone, BillDay);

        QCOMPARE(int(result.outcome), outcome);
        QTEST(shown(), "messages");
        if (outcome == int(O::Found)) {
            const PhoneCustomer& c = result.customer;
            QCOMPARE(u"%1 %2 %3"_s.arg(c.id).arg(c.name, c.code), found);
            QCOMPARE(c.active, c.id != 2);
        }
        QCOMPARE(Customers(), before + (outcome == int(O::Created) ? 1 : 0));
        if (outcome != int(O::Created))
            return;
        // The added row, read back by SQL: placeholders, the trimmed phone, the bill's date.
        QCOMPARE(
            Scalar(
                u"Select 'new ' || CCode || ' ' || EDate || ' ' || CPhone || CActive || CName || CAddress "
                "|| CCity || CState || CCountry || CZipCode || CEmail || CRemarks From ktCustomer Where EId="_s
                + QString::number(result.customer.id))
                .toString(),
            found + u" 2026-03-05 "_s + phone + u"Y--------"_s);
        QCOMPARE(result.customer.name, u"-"_s);
        // Asked again, the same phone finds the customer just added.
        const CustomerByPhone::Result again = CustomerByPhone(f->context()).LookUp(phone, BillDay);
        QCOMPARE(int(again.outcome), int(O::Found));
        QCOMPARE(again.customer.id, result.customer.id);
    }

    // A bill that is never checked out takes its new customer back with it.
    void addedInsideTheCallersTransaction()
    {
        const int before = Customers();
        {
            Transaction bill(f->db());
            const auto result = CustomerByPhone(f->context()).LookUp(u"7770001"_s, BillDay);
            QCOMPARE(int(result.outcome), int(O::Created));
            QCOMPARE(f->db().TransactionDepth(), 1);
            QCOMPARE(Customers(), before + 1);
        }
        QCOMPARE(Customers(), before);
    }

    // A database that cannot answer: reported once, nothing added, the caller goes on.
    void failureIsReported()
    {
        f->db().ExecuteRaw(u"DROP TABLE ktCustomer"_s);
        const auto result = CustomerByPhone(f->context()).LookUp(u"5550001"_s, BillDay);
        QCOMPARE(int(result.outcome), int(O::Failed));
        QCOMPARE(shown(), QStringList { u"ErroR!"_s });
        QCOMPARE(f->test.ErrorLogLines().size(), 1);
    }

    void save_data()
    {
        QTest::addColumn<QStringList>("typed"); // "field=text" over the customer of 5550001
        QTest::addColumn<QString>("problems"); // the message's lines after the heading; empty: saved
        QTest::addColumn<QString>("stored"); // "CName CActive CCode" afterwards
        QTest::newRow("made inactive") << QStringList { u"11=N"_s } << ""
                                       << "Ann Lee N C01015550";
        QTest::newRow("name emptied") << QStringList { u"2="_s, u"4= "_s } << "\nName\nCity"
                                      << "Ann Lee Y C01015550";
        QTest::newRow("code of another customer")
            << QStringList { u"10=C01020002"_s } << "\nCustomer Code (Exists)"
            << "Ann Lee Y C01015550";
        QTest::newRow("own code kept") << QStringList { u"10=C01015550"_s } << ""
                                       << "Ann Lee Y C01015550";
    }
    void save()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, problems);
        state->OpenStandAlone();
        screen().SetText(F::PhoneField, u"5550001"_s);
        state->Search();
        QVERIFY(state->CustomerShown());
        for (const QString& entry : typed)
            screen().SetText(entry.section(u'=', 0, 0).toInt(), entry.section(u'=', 1));
        shown().clear();

        QCOMPARE(state->Save(), problems.isEmpty());

        QCOMPARE(shown(),
            problems.isEmpty() ? QStringList() : QStringList { u"Invalid-Empty Fields:\n\n"_s + problems });
        QCOMPARE(state->SavedName(), problems.isEmpty() ? screen().Text(F::NameField) : QString());
        QTEST(Scalar(u"Select CName || ' ' || CActive || ' ' || CCode From ktCustomer Where EId="_s
                  + screen().Text(F::IdField))
                  .toString(),
            "stored");
    }
};

QTEST_GUILESS_MAIN(TestCustomerByPhone)
#include "tst_customerbyphone.moc"
