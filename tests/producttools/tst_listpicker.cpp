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

        QTest::newRow("padded on the right") << QStringLiteral("Tea") << 6 << QStringLiteral("Tea   ");
        QTest::newRow("trimmed first") << QStringLiteral("  Tea  ") << 5 << QStringLiteral("Tea  ");
        QTest::newRow("cut to the width") << QStringLiteral("Darjeeling") << 4 << QStringLiteral("Darj");
        QTest::newRow("empty") << QStringLiteral("") << 3 << QStringLiteral("   ");
        QTest::newRow("no width") << QStringLiteral("Tea") << 0 << QStringLiteral("");
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

        QTest::newRow("short") << QStringLiteral("Acme") << QStringLiteral("acme.test")
                               << QStringLiteral("Acme") << QStringLiteral("acme.test");
        QTest::newRow("name longer than 28")
            << QStringLiteral("Northern Wholesale Supplies Limited") << QStringLiteral("n.test")
            << QStringLiteral("Northern Wholesale Supplies") << QStringLiteral("n.test");
        QTest::newRow("key longer than 16")
            << QStringLiteral("Acme") << QStringLiteral("www.acme-wholesale.test") << QStringLiteral("Acme")
            << QStringLiteral("www.acme-wholesa");
    }

    void linesAreCutToTheirColumns()
    {
        QFETCH(QString, company);
        QFETCH(QString, website);
        const QDate day = TempDatabase::FixedToday();
        Insert(u"ktSupplier"_s,
            { 1, day, company, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, website,
                u"S1"_s, u"Y"_s, u""_s });
        ListPickerState picker(context(), QStringLiteral("SCompany, SWebsite From ktSupplier"));
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
        ListPickerState picker(context(),
            QStringLiteral("Left(CName,16)+';'+CPhone As [Customer], EId From ktCustomer Where CActive='Y'"));
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
            QStringList(
                { QStringLiteral("Alexandra Montgo;9876543210"), QStringLiteral("O'Hara;9123456789") }));
        QCOMPARE(keys, QStringList({ QStringLiteral("1"), QStringLiteral("3") }));
    }

    void emptySource()
    {
        ListPickerState picker(context(), QStringLiteral("PName, EId From kmPaytype"));
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
        ListPickerState picker(context(), QStringLiteral("Nonsense, EId From kmNothing"));
        picker.Open();
        QCOMPARE(picker.lines, QStringList());
        QCOMPARE(m_test->messages.shown, QStringList { QStringLiteral("ErroR!") });
    }

    void chooseAnswersKeyAndName()
    {
        const QDate day = TempDatabase::FixedToday();
        Insert(u"kmGroup"_s, { 1, day, u"Tea"_s, 0.0, u""_s });
        Insert(u"kmGroup"_s, { 2, day, u"Coffee"_s, 5.0, u""_s });
        ListPickerState picker(context(), QStringLiteral("GName, EId From kmGroup"));
        picker.Open();
        QCOMPARE(picker.lines.size(), 2);
        picker.selected = ListPickerState::NameOf(picker.lines.at(0)) == u"Coffee" ? 0 : 1;
        picker.Choose();
        QVERIFY(picker.closed);
        QVERIFY(picker.pick);
        QCOMPARE(picker.pick->key, QStringLiteral("2"));
        QCOMPARE(picker.pick->name, QStringLiteral("Coffee"));
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
