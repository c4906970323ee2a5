#include "KvReport.h"
#include "PageModel.h"
#include "ProgramRun.h"
#include "ReportViewer.h"
#include "Settings.h"
#include "TestContext.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

using test::TempDatabase;
using test::TestContext;

template <typename T = QPushButton> T* Element(const KvReport& screen, const QString& name)
{
    T* element = screen.findChild<T*>(name);
    if (!element)
        qFatal("no element %s", qPrintable(name));
    return element;
}

} // namespace

class TestKvReport : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> m_shop;
    QStringList m_picks; // the sources the picker was asked for
    std::optional<ListPick> m_nextPick;

    std::unique_ptr<KvReport> Open(int code, const QString& caption, const OpenScreenValues* form = nullptr,
        const QString& mode = u"R"_s)
    {
        m_shop->messages.shown.clear();
        const auto picker = [this](const QString& source) {
            m_picks << source;
            return m_nextPick;
        };
        auto screen = std::make_unique<KvReport>(m_shop->context, code, caption, form, mode, picker);
        screen->show();
        return screen;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        // One demo shop for the whole suite: the report screen only reads it.
        m_shop = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        m_shop->context.login.EnterpriseShort = u"MyShop"_s;
        m_shop->context.login.EnterpriseName = u"My Shop"_s;
        m_shop->context.login.EnterpriseEmail = u"shop@example.com"_s;
        LoadCustomize(m_shop->context);
        LoadPreferences(m_shop->context);
        // The shipped templates, as a data folder has them in Bin/.
        const QDir templates(qEnvironmentVariable("KIVO_SOURCE_DIR") + u"/src/reports/templates"_s);
        const QString prefix = m_shop->context.locations.DatabaseName.left(2);
        for (const QString& name : templates.entryList({ u"Ki*.Kvr"_s }))
            QVERIFY(QFile::copy(
                templates.filePath(name), m_shop->context.locations.BinFolder + prefix + name.mid(2)));
    }

    void criterionRowPerGroup_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("picker"); // cmdList1 and lblList
        QTest::addColumn<bool>("endDate"); // txtRepo2 and cmdList2
        QTest::addColumn<bool>("typed"); // txtRepo1 takes typing
        QTest::addColumn<int>("length");

        QTest::newRow("document number") << 58 << false << false << true << 10;
        QTest::newRow("date range") << 71 << true << true << false << 10;
        QTest::newRow("product code") << 76 << true << false << false << 15;
    }

    void criterionRowPerGroup()
    {
        QFETCH(int, code);
        QFETCH(bool, picker);
        QFETCH(bool, endDate);
        QFETCH(bool, typed);
        QFETCH(int, length);
        const auto screen = Open(code, u"Some Report"_s);
        QCOMPARE(Element(*screen, u"cmdList1"_s)->isVisible(), picker);
        QCOMPARE(Element<QLabel>(*screen, u"lblList"_s)->isVisible(), picker);
        QCOMPARE(Element<QLineEdit>(*screen, u"txtRepo2"_s)->isVisible(), endDate);
        QCOMPARE(Element(*screen, u"cmdList2"_s)->isVisible(), endDate);
        QCOMPARE(Element<QLineEdit>(*screen, u"txtRepo1"_s)->isReadOnly(), !typed);
        QCOMPARE(Element<QLineEdit>(*screen, u"txtRepo1"_s)->maxLength(), length);
    }

    void groupPickThenView()
    {
        const QString group
            = m_shop->context.connection.Scalar(u"Select Min(PGId) From ktProduct"_s).toString();
        m_nextPick = ListPick { group, u"Picked Group"_s };
        m_picks.clear();
        const auto screen = Open(41, u"Product Listing"_s);
        QVERIFY(!Element(*screen, u"cmdPrint"_s)->isVisible()); // output commands wait for a View
        QTest::mouseClick(Element(*screen, u"cmdList1"_s), Qt::LeftButton);
        QCOMPARE(m_picks, QStringList { u"GName, EId From kmGroup"_s });
        QCOMPARE(Element<QLineEdit>(*screen, u"txtRepo1"_s)->text(), group);
        QCOMPARE(Element<QLabel>(*screen, u"lblList"_s)->text(), u"Picked Group"_s);

        QTest::mouseClick(Element(*screen, u"cmdView"_s), Qt::LeftButton);
        QCOMPARE(m_shop->messages.shown, QStringList());
        QVERIFY(screen->viewer()->HasReport());
        for (const QString& shownNow : { u"cmdPrint"_s, u"cmdExport"_s, u"cmdEmail"_s })
            QVERIFY2(Element(*screen, shownNow)->isVisible(), qPrintable(shownNow));
        QVERIFY(!Element(*screen, u"cmdPprint"_s)->isVisible());
        m_nextPick.reset();
    }

    void printModeShowsTheBillAtOnce()
    {
        const QString bill
            = m_shop->context.connection.Scalar(u"Select Max(EId) From ktBillMast"_s).toString();
        QVERIFY(!bill.isEmpty());
        const OpenScreenValues billing { { bill }, {} };
        const auto screen = Open(57, u"Bill Print (L)"_s, &billing, u"P"_s);
        QTRY_VERIFY(screen->viewer()->HasReport());
        QCOMPARE(Element<QLineEdit>(*screen, u"txtRepo1"_s)->text(), bill);
        QCOMPARE(screen->state().CriteriaSql, u" And ( a.EId ="_s + bill + u" ) "_s); // that bill alone
        QVERIFY(!Element<QLineEdit>(*screen, u"txtRepo1"_s)->isEnabled());
        QVERIFY(Element(*screen, u"cmdPprint"_s)->isVisible());
        QVERIFY(Element(*screen, u"cmdClose"_s)->isVisible());
        for (const QString& hidden : { u"cmdView"_s, u"cmdPrint"_s, u"cmdExport"_s, u"cmdEmail"_s })
            QVERIFY2(!Element(*screen, hidden)->isVisible(), qPrintable(hidden));

        // Escape on PRINT closes the screen and ends print mode.
        QTest::keyClick(Element(*screen, u"cmdPprint"_s), Qt::Key_Escape);
        QVERIFY(!screen->isVisible());
        QCOMPARE(screen->state().ReportMode, u"R"_s);
    }

    void printGoesToTheChosenPrinter()
    {
        QTemporaryDir dir;
        const auto screen = Open(45, u"Stock Counting"_s);
        QTest::mouseClick(Element(*screen, u"cmdView"_s), Qt::LeftButton);
        // Page Down in the criterion box turns the viewer's page.
        screen->viewer()->FinishLayout();
        QVERIFY(screen->viewer()->PageCount() > 1);
        QTest::keyClick(Element<QLineEdit>(*screen, u"txtRepo1"_s), Qt::Key_PageDown);
        QCOMPARE(screen->viewer()->CurrentPage(), 1);
        QString target = dir.filePath(u"printed.pdf"_s);
        bool asked = false;
        screen->choosePrinter = [&](QPrinter& printer) {
            asked = true;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(target);
            return true;
        };
        QTest::mouseClick(Element(*screen, u"cmdPrint"_s), Qt::LeftButton);
        QVERIFY(asked);
        QCOMPARE(m_shop->messages.shown, QStringList());
        QCOMPARE(test::PdfPageSizes(target).size(), screen->viewer()->PageCount());

        // A printer that cannot be used gives a message that names it.
        target = u"/nonexistent-folder/printed.pdf"_s;
        QTest::mouseClick(Element(*screen, u"cmdPrint"_s), Qt::LeftButton);
        QCOMPARE(m_shop->messages.shown.size(), 1);
        QVERIFY2(m_shop->messages.shown.constFirst().contains(target),
            qPrintable(m_shop->messages.shown.join(u';')));
    }

    void exportWritesThePdf_data()
    {
        QTest::addColumn<QString>("file"); // relative to a temporary folder
        QTest::addColumn<bool>("written");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("written") << u"out.Pdf"_s << true << QStringList { u"Report Exported !"_s };
        QTest::newRow("folder missing")
            << u"no/such/out.Pdf"_s << false
            << QStringList { u"ErroR!"_s, u"Report Exported !"_s, u"no/such/out.Pdf"_s };
    }

    void exportWritesThePdf()
    {
        QFETCH(QString, file);
        QFETCH(bool, written);
        QFETCH(QStringList, messages);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        const auto screen = Open(46, u"Current Stock"_s);
        QTest::mouseClick(Element(*screen, u"cmdView"_s), Qt::LeftButton);
        screen->chooseExportFile = [&] { return path; };
        QTest::mouseClick(Element(*screen, u"cmdExport"_s), Qt::LeftButton);
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(m_shop->messages.shown.size(), messages.size());
        for (qsizetype i = 0; i < messages.size(); ++i)
            QVERIFY2(m_shop->messages.shown.at(i).contains(messages.at(i)),
                qPrintable(m_shop->messages.shown.join(u';')));
    }
};

QTEST_MAIN(TestKvReport)
#include "tst_kvreport.moc"
