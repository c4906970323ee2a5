// The list picker's lines and choice, on a real temporary database.
#include "ListPickerState.h"
#include "RecordScreen.h"
#include "SeedData.h"
#include "TestSession.h"
#include "TextPad.h"

#include <QSignalSpy>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// A record screen with a few plain fields, standing in for the caller.
std::unique_ptr<RecordScreen> CallerScreen(int fields, int maxLength = 0)
{
    auto screen = std::make_unique<RecordScreen>(QStringLiteral("KvCaller"), QStringLiteral("Caller"));
    for (int i = 0; i < fields; ++i) {
        Field field;
        field.maxLength = maxLength;
        screen->fields.push_back(field);
    }
    return screen;
}

struct ReportFields : ReportPickTarget {
    void TakeListPick(const QString& name, const QString& key) override
    {
        lblList = name;
        txtRepo1 = key;
    }
    QString lblList, txtRepo1;
};

} // namespace

class ListPickerTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void padText_data();
    void padText();
    void linesAreCutToTheirColumns_data();
    void linesAreCutToTheirColumns();
    void customerLines();
    void emptySource();
    void badSourceIsReported();
    void chooseWritesIntoCurrentForm();
    void chooseForTheReportScreen();
    void closeWithoutChoice();

private:
    void Insert(const QString& table, const QVariantList& values)
    {
        InsertRow(m_test->session.connection, table, values);
    }
    Session& session() { return m_test->session; }
    std::unique_ptr<TestSession> m_test;
};

void ListPickerTest::init()
{
    m_test = std::make_unique<TestSession>();
}

void ListPickerTest::cleanup()
{
    m_test.reset();
}

void ListPickerTest::padText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("padded");

    QTest::newRow("padded on the right") << QStringLiteral("Tea") << 6 << QStringLiteral("Tea   ");
    QTest::newRow("trimmed first") << QStringLiteral("  Tea  ") << 5 << QStringLiteral("Tea  ");
    QTest::newRow("cut to the width") << QStringLiteral("Darjeeling") << 4 << QStringLiteral("Darj");
    QTest::newRow("inner blanks kept")
        << QStringLiteral("Green  Tea") << 12 << QStringLiteral("Green  Tea  ");
    QTest::newRow("empty") << QStringLiteral("") << 3 << QStringLiteral("   ");
    QTest::newRow("no width") << QStringLiteral("Tea") << 0 << QStringLiteral("");
}

void ListPickerTest::padText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QTEST(PadText(text, width), "padded");
}

void ListPickerTest::linesAreCutToTheirColumns_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("website");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");

    QTest::newRow("short") << QStringLiteral("Acme") << QStringLiteral("acme.test") << QStringLiteral("Acme")
                           << QStringLiteral("acme.test");
    QTest::newRow("name longer than 28")
        << QStringLiteral("Northern Wholesale Supplies Limited") << QStringLiteral("n.test")
        << QStringLiteral("Northern Wholesale Supplies") << QStringLiteral("n.test");
    QTest::newRow("key longer than 16") << QStringLiteral("Acme") << QStringLiteral("www.acme-wholesale.test")
                                        << QStringLiteral("Acme") << QStringLiteral("www.acme-wholesa");
}

void ListPickerTest::linesAreCutToTheirColumns()
{
    QFETCH(QString, company);
    QFETCH(QString, website);
    const QDate day = TempDatabase::FixedToday();
    Insert(u"ktSupplier"_s,
        { 1, day, company, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, website, u"S1"_s,
            u"Y"_s, u""_s });
    session().ListSource = QStringLiteral("SCompany, SWebsite From ktSupplier");
    ListPickerState picker(session());
    picker.Open();
    QCOMPARE(picker.lines.size(), 1);
    const QString line = picker.lines.first();
    QCOMPARE(line.size(), ListPickerState::NameWidth + 1 + ListPickerState::KeyWidth);
    QTEST(ListPickerState::NameOf(line), "name");
    QTEST(ListPickerState::KeyOf(line), "key");
    QCOMPARE(picker.headings[0], QStringLiteral("SCompany"));
    QCOMPARE(picker.headings[1], QStringLiteral("SWebsite"));
    QCOMPARE(picker.selected, 0);
}

