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
    void cleanup();

    void criterion_data();
    void criterion();

    void opensOnTheCurrentRecord();
    void accessCodesAreNotListed();
    void noRecordToStartFrom();
    void limitAndWarning_data();
    void limitAndWarning();
    void typedTextStaysText_data();
    void typedTextStaysText();
    void invalidCriterion();
    void choosingARowShowsIt();
    void modelContract();

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
        return context().connection.Scalar(QStringLiteral("Select Count(*) From ") + table).toInt();
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
};

void InquiryTest::cleanup()
{
    m_screen.reset();
    m_engine.reset();
    m_host.reset();
    m_test.reset();
}

void InquiryTest::criterion_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("criterion"); // "" when the value is refused

    QTest::newRow("blank lists all") << QStringLiteral("PName") << int(FieldText) << QStringLiteral("Like")
                                     << QStringLiteral("") << QStringLiteral("1=1");
    QTest::newRow("text begins with") << QStringLiteral("PName") << int(FieldText) << QStringLiteral("Like")
                                      << QStringLiteral(" Tea ") << QStringLiteral("PName Like 'Tea%' ");
    QTest::newRow("quote stays text") << QStringLiteral("CName") << int(FieldText) << QStringLiteral("=")
                                      << QStringLiteral("O'Hara") << QStringLiteral("CName = 'O''Hara' ");
    QTest::newRow("whole number") << QStringLiteral("POpenQty") << int(FieldLong) << QStringLiteral(">=")
                                  << QStringLiteral(" 12 ") << QStringLiteral("POpenQty >= 12");
    QTest::newRow("decimal comma") << QStringLiteral("PSaleRate") << int(FieldDouble) << QStringLiteral("<")
                                   << QStringLiteral("12,5") << QStringLiteral("PSaleRate < 12.5");
    QTest::newRow("statement in a number refused")
        << QStringLiteral("EId") << int(FieldLong) << QStringLiteral("=") << QStringLiteral("1 Or 1=1")
        << QStringLiteral("");
    QTest::newRow("date") << QStringLiteral("EDate") << int(FieldDate) << QStringLiteral("=")
                          << QStringLiteral("2026-03-05") << QStringLiteral("EDate = #03/05/2026#");
    QTest::newRow("impossible date refused")
        << QStringLiteral("EDate") << int(FieldDate) << QStringLiteral(">") << QStringLiteral("2026-02-30")
        << QStringLiteral("");
}

void InquiryTest::criterion()
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

void InquiryTest::opensOnTheCurrentRecord()
{
    RecordScreen& screen = Open(QStringLiteral("KvProduct"));
    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    QVERIFY(!inquiry.closed);
    QCOMPARE(inquiry.tableLabel, QStringLiteral("Table:Product"));
    QCOMPARE(inquiry.countLabel, QStringLiteral("Count:1"));
    QCOMPARE(inquiry.model().rowCount(), 1);
    QCOMPARE(inquiry.model().Text(0, 0), screen.Text(0));
    QCOMPARE(inquiry.fieldNames.size(), screen.FieldCount());
    QCOMPARE(inquiry.fieldNames.first(), QStringLiteral("EId"));
    QCOMPARE(CriterionBuilder::Operators().value(inquiry.op), QStringLiteral("Like"));
    QCOMPARE(m_test->messages.shown, QStringList());
}

void InquiryTest::accessCodesAreNotListed()
{
    Open(QStringLiteral("KvUser"));
    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    QVERIFY(!inquiry.fieldNames.contains(QStringLiteral("UPasscd")));
    QCOMPARE(inquiry.fieldNames.size(), 10);
    QVERIFY(inquiry.model().IsHiddenColumn(3));
    QCOMPARE(inquiry.model().Text(0, 3), QString());
    QCOMPARE(inquiry.tableLabel, QStringLiteral("Table:User"));
}

void InquiryTest::noRecordToStartFrom()
{
    Open(QStringLiteral("KvCoupon"), TempDatabase::Content::Defaults);
    QCOMPARE(Count(QStringLiteral("ktCoupon")), 0);
    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    QVERIFY(inquiry.closed);
    QCOMPARE(m_test->messages.shown, QStringList { QStringLiteral("No Record !") });
}

