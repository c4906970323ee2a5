// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QTest>

#include "Connection.h"
#include "GroupSavings.h"
#include "LineGrid.h"
#include "ProductLine.h"
#include "ProductLookup.h"
#include "TempDatabase.h"

#include <memory>

using namespace kivo;
using namespace Qt::StringLiterals;

class TestProductLine : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDatabase> m_db;
    Connection* c = nullptr;
    GroupSavings m_groups;

    void Product(const char* code, const char* name, const QVariant& group, double purchase, double sale,
        int close, const char* tax, const char* active = "Y")
    {
        c->Execute(
            u"Insert Into ktProduct (EDate, PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, "
            "PPurchQty, PSaleQty, PCloseQty, PTax, PActive) Values (#3/5/2026#,?,?,?,?,?,?,0,0,?,?,?)"_s,
            { QString::fromUtf8(code), QString::fromUtf8(name), group, purchase, sale, close, close,
                QString::fromUtf8(tax), QString::fromUtf8(active) });
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<test::TempDatabase>();
        c = &m_db->connection();
        c->Execute(u"Delete From ktProduct"_s);
        c->Execute(u"Delete From kmGroup"_s);
        c->Execute(
            u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (1, #3/5/2026#, 'Soaps', 10)"_s);
        c->Execute(
            u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (2, #3/5/2026#, 'Oils', 12.5)"_s);
        Product("P1", "Soap", 1, 80, 99.99, 5, "T");
        Product("P2", "Rice", 99, 10, 12.345, 0, "");
        Product("P3", "Oil", QVariant(), 2, 3.335, -2, "T");
        Product("P4", "Lamp oil", 2, 7, 8.1, 1, "", "N");
        Product("P1", "Soap again", 1, 1, 1, 1, "T"); // a second product of an existing code
        m_groups.Load(*c);
    }

    void lookUp_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("activeOnly");
        QTest::addColumn<QString>("found"); // "PName PGId PCloseQty", or "-" for none

        QTest::newRow("exact code") << u"P1"_s << false << u"Soap 1 5"_s;
        QTest::newRow("other letter case") << u"p1"_s << false << u"Soap 1 5"_s;
        QTest::newRow("no group") << u"P3"_s << false << u"Oil - -2"_s;
        QTest::newRow("inactive, any product") << u"P4"_s << false << u"Lamp oil 2 1"_s;
        QTest::newRow("inactive, active only") << u"P4"_s << true << u"-"_s;
        QTest::newRow("unknown") << u"P9"_s << false << u"-"_s;
        QTest::newRow("blank") << u"  "_s << false << u"-"_s;
        QTest::newRow("quote in code") << u"P1' Or '1'='1"_s << false << u"-"_s;
        QTest::newRow("trailing blank is another code") << u"P1 "_s << false << u"-"_s;
    }

    void lookUp()
    {
        QFETCH(QString, code);
        QFETCH(bool, activeOnly);
        QFETCH(QString, found);
        ProductLookup lookup(*c);
        const std::optional<ProductRecord> product
            = activeOnly ? lookup.ActiveByCode(code) : lookup.ByCode(code);
        const QString shown = product
            ? u"%1 %2 %3"_s.arg(product->PName, product->PGId ? QString::number(*product->PGId) : u"-"_s,
                product->PCloseQty.ToText())
            : u"-"_s;
        QCOMPARE(shown, found);
    }

    void addLine_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("rate"); // empty: the product's rate for the caller
        QTest::addColumn<int>("callerCode");
        QTest::addColumn<QString>("preferences"); // PStkChek PGrpSave PAmtRoun
        // "Rate Value Saving Gross Tax | DocItems DocGross DocTaxable", or the refusal.
        QTest::addColumn<QString>("expected");

        QTest::newRow("sale with group saving") << u"P1"_s << u"1"_s << QString() << 1 << u"N Y 2"_s
                                                << u"99.99 99.99 10.00 89.99 T | 1 89.99 89.99"_s;
        QTest::newRow("purchase side: purchase rate, no saving")
            << u"P1"_s << u"1"_s << QString() << 2 << u"N Y 2"_s << u"80.00 80.00 0.00 80.00 T | 1 80 80"_s;
        QTest::newRow("group saving off") << u"P1"_s << u"3"_s << QString() << 1 << u"N N 2"_s
                                          << u"99.99 299.97 0.00 299.97 T | 3 299.97 299.97"_s;
        QTest::newRow("missing group gets no saving, rate halves to even")
            << u"P2"_s << u"1"_s << QString() << 1 << u"N Y 2"_s << u"12.34 12.34 0.00 12.34  | 1 12.34 0"_s;
        QTest::newRow("no decimals") << u"P2"_s << u"1"_s << QString() << 1 << u"N Y 0"_s
                                     << u"12.00 12.00 0.00 12.00  | 1 12 0"_s;
        QTest::newRow("one decimal, saving rounded")
            << u"P1"_s << u"1"_s << u"8.15"_s << 1 << u"N Y 1"_s << u"8.20 8.20 0.80 7.40 T | 1 7.4 7.4"_s;
        QTest::newRow("typed quantity and rate, halves to even in DocItems")
            << u"P1"_s << u"2.5"_s << u"4"_s << 2 << u"N Y 2"_s << u"4.00 10.00 0.00 10.00 T | 2 10 10"_s;
        QTest::newRow("negative quantity as typed") << u"P3"_s << u"-1"_s << QString() << 1 << u"N Y 2"_s
                                                    << u"3.34 -3.34 0.00 -3.34 T | -1 -3.34 -3.34"_s;
        QTest::newRow("stock check: none left")
            << u"P2"_s << u"1"_s << QString() << 1 << u"Y Y 2"_s << u"Available Stock- 0"_s;
        QTest::newRow("stock check: negative stock")
            << u"P3"_s << u"1"_s << QString() << 1 << u"Y Y 2"_s << u"Available Stock- -2"_s;
        QTest::newRow("stock check: one left is enough")
            << u"P4"_s << u"1"_s << QString() << 1 << u"Y Y 2"_s << u"8.10 8.10 1.01 7.09  | 1 7.09 0"_s;
        QTest::newRow("stock check off: negative stock sold")
            << u"P3"_s << u"1"_s << QString() << 1 << u"N Y 2"_s << u"3.34 3.34 0.00 3.34 T | 1 3.34 3.34"_s;
    }

    void addLine()
    {
        QFETCH(QString, code);
        QFETCH(QString, quantity);
        QFETCH(QString, rate);
        QFETCH(int, callerCode);
        QFETCH(QString, preferences);
        QFETCH(QString, expected);

        const QStringList p = preferences.split(u' ');
        const ProductLineRules rules = ProductLineRules::FromPreferences(p.at(0), p.at(1), p.at(2));
        const std::optional<ProductRecord> product = ProductLookup(*c).ByCode(code);
        QVERIFY(product);
        const Money typedRate = rate.isEmpty() ? product->RateFor(callerCode) : *Money::FromText(rate);
        LineGrid grid;
        grid.Setup();
        const ProductLineResult result = AddProductLine(
            grid, *product, *Money::FromText(quantity), typedRate, callerCode, rules, m_groups);
        if (!result.Added()) {
            QCOMPARE(result.refusal, expected);
            QVERIFY(grid.IsEmpty());
            QCOMPARE(grid.DocItems(), 0);
            return;
        }
        QCOMPARE(result.refusal, QString());
        QCOMPARE(grid.Text(result.row, LineGrid::CodeColumn), product->PCode);
        QStringList cells;
        for (int column : { LineGrid::RateColumn, LineGrid::ValueColumn, LineGrid::SavingColumn,
                 LineGrid::GrossColumn, LineGrid::TaxColumn })
            cells << grid.Text(result.row, column);
        cells << u"|"_s << QString::number(grid.DocItems()) << grid.DocGross().ToText()
              << grid.DocTaxable().ToText();
        QCOMPARE(cells.join(u' '), expected);
    }

    // A scan of the same code twice is two lines, never one line of two.
    void sameProductTwice()
    {
        const ProductRecord product = *ProductLookup(*c).ByCode(u"P1"_s);
        const ProductLineRules rules = ProductLineRules::FromPreferences(u"Y"_s, u"Y"_s, u"2"_s);
        LineGrid grid;
        grid.Setup();
        QCOMPARE(AddProductLine(grid, product, 1, product.PSaleRate, 1, rules, m_groups).row, 0);
        QCOMPARE(AddProductLine(grid, product, 1, product.PSaleRate, 1, rules, m_groups).row, 1);
        QCOMPARE(grid.LineCount(), 2);
        QCOMPARE(grid.DocItems(), 2);
        QCOMPARE(grid.DocGross().ToText(), u"179.98"_s);
    }

    void amountDecimals_data()
    {
        QTest::addColumn<QString>("PAmtRoun");
        QTest::addColumn<int>("decimals");
        QTest::newRow("0") << u"0"_s << 0;
        QTest::newRow("1 with blanks") << u" 1 "_s << 1;
        QTest::newRow("not a number") << u"x"_s << 2;
        QTest::newRow("more than the amounts keep") << u"5"_s << 2;
        QTest::newRow("negative") << u"-1"_s << 0;
    }

    void amountDecimals()
    {
        QFETCH(QString, PAmtRoun);
        QFETCH(int, decimals);
        QCOMPARE(ProductLineRules::FromPreferences(u"N"_s, u"N"_s, PAmtRoun).amountDecimals, decimals);
    }
};

QTEST_GUILESS_MAIN(TestProductLine)
#include "tst_productline.moc"
