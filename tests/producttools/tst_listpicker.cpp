// The list picker's lines and choice, on a real temporary database.
#include "ListPickerState.h"
#include "SeedData.h"
#include "TestContext.h"
#include "TextPad.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class ListPickerTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_test = std::make_unique<TestContext>(); }

    void cleanup() { m_test.reset(); }

    void padText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("padded");

        QTest::newRow("padded on the right") << u"Tea"_s << 6 << u"Tea   "_s;
        QTest::newRow("trimmed first") << u"  Tea  "_s << 5 << u"Tea  "_s;
        QTest::newRow("cut to the width") << u"Darjeeling"_s << 4 << u"Darj"_s;
        QTest::newRow("no width") << u"Tea"_s << 0 << u""_s;
    }

    void padText()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QTEST(PadText(text, width), "padded");
    }

    void linesAreCutToTheirColumns_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("website");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");

        QTest::newRow("short") << u"Acme"_s << u"acme.test"_s << u"Acme"_s << u"acme.test"_s;
        QTest::newRow("name longer than 28") << u"Northern Wholesale Supplies Limited"_s << u"n.test"_s
                                             << u"Northern Wholesale Supplies"_s << u"n.test"_s;
        QTest::newRow("key longer than 16")
            << u"Acme"_s << u"www.acme-wholesale.test"_s << u"Acme"_s << u"www.acme-wholesa"_s;
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
        QCOMPARE(picker.headings[0], u"SCompany"_s);
        QCOMPARE(picker.headings[1], u"SWebsite"_s);
        QCOMPARE(picker.selected, 0);
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
        Insert(u"ktCustomer"_s,
            { 3, day, u"O'Hara"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"9123456789"_s, u""_s, u"C3"_s, u"Y"_s,
                u""_s });
        ListPickerState picker(
            context(), u"Left(CName,16)+';'+CPhone As [Customer], EId From ktCustomer Where CActive='Y'"_s);
        picker.Open();
        QCOMPARE(picker.headings[0], u"Customer"_s);
        QCOMPARE(picker.headings[1], u"EId"_s);
        QStringList names, keys;
        for (const QString& line : picker.lines) {
            names << ListPickerState::NameOf(line);
            keys << ListPickerState::KeyOf(line);
        }
        // Only active customers; the name column holds both the name's first 16 characters and the phone.
        QCOMPARE(names, QStringList({ u"Alexandra Montgo;9876543210"_s, u"O'Hara;9123456789"_s }));
        QCOMPARE(keys, QStringList({ u"1"_s, u"3"_s }));
    }

    void emptySource()
    {
        ListPickerState picker(context(), u"PName, EId From kmPaytype"_s);
        picker.Open();
        QCOMPARE(picker.lines, QStringList());
        QCOMPARE(picker.headings[0], QString());
        QCOMPARE(picker.headings[1], QString());
        // Enter on the empty list only closes, with no answer.
        picker.Choose();
        QVERIFY(picker.closed);
        QVERIFY(!picker.pick);
        QCOMPARE(m_test->messages.shown, QStringList());
    }

    void badSourceIsReported()
    {
        ListPickerState picker(context(), u"Nonsense, EId From kmNothing"_s);
        picker.Open();
        QCOMPARE(picker.lines, QStringList());
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

private:
    void Insert(const QString& table, const QVariantList& values)
    {
        InsertRow(m_test->context.connection, table, values);
    }
    ProgramContext& context() { return m_test->context; }
    std::unique_ptr<TestContext> m_test;
};

QTEST_GUILESS_MAIN(ListPickerTest)
#include "tst_listpicker.moc"
