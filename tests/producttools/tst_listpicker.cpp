// The list picker's lines and choice, on a real temporary database, and its window's keys:
// which ones choose, which one closes, and that others do nothing.
#include "KvList.h"
#include "ListPickerState.h"
#include "SeedData.h"
#include "TestContext.h"

#include <QListWidget>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class ListPickerTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_test = std::make_unique<TestContext>(); }

    void cleanup() { m_test.reset(); }

    void linesAreCutToTheirColumns_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("website");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");

        QTest::newRow("short, blanks trimmed")
            << u" Acme "_s << u"acme.test"_s << u"Acme"_s << u"acme.test"_s;
        QTest::newRow("name and key longer than their columns")
            << u"Northern Wholesale Supplies Limited"_s << u"www.acme-wholesale.test"_s
            << u"Northern Wholesale Supplies"_s << u"www.acme-wholesa"_s;
    }

    void linesAreCutToTheirColumns()
    {
        QFETCH(QString, company);
        QFETCH(QString, website);
        const QDate day = TempDatabase::FixedToday();
        Insert(u"ktSupplier"_s,
            { 1, day, company, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, website,
                u"S1"_s, u"Y"_s, u""_s });
        ListPickerState picker(context(), u"SCompany, SWebsite From ktSupplier"_s);
        picker.Open();
        QCOMPARE(picker.lines.size(), 1);
        const QString line = picker.lines.first();
        QCOMPARE(line.size(), ListPickerState::NameWidth + 1 + ListPickerState::KeyWidth);
        QTEST(ListPickerState::NameOf(line), "name");
        QTEST(ListPickerState::KeyOf(line), "key");
        QCOMPARE(picker.headings[1], u"SWebsite"_s);
    }

    void customerLines()
    {
        const QDate day = TempDatabase::FixedToday();
        Insert(u"ktCustomer"_s,
            { 1, day, u"Alexandra Montgomery"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"9876543210"_s, u""_s,
                u"C1"_s, u"Y"_s, u""_s });
        Insert(u"ktCustomer"_s,
            { 2, day, u"Former Customer"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"9000000000"_s, u""_s,
                u"C2"_s, u"N"_s, u""_s });
        ListPickerState picker(
            context(), u"Left(CName,16)+';'+CPhone As [Customer], EId From ktCustomer Where CActive='Y'"_s);
        picker.Open();
        QCOMPARE(picker.headings[0], u"Customer"_s);
        // Only active customers; the name column holds both the name's first 16 characters and the phone.
        QCOMPARE(picker.lines.size(), 1);
        QCOMPARE(ListPickerState::NameOf(picker.lines.first()), u"Alexandra Montgo;9876543210"_s);
        QCOMPARE(ListPickerState::KeyOf(picker.lines.first()), u"1"_s);
    }

    // An empty list and a source that cannot be read both leave no lines; Enter only closes.
    void emptyOrBadSource()
    {
        ListPickerState empty(context(), u"PName, EId From kmPaytype"_s);
        empty.Open();
        QCOMPARE(empty.lines, QStringList());
        empty.Choose();
        QVERIFY(empty.closed);
        QVERIFY(!empty.pick);
        QCOMPARE(m_test->messages.shown, QStringList());
        ListPickerState bad(context(), u"Nonsense, EId From kmNothing"_s);
        bad.Open();
        QCOMPARE(bad.lines, QStringList());
        QCOMPARE(m_test->messages.shown, QStringList { u"ErroR!"_s });
    }

    void chooseAnswersKeyAndName()
    {
        const QDate day = TempDatabase::FixedToday();
        Insert(u"kmGroup"_s, { 1, day, u"Tea"_s, 0.0, u""_s });
        Insert(u"kmGroup"_s, { 2, day, u"Coffee"_s, 5.0, u""_s });
        ListPickerState picker(context(), u"GName, EId From kmGroup"_s);
        picker.Open();
        QCOMPARE(picker.lines.size(), 2);
        picker.selected = ListPickerState::NameOf(picker.lines.at(0)) == u"Coffee" ? 0 : 1;
        picker.Choose();
        QVERIFY(picker.closed);
        QVERIFY(picker.pick);
        QCOMPARE(picker.pick->key, u"2"_s);
        QCOMPARE(picker.pick->name, u"Coffee"_s);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("open");

        QTest::newRow("Enter") << int(Qt::Key_Return) << true << false;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << true << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false << false;
        QTest::newRow("a letter") << int(Qt::Key_P) << false << true;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, chosen);
        QFETCH(bool, open);
        const QDate day = TempDatabase::FixedToday();
        Insert(u"kmAccount"_s, { 1, day, u"Bank"_s, 0.0, QString() });
        Insert(u"kmAccount"_s, { 2, day, u"Petty cash"_s, 0.0, QString() });
        KvList picker(context(), u"AName, EId From kmAccount"_s);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(picker.list()->count(), 2);
        QCOMPARE(picker.list()->currentRow(), 0);
        const QString first = ListPickerState::KeyOf(picker.list()->item(0)->text());
        QTest::keyClick(picker.list(), Qt::Key(key));
        QCOMPARE(picker.state().pick.has_value(), chosen);
        if (chosen)
            QCOMPARE(picker.state().pick->key, first);
        QCOMPARE(picker.isVisible(), open);
    }

private:
    void Insert(const QString& table, const QVariantList& values)
    {
        InsertRow(m_test->context.connection, table, values);
    }
    ProgramContext& context() { return m_test->context; }
    std::unique_ptr<TestContext> m_test;
};

QTEST_MAIN(ListPickerTest)
#include "tst_listpicker.moc"
