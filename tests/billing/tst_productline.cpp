// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QTest>

#include "GroupSavings.h"
#include "LineGrid.h"
#include "ProductLine.h"
#include "ProductLookup.h"
#include "ShopRows.h"
#include "TempDatabase.h"

#include <memory>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class TestProductLine : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    Connection* c = nullptr;
    GroupSavings m_groups;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        c = &m_db->connection();
        c->Execute(u"Delete From ktProduct"_s);
        c->Execute(u"Delete From kmGroup"_s);
        AddGroup(*c, 1, u"Soaps"_s, 10);
        AddGroup(*c, 2, u"Oils"_s, 12.5);
        AddProduct(*c, { .code = u"P1"_s, .saleRate = 99.99, .stock = 5, .group = 1, .purchaseRate = 80 });
        AddProduct(*c, { .code = u"P2"_s, .saleRate = 12.345, .stock = 0, .tax = u""_s, .group = 99 });
        AddProduct(*c, { .code = u"P3"_s, .saleRate = 3.335, .stock = -2 });
        AddProduct(*c,
            { .code = u"P4"_s,
                .saleRate = 8.1,
                .stock = 1,
                .tax = u""_s,
                .group = 2,
                .purchaseRate = 7,
                .active = u"N"_s });
        AddProduct(*c, { .code = u"P1"_s, .stock = 1, .group = 1 }); // a second product of an existing code
        m_groups.Load(*c);
    }

    void lookUp_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("activeOnly");
        QTest::addColumn<QString>("found"); // "PName PGId PCloseQty", or "-" for none

        QTest::newRow("exact code, the first of two") << u"P1"_s << false << u"Item P1 1 5"_s;
        QTest::newRow("other letter case") << u"p1"_s << false << u"Item P1 1 5"_s;
        QTest::newRow("no group") << u"P3"_s << false << u"Item P3 - -2"_s;
        QTest::newRow("inactive, any product") << u"P4"_s << false << u"Item P4 2 1"_s;
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
        ProductLookup lookup(*c);
        const std::optional<ProductRecord> product
            = activeOnly ? lookup.ActiveByCode(code) : lookup.ByCode(code);
        const QString shown = product
            ? u"%1 %2 %3"_s.arg(product->PName, product->PGId ? QString::number(*product->PGId) : u"-"_s,
                product->PCloseQty.ToText())
            : u"-"_s;
        QTEST(shown, "found");
    }

    void addLine_data()
    {
        // "CODE quantity rate caller PStkChek PGrpSave PAmtRoun"; rate "-": the product's rate
        // for the caller (1 the sale side, 2 the purchase side)
        QTest::addColumn<QString>("input");
        // "Rate Value Saving Gross Tax | DocItems DocGross DocTaxable", or the refusal.
        QTest::addColumn<QString>("expected");

        QTest::newRow("sale with group saving")
            << u"P1 1 - 1 N Y 2"_s << u"99.99 99.99 10.00 89.99 T | 1 89.99 89.99"_s;
        QTest::newRow("purchase side: purchase rate, no saving")
            << u"P1 1 - 2 N Y 2"_s << u"80.00 80.00 0.00 80.00 T | 1 80 80"_s;
        QTest::newRow("group saving off")
            << u"P1 3 - 1 N N 2"_s << u"99.99 299.97 0.00 299.97 T | 3 299.97 299.97"_s;
        QTest::newRow("missing group gets no saving, rate halves to even")
            << u"P2 1 - 1 N Y 2"_s << u"12.34 12.34 0.00 12.34  | 1 12.34 0"_s;
        QTest::newRow("no decimals") << u"P2 1 - 1 N Y 0"_s << u"12.00 12.00 0.00 12.00  | 1 12 0"_s;
        QTest::newRow("one decimal, saving rounded")
            << u"P1 1 8.15 1 N Y 1"_s << u"8.20 8.20 0.80 7.40 T | 1 7.4 7.4"_s;
        QTest::newRow("rate rounded before it is multiplied")
            << u"P3 3 0.335 1 N Y 2"_s << u"0.34 1.02 0.00 1.02 T | 3 1.02 1.02"_s;
        QTest::newRow("value and saving rounded to even")
            << u"P1 2.5 1.25 1 N Y 2"_s << u"1.25 3.12 0.31 2.81 T | 2 2.81 2.81"_s;
        QTest::newRow("typed quantity and rate, halves to even in DocItems")
            << u"P1 2.5 4 2 N Y 2"_s << u"4.00 10.00 0.00 10.00 T | 2 10 10"_s;
        QTest::newRow("negative quantity as typed")
            << u"P3 -1 - 1 N Y 2"_s << u"3.34 -3.34 0.00 -3.34 T | -1 -3.34 -3.34"_s;
        QTest::newRow("stock check: none left") << u"P2 1 - 1 Y Y 2"_s << u"Available Stock- 0"_s;
        QTest::newRow("stock check: negative stock") << u"P3 1 - 1 Y Y 2"_s << u"Available Stock- -2"_s;
        QTest::newRow("stock check: one left is enough")
            << u"P4 1 - 1 Y Y 2"_s << u"8.10 8.10 1.01 7.09  | 1 7.09 0"_s;
        QTest::newRow("stock check off: negative stock sold")
            << u"P3 1 - 1 N Y 2"_s << u"3.34 3.34 0.00 3.34 T | 1 3.34 3.34"_s;
    }

    void addLine()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QStringList in = input.split(u' ');
        const ProductLineRules rules = ProductLineRules::FromPreferences(in[4], in[5], in[6]);
        const std::optional<ProductRecord> product = ProductLookup(*c).ByCode(in[0]);
        QVERIFY(product);
        const int callerCode = in[3].toInt();
        const Money rate = in[2] == u"-"_s ? product->RateFor(callerCode) : *Money::FromText(in[2]);
        LineGrid grid;
        grid.Setup();
        const ProductLineResult result
            = AddProductLine(grid, *product, *Money::FromText(in[1]), rate, callerCode, rules, m_groups);
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
        QTEST(ProductLineRules::FromPreferences(u"N"_s, u"N"_s, PAmtRoun).amountDecimals, "decimals");
    }
};

QTEST_GUILESS_MAIN(TestProductLine)
#include "tst_productline.moc"
