// The four document screens in the record engine: who a shown document names, a bill screen
// that only shows, and a purchase whose nett paid follows its gross and tax.
#include "DocumentLines.h"
#include "DocumentRows.h"
#include "DocumentTotals.h"
#include "LineAmounts.h"
#include "LineGrid.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class TestDocumentScreens : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

private slots:
    void initTestCase()
    {
        f = std::make_unique<EngineFixture>();
        LoadPreferences(f->context());
        LoadCustomize(f->context());
        f->Insert("ktProduct", ProductRow(1, u"A"_s, 1.0, 2.0, 10, u"Item A"_s));
        f->Insert("ktCustomer", CustomerRow());
        f->Insert("ktSupplier", SupplierRow());
        f->Insert("ktBillMast",
            { 1, Day, 1, u"2602-011200-000001"_s, 3, 0, 1, 2.0, 0.0, 2.0, 0.0, 0.0, 2.0, 2.0, 0.0, 0.0, 0.0,
                0.0, u"OTHER"_s, u"MISC"_s, u"-"_s });
        f->Insert(
            "ktQuotMast", { 1, Day, 1, u"Q1"_s, 3, 0, 1, 2.0, 0.0, 2.0, 0.0, 0.0, 2.0, u"N"_s, u"-"_s });
        f->Insert("ktPurcMast", { 1, Day, 1, u"R1"_s, 2, 1, 100.0, 0.0, 100.0, u"Cash"_s, u"-"_s });
        f->Insert("ktOrdrMast", { 1, Day, 1, u"O1"_s, 2, 1, 1.0, u"N"_s, u"-"_s });
        for (const char* table : { "ktBillDetl", "ktQuotDetl", "ktPurcDetl", "ktOrdrDetl" })
            f->Insert(table, LineRow(1, u"A"_s, 1, 2, u"Item A"_s));
    }
    void cleanup()
    {
        if (f->screen)
            f->engine.CloseRecordScreen(*f->screen);
        f->screen.reset();
        f->messages().shown.clear();
    }

    void shownDocumentNamesItsParties_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("party");
        QTest::addColumn<QString>("typeable"); // the fields a user types into while editing
        QTest::addColumn<int>("frame"); // the dashboard frame refreshed on closing
        QTest::newRow("bill") << "ktBillMast"
                              << "5550001;Ann Lee"
                              << "" << 4;
        QTest::newRow("quote") << "ktQuotMast"
                               << "5550001;Ann Lee"
                               << "3 5 14" << 4;
        QTest::newRow("purchase") << "ktPurcMast"
                                  << "Acme Foods"
                                  << "3 7 9 10" << 5;
        QTest::newRow("order") << "ktOrdrMast"
                               << "Acme Foods"
                               << "3 8" << 5;
    }
    void shownDocumentNamesItsParties()
    {
        QFETCH(QString, table);
        QFETCH(QString, party);
        QFETCH(QString, typeable);
        QFETCH(int, frame);
        f->host.calls.clear();
        RecordScreen& screen = f->Open(table);
        QCOMPARE(screen.Text(0), u"1"_s);
        QCOMPARE(screen.field(2).hint, u"Chief"_s);
        QCOMPARE(screen.field(4).hint, party);
        QStringList typed;
        for (int i = 0; i <= screen.lastField; ++i)
            if (screen.field(i).typeable)
                typed << QString::number(i);
        QCOMPARE(typed.join(u' '), typeable);
        // Closing shows the newest bill or purchase on the dashboard: the one a quote or order
        // turned into, too.
        f->engine.CloseRecordScreen(screen);
        f->screen.reset();
        QCOMPARE(f->host.CallsOf(u"RefreshDashboard"_s).value(0), u"RefreshDashboard(%1)"_s.arg(frame));
    }

    void quoteDiscountFollowsTheShopsLock()
    {
        f->context().preferences.PDisEdit = u"N"_s;
        RecordScreen& screen = f->Open(u"ktQuotMast"_s);
        QVERIFY(!screen.field(5).typeable);
        f->context().preferences.PDisEdit = u"Y"_s;
        f->Command(CommandNumber::First);
        QVERIFY(screen.field(5).typeable);
    }

    void billScreenRefusesAdd()
    {
        RecordScreen& screen = f->Open(u"ktBillMast"_s);
        f->Command(CommandNumber::Add);
        QCOMPARE(f->messages().shown, QStringList { u"Add Disabled !"_s });
        QCOMPARE(screen.Text(0), u"1"_s);
        QVERIFY(!screen.newRecordPending);
    }

    // Totals after the lines changed: "qty@rate[T]" lines, the typed tax paid or discount %.
    void totals_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("typed"); // "field=text"
        QTest::addColumn<QString>("shown"); // "field=text ..." afterwards
        QTest::newRow("order: halves count to even")
            << "ktOrdrMast" << QStringList { u"2.5@2"_s, u"1@0.10"_s, u"1@0.20"_s } << ""
            << "5=4 6=5.30";
        QTest::newRow("quote: 100 taxable, 50 not, 10% off")
            << "ktQuotMast" << QStringList { u"1@100T"_s, u"1@50"_s } << "5=10"
            << "6=2 7=150.00 8=15.00 9=135.00 10=4.50 11=0.09 12=139.59";
    }
    void totals()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, lines);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        f->context().preferences.PAmtRoun = u"2"_s;
        f->context().preferences.PTaxPer1 = u"5"_s;
        f->context().preferences.PTaxPer2 = u"2"_s;
        RecordScreen& screen = f->Open(table);
        LineGrid& grid = screen.lines->Grid();
        grid.Setup();
        for (const QString& line : lines) {
            const Money qty = *Money::FromText(line.section(u'@', 0, 0));
            QString rate = line.section(u'@', 1);
            const bool taxable = rate.endsWith(u'T');
            rate.remove(u'T');
            grid.AddLine(
                u"A"_s, u"Item A"_s, qty, LineAmounts::Price(qty, *Money::FromText(rate), {}, 2), taxable);
        }
        if (!typed.isEmpty())
            screen.SetText(typed.section(u'=', 0, 0).toInt(), typed.section(u'=', 1));
        RecalcDocumentTotals(f->context(), screen);
        QStringList fields;
        for (const QString& pair : shown.split(u' '))
            fields << pair.section(u'=', 0, 0) + u'=' + screen.Text(pair.section(u'=', 0, 0).toInt());
        QCOMPARE(fields.join(u' '), shown);
    }

    void purchaseNettIsGrossAndTax()
    {
        RecordScreen& screen = f->Open(u"ktPurcMast"_s);
        f->host.AnswerAccessCode(true); // the shop guards changes to stored records
        f->Command(CommandNumber::Modify);
        screen.SetText(7, u"12,30"_s);
        screen.SetText(8, u"0"_s);
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList());
        QCOMPARE(f->Scalar(u"Select PTax || ' ' || PNett From ktPurcMast Where EId=1"_s).toString(),
            u"12.3 "_s
                + QString::number(
                    f->Scalar(u"Select PGross + 12.3 From ktPurcMast Where EId=1"_s).toDouble()));
    }
};

QTEST_GUILESS_MAIN(TestDocumentScreens)
#include "tst_documentscreens.moc"