void ListPickerTest::customerLines()
{
    const QDate day = TempDatabase::FixedToday();
    Insert(u"ktCustomer"_s,
        { 1, day, u"Alexandra Montgomery"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"9876543210"_s, u""_s,
            u"C1"_s, u"Y"_s, u""_s });
    Insert(u"ktCustomer"_s,
        { 2, day, u"Former Customer"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"9000000000"_s, u""_s, u"C2"_s,
            u"N"_s, u""_s });
    Insert(u"ktCustomer"_s,
        { 3, day, u"O'Hara"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"9123456789"_s, u""_s, u"C3"_s, u"Y"_s,
            u""_s });
    session().ListSource
        = QStringLiteral("Left(CName,16)+';'+CPhone As [Customer], EId From ktCustomer Where CActive='Y'");
    ListPickerState picker(session());
    picker.Open();
    QCOMPARE(picker.headings[0], QStringLiteral("Customer"));
    QCOMPARE(picker.headings[1], QStringLiteral("EId"));
    QStringList names, keys;
    for (const QString& line : picker.lines) {
        names << ListPickerState::NameOf(line);
        keys << ListPickerState::KeyOf(line);
    }
    // Only active customers; the name column holds both the name's first 16 characters and the phone.
    QCOMPARE(names,
        QStringList({ QStringLiteral("Alexandra Montgo;9876543210"), QStringLiteral("O'Hara;9123456789") }));
    QCOMPARE(keys, QStringList({ QStringLiteral("1"), QStringLiteral("3") }));
}

void ListPickerTest::emptySource()
{
    auto screen = CallerScreen(4);
    screen->field(2).text = QStringLiteral("keep");
    screen->field(2).hint = QStringLiteral("keep");
    session().CurrentForm = screen.get();
    session().CallerCode = 2;
    session().ListSource = QStringLiteral("PName, EId From kmPaytype");
    ListPickerState picker(session());
    picker.Open();
    QCOMPARE(picker.lines, QStringList());
    QCOMPARE(picker.headings[0], QString());
    QCOMPARE(picker.headings[1], QString());
    QCOMPARE(session().SqlText, QStringLiteral("Select PName, EId From kmPaytype"));
    // Enter on the empty list only closes.
    picker.Choose();
    QVERIFY(picker.closed);
    QVERIFY(!session().rsList1.IsOpen());
    QCOMPARE(screen->Text(2), QStringLiteral("keep"));
    QCOMPARE(screen->field(2).hint, QStringLiteral("keep"));
    QCOMPARE(m_test->messages.shown, QStringList());
}

void ListPickerTest::badSourceIsReported()
{
    session().ListSource = QStringLiteral("Nonsense, EId From kmNothing");
    ListPickerState picker(session());
    picker.Open();
    QCOMPARE(picker.lines, QStringList());
    QCOMPARE(m_test->messages.shown, QStringList { QStringLiteral("ErroR!") });
}

void ListPickerTest::chooseWritesIntoCurrentForm()
{
    const QDate day = TempDatabase::FixedToday();
    Insert(u"kmGroup"_s, { 1, day, u"Tea"_s, 0.0, u""_s });
    Insert(u"kmGroup"_s, { 2, day, u"Coffee"_s, 5.0, u""_s });
    auto screen = CallerScreen(6, 3);
    session().CurrentForm = screen.get();
    session().CallerCode = 4;
    session().ListSource = QStringLiteral("GName, EId From kmGroup");
    QSignalSpy changed(screen.get(), &RecordScreen::changed);
    ListPickerState picker(session());
    picker.Open();
    QCOMPARE(picker.lines.size(), 2);
    picker.selected = ListPickerState::NameOf(picker.lines.at(0)) == u"Coffee" ? 0 : 1;
    picker.Choose();
    QCOMPARE(screen->Text(4), QStringLiteral("2"));
    QCOMPARE(screen->field(4).hint, QStringLiteral("Coffee"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(picker.closed);
    QVERIFY(!session().rsList1.IsOpen());
    // The other fields are untouched.
    for (int i : { 0, 1, 2, 3, 5 })
        QCOMPARE(screen->Text(i), QString());
}

void ListPickerTest::chooseForTheReportScreen()
{
    const QDate day = TempDatabase::FixedToday();
    Insert(u"kmAccount"_s, { 1, day, u"Bank"_s, 0.0, u""_s });
    auto screen = CallerScreen(3);
    session().CurrentForm = screen.get();
    session().CallerCode = ListPickerState::ReportCaller;
    session().ListSource = QStringLiteral("AName, EId From kmAccount");
    ReportFields report;
    ListPickerState picker(session(), &report);
    picker.Open();
    picker.Choose();
    QCOMPARE(report.lblList, QStringLiteral("Bank"));
    QCOMPARE(report.txtRepo1, QStringLiteral("1"));
    for (int i = 0; i < screen->FieldCount(); ++i)
        QCOMPARE(screen->Text(i), QString());
}

void ListPickerTest::closeWithoutChoice()
{
    const QDate day = TempDatabase::FixedToday();
    Insert(u"kmGroup"_s, { 1, day, u"Tea"_s, 0.0, u""_s });
    auto screen = CallerScreen(5);
    session().CurrentForm = screen.get();
    session().CallerCode = 4;
    session().ListSource = QStringLiteral("GName, EId From kmGroup");
    ListPickerState picker(session());
    picker.Open();
    QVERIFY(session().rsList1.IsOpen());
    picker.Close();
    QVERIFY(!session().rsList1.IsOpen());
    QCOMPARE(screen->Text(4), QString());
}

QTEST_GUILESS_MAIN(ListPickerTest)
#include "tst_listpicker.moc"