void InquiryTest::limitAndWarning_data()
{
    QTest::addColumn<int>("products");
    QTest::addColumn<int>("listed");
    QTest::addColumn<bool>("warned");

    QTest::newRow("under the limit") << 99 << 99 << false;
    QTest::newRow("exactly 100") << 100 << 100 << true;
    QTest::newRow("over the limit") << 130 << 100 << true;
}

void InquiryTest::limitAndWarning()
{
    QFETCH(int, products);
    QFETCH(int, listed);
    QFETCH(bool, warned);
    Open(QStringLiteral("KvProduct"));
    AddProducts(products - Count(QStringLiteral("ktProduct")));
    QCOMPARE(Count(QStringLiteral("ktProduct")), products);

    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    inquiry.LookUp();
    QCOMPARE(inquiry.model().rowCount(), listed);
    QCOMPARE(inquiry.countLabel, QStringLiteral("Count:%1").arg(listed));
    QCOMPARE(
        m_test->messages.shown, warned ? QStringList { QStringLiteral("Records>100 !") } : QStringList());
    QVERIFY(inquiry.focusValue);
}

void InquiryTest::typedTextStaysText_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("found");

    QTest::newRow("name with a quote") << QStringLiteral("=") << QStringLiteral("Ann's Tea") << 1;
    QTest::newRow("statement typed as a name")
        << QStringLiteral("Like") << QStringLiteral("'; Delete From ktProduct; --") << 0;
}

void InquiryTest::typedTextStaysText()
{
    QFETCH(QString, op);
    QFETCH(QString, value);
    Open(QStringLiteral("KvProduct"));
    context().connection.Execute(
        QStringLiteral("Update ktProduct Set PName=? Where EId=2"), { QStringLiteral("Ann's Tea") });
    const int before = Count(QStringLiteral("ktProduct"));

    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    inquiry.field = inquiry.fieldNames.indexOf(QStringLiteral("PName"));
    inquiry.op = CriterionBuilder::Operators().indexOf(op);
    inquiry.txtInqry = value;
    inquiry.LookUp();
    QTEST(inquiry.model().rowCount(), "found");
    QCOMPARE(m_test->messages.shown, QStringList());
    QCOMPARE(Count(QStringLiteral("ktProduct")), before);
}

void InquiryTest::invalidCriterion()
{
    Open(QStringLiteral("KvProduct"));
    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    inquiry.field = inquiry.fieldNames.indexOf(QStringLiteral("PSaleRate"));
    inquiry.txtInqry = QStringLiteral("cheap");
    inquiry.LookUp();
    QCOMPARE(m_test->messages.shown, QStringList { QStringLiteral("Invalid Criteria !") });
    // The listed record stays.
    QCOMPARE(inquiry.model().rowCount(), 1);
    QCOMPARE(inquiry.countLabel, QStringLiteral("Count:1"));
}

void InquiryTest::choosingARowShowsIt()
{
    RecordScreen& screen = Open(QStringLiteral("KvProduct"));
    InquiryState inquiry(context(), *m_engine, *m_screen);
    inquiry.Open();
    inquiry.field = inquiry.fieldNames.indexOf(QStringLiteral("PCode"));
    inquiry.op = CriterionBuilder::Operators().indexOf(QStringLiteral("="));
    const QString code
        = context().connection.Scalar(QStringLiteral("Select PCode From ktProduct Where EId=7")).toString();
    inquiry.txtInqry = code;
    inquiry.LookUp();
    QCOMPARE(inquiry.model().rowCount(), 1);
    inquiry.Choose(0);

    QVERIFY(inquiry.closed);
    QCOMPARE(screen.list->Text(QStringLiteral("EId")), QStringLiteral("7"));
    QCOMPARE(screen.Text(0), QStringLiteral("7"));
    QCOMPARE(screen.Text(2), code);
    QCOMPARE(m_host->positionLabel, QStringLiteral("7 / %1").arg(Count(QStringLiteral("ktProduct"))));
}

void InquiryTest::modelContract()
{
    Open(QStringLiteral("KvUser"));
    InquiryState inquiry(context(), *m_engine, *m_screen);
    QAbstractItemModelTester tester(&inquiry.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
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

QTEST_GUILESS_MAIN(InquiryTest)
#include "tst_inquiry.moc"
