// The inquiry over the open record screen's table, and the criterion builder it shares
// with the other data tools, on a real temporary database.
#include "CriterionBuilder.h"
#include "FakeHost.h"
#include "InquiryState.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Recordset.h"
#include "ScreenCatalogue.h"
#include "SeedData.h"
#include "TestContext.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace kivo;
using namespace kivo::test;

class InquiryTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        m_inquiry.reset();
        m_screen.reset();
        m_engine.reset();
        m_host.reset();
        m_test.reset();
    }

    void criterion_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("criterion"); // "" when the value is refused

        QTest::newRow("blank lists all")
            << QStringLiteral("PName") << int(FieldText) << QStringLiteral("Like") << QStringLiteral("")
            << QStringLiteral("1=1");
        QTest::newRow("text begins with")
            << QStringLiteral("PName") << int(FieldText) << QStringLiteral("Like") << QStringLiteral(" Tea ")
            << QStringLiteral("PName Like 'Tea%' ");
        QTest::newRow("quote stays text") << QStringLiteral("CName") << int(FieldText) << QStringLiteral("=")
                                          << QStringLiteral("O'Hara") << QStringLiteral("CName = 'O''Hara' ");
        QTest::newRow("whole number") << QStringLiteral("POpenQty") << int(FieldLong) << QStringLiteral(">=")
                                      << QStringLiteral(" 12 ") << QStringLiteral("POpenQty >= 12");
        QTest::newRow("decimal comma")
            << QStringLiteral("PSaleRate") << int(FieldDouble) << QStringLiteral("<")
            << QStringLiteral("12,5") << QStringLiteral("PSaleRate < 12.5");
        QTest::newRow("statement in a number refused")
            << QStringLiteral("EId") << int(FieldLong) << QStringLiteral("=") << QStringLiteral("1 Or 1=1")
            << QStringLiteral("");
        QTest::newRow("date") << QStringLiteral("EDate") << int(FieldDate) << QStringLiteral("=")
                              << QStringLiteral("2026-03-05") << QStringLiteral("EDate = #03/05/2026#");
        QTest::newRow("impossible date refused")
            << QStringLiteral("EDate") << int(FieldDate) << QStringLiteral(">")
            << QStringLiteral("2026-02-30") << QStringLiteral("");
    }

    void criterion()
    {
        QFETCH(QString, column);
        QFETCH(int, type);
        QFETCH(QString, op);
        QFETCH(QString, value);
        QFETCH(QString, criterion);
        const std::optional<QString> built = CriterionBuilder::Build(column, type, op, value);
        QCOMPARE(built.value_or(QString()), criterion);
        QCOMPARE(built.has_value(), !criterion.isEmpty());
    }

    void opensOnTheCurrentRecord()
    {
        RecordScreen& screen = Open(QStringLiteral("KvProduct"));
        InquiryState& inquiry = Inquire();
        QVERIFY(!inquiry.closed);
        QCOMPARE(inquiry.tableLabel, QStringLiteral("Table:Product"));
        QCOMPARE(inquiry.countLabel, QStringLiteral("Count:1"));
        QCOMPARE(inquiry.model().rowCount(), 1);
        QCOMPARE(inquiry.model().Text(0, 0), screen.Text(0));
        QCOMPARE(inquiry.fieldNames.size(), screen.FieldCount());
        QCOMPARE(CriterionBuilder::Operators().value(inquiry.op), QStringLiteral("Like"));
        QCOMPARE(m_test->messages.shown, QStringList());
    }

    void accessCodesAreNotListed()
    {
        Open(QStringLiteral("KvUser"));
        InquiryState& inquiry = Inquire();
        QVERIFY(!inquiry.fieldNames.contains(QStringLiteral("UPasscd")));
        QVERIFY(inquiry.model().IsHiddenColumn(3));
        QCOMPARE(inquiry.model().Text(0, 3), QString());
    }

    void noRecordToStartFrom()
    {
        Open(QStringLiteral("KvCoupon"), TempDatabase::Content::Defaults);
        QCOMPARE(Count(QStringLiteral("ktCoupon")), 0);
        InquiryState& inquiry = Inquire();
        QVERIFY(inquiry.closed);
        QCOMPARE(m_test->messages.shown, QStringList { QStringLiteral("No Record !") });
    }

    void limitAndWarning_data()
    {
        QTest::addColumn<int>("products");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("warned");

        QTest::newRow("under the limit") << 99 << 99 << false;
        QTest::newRow("exactly 100") << 100 << 100 << true;
        QTest::newRow("over the limit") << 130 << 100 << true;
    }

    void limitAndWarning()
    {
        QFETCH(int, products);
        QFETCH(int, listed);
        QFETCH(bool, warned);
        Open(QStringLiteral("KvProduct"));
        AddProducts(products - Count(QStringLiteral("ktProduct")));
        QCOMPARE(Count(QStringLiteral("ktProduct")), products);

        InquiryState& inquiry = Inquire();
        inquiry.LookUp();
        QCOMPARE(inquiry.model().rowCount(), listed);
        QCOMPARE(inquiry.countLabel, QStringLiteral("Count:%1").arg(listed));
        QCOMPARE(
            m_test->messages.shown, warned ? QStringList { QStringLiteral("Records>100 !") } : QStringList());
        QVERIFY(inquiry.focusValue);
    }

    void typedTextStaysText_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("found");

        QTest::newRow("name with a quote") << QStringLiteral("=") << QStringLiteral("Ann's Tea") << 1;
        QTest::newRow("statement typed as a name")
            << QStringLiteral("Like") << QStringLiteral("'; Delete From ktProduct; --") << 0;
    }

    void typedTextStaysText()
    {
        QFETCH(QString, op);
        QFETCH(QString, value);
        Open(QStringLiteral("KvProduct"));
        context().connection.Execute(
            QStringLiteral("Update ktProduct Set PName=? Where EId=2"), { QStringLiteral("Ann's Tea") });
        const int before = Count(QStringLiteral("ktProduct"));

        InquiryState& inquiry = Inquire();
        LookUp(inquiry, QStringLiteral("PName"), op, value);
        QTEST(inquiry.model().rowCount(), "found");
        QCOMPARE(m_test->messages.shown, QStringList());
        QCOMPARE(Count(QStringLiteral("ktProduct")), before);
    }

    void invalidCriterion()
    {
        Open(QStringLiteral("KvProduct"));
        InquiryState& inquiry = Inquire();
        LookUp(inquiry, QStringLiteral("PSaleRate"), QStringLiteral("="), QStringLiteral("cheap"));
        QCOMPARE(m_test->messages.shown, QStringList { QStringLiteral("Invalid Criteria !") });
        // The listed record stays.
        QCOMPARE(inquiry.model().rowCount(), 1);
        QCOMPARE(inquiry.countLabel, QStringLiteral("Count:1"));
    }

    void choosingARowShowsIt()
    {
        RecordScreen& screen = Open(QStringLiteral("KvProduct"));
        InquiryState& inquiry = Inquire();
        const QString code = Scalar(QStringLiteral("Select PCode From ktProduct Where EId=7")).toString();
        LookUp(inquiry, QStringLiteral("PCode"), QStringLiteral("="), code);
        QCOMPARE(inquiry.model().rowCount(), 1);
        inquiry.Choose(0);

        QVERIFY(inquiry.closed);
        QCOMPARE(screen.list->Text(QStringLiteral("EId")), QStringLiteral("7"));
        QCOMPARE(screen.Text(0), QStringLiteral("7"));
        QCOMPARE(screen.Text(2), code);
        QCOMPARE(m_host->positionLabel, QStringLiteral("7 / %1").arg(Count(QStringLiteral("ktProduct"))));
    }

    void modelContract()
    {
        Open(QStringLiteral("KvUser"));
        m_inquiry = std::make_unique<InquiryState>(context(), *m_engine, *m_screen);
        InquiryState& inquiry = *m_inquiry;
        QAbstractItemModelTester tester(
            &inquiry.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        inquiry.Open();
        inquiry.LookUp();
        QVERIFY(inquiry.model().rowCount() > 1);
        // Numbers stand right, text left; headings are the column names.
        const QModelIndex id = inquiry.model().index(0, 0);
        QCOMPARE(inquiry.model().data(id, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
            Qt::AlignRight);
        QCOMPARE(inquiry.model().headerData(2, Qt::Horizontal).toString(), QStringLiteral("ULogin"));
        QCOMPARE(inquiry.model().flags(id) & Qt::ItemIsEditable, Qt::ItemFlags());
        inquiry.Close();
        // The rows stay shown after their recordset is gone.
        QVERIFY(inquiry.model().rowCount() > 1);
    }

private:
    // Opens a register screen on a fresh database, as the main window would.
    RecordScreen& Open(const QString& screen, TempDatabase::Content content = TempDatabase::Content::Demo)
    {
        m_test = std::make_unique<TestContext>(content);
        m_host = std::make_unique<FakeHost>(m_test->context);
        m_screen = BuildRecordScreen(screen);
        m_engine = std::make_unique<RecordEngine>(m_test->context, *m_host);
        m_engine->OpenRecordScreen(*m_screen);
        return *m_screen;
    }
    ProgramContext& context() { return m_test->context; }
    int Count(const QString& table)
    {
        return Scalar(QStringLiteral("Select Count(*) From ") + table).toInt();
    }
    void AddProducts(int count)
    {
        for (int i = 0; i < count; ++i)
            InsertRow(context().connection, QStringLiteral("ktProduct"),
                { QVariant(), TempDatabase::FixedToday(), QStringLiteral("X%1").arg(i),
                    QStringLiteral("Extra"), 1, QStringLiteral("Pcs"), 1.0, 2.0, 0, 0, 0, 0, 0,
                    QStringLiteral("T"), QVariant(), QString(), QString(), QStringLiteral("Y"), QString() });
    }

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<RecordEngine> m_engine;
    std::unique_ptr<RecordScreen> m_screen;
    std::unique_ptr<InquiryState> m_inquiry;
    QVariant Scalar(const QString& sql) { return context().connection.Scalar(sql); }
    // The inquiry as the Inquiry command opens it over the open screen.
    InquiryState& Inquire()
    {
        m_inquiry = std::make_unique<InquiryState>(context(), *m_engine, *m_screen);
        m_inquiry->Open();
        return *m_inquiry;
    }
    static void LookUp(InquiryState& inquiry, const QString& column, const QString& op, const QString& value)
    {
        inquiry.field = inquiry.fieldNames.indexOf(column);
        inquiry.op = CriterionBuilder::Operators().indexOf(op);
        inquiry.txtInqry = value;
        inquiry.LookUp();
    }
};

QTEST_GUILESS_MAIN(InquiryTest)
#include "tst_inquiry.moc"
