#include "DateText.h"
#include "LoginState.h"
#include "ProgramRun.h"
#include "Recordset.h"
#include "ReportCatalogue.h"
#include "ReportScreenState.h"
#include "Settings.h"
#include "TestContext.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

// The demo shop's history runs back about three months from the fixtures' today (5 March
// 2026); February is a whole month inside it.
const QDate FebFirst(2026, 2, 1);
const QDate FebLast(2026, 2, 28);
const QString InFeb = u" EDate Between '2026-02-01' And '2026-02-28' "_s;

// How the reports show an amount and a whole number: thousands grouped, amounts with two
// decimals.
QString Shown(const QVariant& value)
{
    static const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    switch (value.typeId()) {
    case QMetaType::Double:
        return grouped.toString(value.toDouble(), 'f', 2);
    case QMetaType::LongLong:
    case QMetaType::Int:
        return grouped.toString(value.toLongLong());
    default:
        return value.toString();
    }
}

// Every value of every row of a statement, as the reports show it.
QStringList Values(Connection& connection, const QString& sql)
{
    QStringList values;
    if (sql.isEmpty())
        return values;
    Recordset rs(connection);
    rs.Open(sql);
    for (; !rs.Eof(); rs.MoveNext())
        for (int c = 0; c < rs.FieldCount(); ++c)
            values << Shown(rs.Value(c));
    return values;
}

// How often `value` stands in the text as a whole: not part of a longer word or number.
int Occurrences(const QString& text, const QString& value)
{
    const QRegularExpression whole(
        u"(?<![\\w.,-])"_s + QRegularExpression::escape(value) + u"(?![\\w]|[.,]\\d)"_s);
    int count = 0;
    for (auto it = whole.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

} // namespace

class TestTemplates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void renders_data();
    void renders();
    void couponSheet();
    void receiptRoll_data();
    void receiptRoll();

private:
    struct Rendered {
        QString text;
        QList<QSizeF> pages; // each page's size in mm
        QString filterText;
    };
    Rendered Render(int code, const QString& value, const QDate& from = {}, const QDate& to = {});
    Connection& Db() { return m_shop->context.connection; }
    QString Scalar(const QString& sql) { return Values(Db(), sql).value(0); }

    std::unique_ptr<test::TestContext> m_shop;
    QTemporaryDir m_out;
    QString m_bill, m_quote, m_purchase, m_order; // documents with several lines
};

void TestTemplates::initTestCase()
{
    QVERIFY2(
        !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(), "pdftotext (poppler-utils) is needed");
    const QString source = qEnvironmentVariable("KIVO_SOURCE_DIR");
    QVERIFY2(!source.isEmpty(), "KIVO_SOURCE_DIR names the source tree (CTest sets it)");

    m_shop = std::make_unique<test::TestContext>(test::TempDatabase::Content::Demo);
    ProgramContext& context = m_shop->context;
    // The login values and preferences as a login loads them.
    Recordset enterprise(context.connection);
    enterprise.Open(u"Select * From kaEnterprise"_s);
    FillEnterpriseValues(context.login, enterprise);
    LoadPreferences(context);

    // Two coupons for the coupon sheet and the coupon listing.
    for (const QVariantList& coupon :
        { QVariantList { u"2026-02-10"_s, u"SPRING10"_s, u"Spring Saver"_s, u"10% off any purchase"_s,
              u"over 20.00"_s, u"One per customer"_s, u"31/03/2026"_s },
            QVariantList { u"2026-01-10"_s, u"WINTER5"_s, u"Winter Treat"_s, u"5.00 off"_s, u""_s, u""_s,
                u"31/01/2026"_s } })
        context.connection.Execute(u"Insert Into ktCoupon (EDate, CReference, CHead, CLine1, CLine2, CLine3, "
                                   "CValid, CRemarks) Values (?, ?, ?, ?, ?, ?, ?, '')"_s,
            coupon);

    // A bill footer of the shop's own, for the customer's documents only.
    context.connection.Execute(u"Update kaPreference Set PFooter = 'Thank you, come again'"_s);

    // The templates as kivo-admin init installs them.
    const QDir templates(source + u"/src/reports/templates"_s);
    for (const QString& file : templates.entryList({ u"*.Kvr"_s }, QDir::Files))
        QVERIFY(QFile::copy(templates.filePath(file), context.locations.BinFolder + file));

    const auto documentWithLines = [&](const QString& master, const QString& detail) {
        return Scalar(
            u"Select Min(EId) From %1 m Where (Select Count(*) From %2 d Where d.EId = m.EId) >= 3"_s.arg(
                master, detail));
    };
    m_bill = documentWithLines(u"ktBillMast"_s, u"ktBillDetl"_s);
    m_quote = documentWithLines(u"ktQuotMast"_s, u"ktQuotDetl"_s);
    m_purchase = documentWithLines(u"ktPurcMast"_s, u"ktPurcDetl"_s);
    m_order = documentWithLines(u"ktOrdrMast"_s, u"ktOrdrDetl"_s);
    QVERIFY(!m_bill.isEmpty() && !m_quote.isEmpty() && !m_purchase.isEmpty() && !m_order.isEmpty());
}

TestTemplates::Rendered TestTemplates::Render(
    int code, const QString& value, const QDate& from, const QDate& to)
{
    Rendered result;
    ReportScreenState state(m_shop->context, code, ReportCatalogue::Find(code)->title);
    if (from.isValid()) {
        state.PickStartDate(from);
        state.PickEndDate(to);
    } else {
        state.txtRepo1 = value;
    }
    m_shop->messages.shown.clear();
    if (!state.View())
        return result;
    state.LayOutAll();
    const QString pdf = m_out.filePath(u"Ki%1.pdf"_s.arg(code));
    if (!state.ExportPdf(pdf))
        return result;
    // Compatibility forms undo the font's ligatures ("fi").
    result.text = test::PdfText(pdf).normalized(QString::NormalizationForm_KC);
    for (const QSizeF& points : test::PdfPageSizes(pdf))
        result.pages << points / test::PointsPerMm;
    result.filterText = state.FilterText;
    return result;
}

// "Round(Sum(A), 2), Round(Sum(B), 2), ..." for the amounts named.
QString Sums(const QStringList& amounts)
{
    QStringList sums;
    for (const QString& amount : amounts)
        sums << u"Round(Sum(%1), 2)"_s.arg(amount);
    return sums.join(u", "_s);
}

void TestTemplates::renders_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("value"); // the criterion typed or picked; "" for none
    QTest::addColumn<bool>("february"); // the criterion is the month of February instead
    QTest::addColumn<QString>("rows"); // each value must be printed
    QTest::addColumn<QString>("totals"); // each value must be printed
    QTest::addColumn<QString>("absent"); // no value may be printed
    const auto row = [](int code, const QString& value, bool february, const QString& rows,
                         const QString& totals = {}, const QString& absent = {}) {
        QTest::addRow("%d %s", code, qPrintable(ReportCatalogue::Find(code)->title))
            << code << value << february << rows << totals << absent;
    };
    const QString feb = InFeb;
    const QString inFeb = u" Where"_s + feb, notInFeb = u" Where Not"_s + feb;
    // Quotes and orders print their status as a word, not the stored letter.
    const QString quoteStatus
        = u"Case QStatus When 'N' Then 'New' When 'B' Then 'Billed' Else 'Cancelled' End"_s;
    const QString orderStatus
        = u"Case OStatus When 'N' Then 'New' When 'P' Then 'Purchased' Else 'Cancelled' End"_s;

    // Product reports: a group criterion keeps the other groups' products out.
    row(41, u"2"_s, false, u"Select PCode From ktProduct Where PGId = 2"_s, {},
        u"Select PCode From ktProduct Where PGId <> 2"_s);
    row(42, {}, false, u"Select PCode, PPurchRate, PSaleRate From ktProduct"_s);
    row(43, u"1"_s, false, u"Select PCode From ktProduct Where PGId = 1"_s,
        u"Select Sum(POpenQty), Sum(PPurchQty), Sum(PSaleQty), Sum(PCloseQty) From ktProduct Where PGId = 1"_s,
        u"Select PCode From ktProduct Where PGId <> 1"_s);
    row(44, {}, false, u"Select PCode From ktProduct Where PCloseQty <= POrderQty"_s,
        u"Select Sum(POrderQty - PCloseQty) From ktProduct Where PCloseQty <= POrderQty"_s,
        u"Select PCode From ktProduct Where PCloseQty > POrderQty"_s);
    row(45, {}, false, u"Select PCode, PCloseQty From ktProduct"_s);
    row(46, u"3"_s, false, u"Select PCode From ktProduct Where PGId = 3"_s,
        u"Select Sum(PCloseQty), %1 From ktProduct Where PGId = 3"_s.arg(
            Sums({ u"PCloseQty * PPurchRate"_s, u"PCloseQty * PSaleRate"_s })));
    row(49, {}, true, u"Select CReference From ktCoupon"_s + inFeb, {},
        u"Select CReference From ktCoupon"_s + notInFeb);
    row(51, {}, true, u"Select CPhone From ktCustomer"_s + inFeb, {},
        u"Select CPhone From ktCustomer"_s + notInFeb);
    row(52, {}, true, u"Select QRef, %1 From ktQuotMast"_s.arg(quoteStatus) + inFeb,
        u"Select %1 From ktQuotMast Where QCId In (Select EId From ktCustomer) And"_s.arg(
            Sums({ u"QGross"_s, u"QDiscount"_s, u"QTax1"_s, u"QTax2"_s, u"QNett"_s }))
            + feb);
    row(53, {}, false, u"Select SZipCode From ktSupplier"_s);
    row(54, {}, true, u"Select ORef, %1 From ktOrdrMast"_s.arg(orderStatus) + inFeb,
        u"Select Sum(OItems), %1 From ktOrdrMast"_s.arg(Sums({ u"OGross"_s })) + inFeb,
        u"Select ORef From ktOrdrMast"_s + notInFeb);
    row(59, {}, true, u"Select BReceipt From ktBillMast"_s + inFeb,
        u"Select %1 From ktBillMast"_s.arg(
            Sums({ u"BGross"_s, u"BDiscount"_s, u"BTax1"_s, u"BTax2"_s, u"BNett"_s }))
            + inFeb,
        u"Select BReceipt From ktBillMast"_s + notInFeb);
    row(61, {}, true, u"Select QRef, %1 From ktQuotMast"_s.arg(quoteStatus) + inFeb,
        u"Select %1 From ktQuotMast"_s.arg(Sums({ u"QGross"_s, u"QNett"_s })) + inFeb,
        u"Select QRef From ktQuotMast"_s + notInFeb);
    row(64, {}, true, u"Select PReceipt From ktPurcMast"_s + inFeb,
        u"Select Sum(PItems), %1 From ktPurcMast"_s.arg(Sums({ u"PGross"_s, u"PTax"_s, u"PNett"_s })) + inFeb,
        u"Select PReceipt From ktPurcMast"_s + notInFeb);
    row(66, {}, true, u"Select ORef, %1 From ktOrdrMast"_s.arg(orderStatus) + inFeb,
        u"Select Sum(OItems), %1 From ktOrdrMast"_s.arg(Sums({ u"OGross"_s })) + inFeb);
    // Summaries: each user's, day's, month's, group's amounts and the grand totals.
    row(68, {}, true,
        u"Select u.ULogin, Count(*), %1 From ktBillMast m, kaUser u Where m.BUId = u.EId And m.%2 Group By "
        u"u.ULogin"_s.arg(Sums({ u"BCash"_s, u"BNett"_s }), feb.trimmed()),
        u"Select Count(*), %1 From ktBillMast"_s.arg(
            Sums({ u"BCash"_s, u"BCredit"_s, u"BOther"_s, u"BMisc"_s, u"BReturn"_s, u"BNett"_s }))
            + inFeb);
    row(69, {}, true, u"Select %1 From ktBillMast"_s.arg(Sums({ u"BNett"_s })) + inFeb + u"Group By EDate"_s,
        u"Select Count(*), %1 From ktBillMast"_s.arg(Sums({ u"BGross"_s, u"BTax1 + BTax2"_s, u"BNett"_s }))
            + inFeb);
    row(70, {}, false, u"Select %1 From ktBillMast Group By substr(EDate, 1, 7)"_s.arg(Sums({ u"BNett"_s })),
        u"Select Count(*), %1 From ktBillMast"_s.arg(Sums({ u"BGross"_s, u"BNett"_s })));
    row(71, {}, true, u"Select Distinct BPId From ktBillDetl"_s + inFeb,
        u"Select %1 From ktBillDetl d, ktProduct p Where d.BPId = p.PCode And d.%2 Group By p.PGId"
        u" Union All Select %1 From ktBillDetl"_s.arg(Sums({ u"BGross"_s }), feb.trimmed())
            + inFeb);
    row(72, {}, true,
        u"Select g.GName, %1 From ktBillDetl d, ktProduct p, kmGroup g Where d.BPId = p.PCode And p.PGId = "
        u"g.EId"
        u" And d.%2 Group By g.GName"_s.arg(Sums({ u"d.BGross"_s }), feb.trimmed()),
        u"Select %1 From ktBillDetl"_s.arg(Sums({ u"BGross"_s })) + inFeb);
    const QString payType
        = u" From ktBillMast m, ktCustomer c Where m.BCId = c.EId And (BOther <> 0 Or BMisc <> 0)"
          u" And m."_s
        + feb.trimmed();
    row(73, {}, true, u"Select Distinct c.CPhone"_s + payType,
        u"Select %1"_s.arg(Sums({ u"BOther"_s, u"BMisc"_s })) + payType);
    row(75, {}, true, u"Select Distinct BPId From ktBillDetl"_s + inFeb,
        u"Select Cast(Sum(BQty) As Integer), %1 From ktBillDetl"_s.arg(Sums({ u"BGross"_s })) + inFeb);
    row(76, u"P1010"_s, false, u"Select Distinct BRate From ktBillDetl Where BPId = 'P1010'"_s,
        u"Select PSaleRate From ktProduct Where PCode = 'P1010'"_s,
        u"Select PCode From ktProduct Where PCode <> 'P1010'"_s);
    // Profit: the bills' totals after discount are the net sales; the cost is each line's
    // quantity at its product's purchase rate.
    const QString profitBills = u" From ktBillMast Where EId In (Select EId From ktBillDetl) And"_s + feb;
    const QString cost = u"(Select Sum(d.BQty * p.PPurchRate) From ktBillDetl d, ktProduct p"
                         " Where d.BPId = p.PCode And d."_s
        + feb.trimmed() + u")"_s;
    row(77, {}, true, {},
        u"Select %1, Round(%2, 2), Round(Sum(BTotal) - %2, 2), printf('%.1f', (Sum(BTotal) - %2) * 100 / "
        u"Sum(BTotal))"_s.arg(Sums({ u"BTotal"_s, u"BDiscount"_s }), cost)
            + profitBills);
    row(78, {}, true, {},
        u"Select %1, (Select Round(Sum(BGross), 2) From ktBillDetl Where BTax = 'T' And"_s.arg(
            Sums({ u"BTax1"_s, u"BTax2"_s, u"BNett"_s, u"BDiscount"_s }))
            + feb + u")"_s + profitBills);
    // Ledger: the opening balance, the deposits and withdrawals, the closing balance.
    row(79, u"2"_s, false, {},
        u"Select AOpening, (Select Round(Sum(ADAmount), 2) From ktAccounting Where AAId = 2),"
        " (Select Round(Sum(AWAmount), 2) From ktAccounting Where AAId = 2),"
        " Round(AOpening + (Select Sum(ADAmount) - Sum(AWAmount) From ktAccounting Where AAId = 2), 2)"
        " From kmAccount Where EId = 2"_s);
    // Documents: the lines and the totals of one document with several lines.
    const QString footer = u"Select PFooter From kaPreference"_s;
    row(57, m_bill, false,
        u"Select BPId, BGross From ktBillDetl Where EId = %1 Union All Select PFooter, PFooter From kaPreference"_s
            .arg(m_bill),
        u"Select BGross, BTax1, BNett From ktBillMast Where EId = "_s + m_bill);
    row(58, m_bill, false, u"Select BPId From ktBillDetl Where EId = "_s + m_bill, {},
        u"Select BRate From ktBillDetl Where EId = %1 Union All Select BGross From ktBillDetl Where EId = %1"
        u" Union All Select BNett From ktBillMast Where EId = %1"_s.arg(m_bill));
    row(60, m_quote, false, u"Select QPId, QGross From ktQuotDetl Where EId = "_s + m_quote,
        u"Select QGross, QNett From ktQuotMast Where EId = "_s + m_quote);
    // Purchases and orders go to suppliers: without the bill footer.
    row(63, m_purchase, false, u"Select PPId, PGross From ktPurcDetl Where EId = "_s + m_purchase,
        u"Select PGross, PNett From ktPurcMast Where EId = "_s + m_purchase, footer);
    row(65, m_order, false,
        u"Select OPId, OGross From ktOrdrDetl Where EId = %1 Union All Select %2, %2 From ktOrdrMast Where EId = %1"_s
            .arg(m_order, orderStatus),
        u"Select OGross From ktOrdrMast Where EId = "_s + m_order, footer);
}

// Each report renders to a PDF whose text holds its rows and totals as the database gives
// them, with the shop's name, the criterion and the page count on it.
void TestTemplates::renders()
{
    QFETCH(int, code);
    QFETCH(QString, value);
    QFETCH(bool, february);
    QFETCH(QString, rows);
    QFETCH(QString, totals);
    QFETCH(QString, absent);

    const Rendered r = february ? Render(code, {}, FebFirst, FebLast) : Render(code, value);
    QVERIFY2(m_shop->ErrorLogLines().isEmpty(), qPrintable(m_shop->ErrorLogLines().join(u'\n')));
    QVERIFY2(!m_shop->messages.shown.contains(u"No Data !"_s), "the chosen criterion selects rows");
    QVERIFY2(!r.text.isEmpty(), "the report was exported and its text read back");

    const ReportEntry* entry = ReportCatalogue::Find(code);
    QVERIFY(r.text.contains(m_shop->context.login.EnterpriseShort));
    QVERIFY2(r.text.contains(u"Page 1 of %1"_s.arg(r.pages.size())), qPrintable(r.text.right(300)));
    QVERIFY(r.text.contains(u"Page %1 of %1"_s.arg(r.pages.size())));
    if (entry->IsDocument()) {
        QVERIFY(r.text.contains(m_shop->context.login.EnterpriseName));
    } else {
        QVERIFY2(r.text.contains(entry->title), qPrintable(r.text.left(600)));
        QVERIFY2(r.text.contains(r.filterText.trimmed()), qPrintable(r.filterText));
        // The program's today, not the machine's.
        QVERIFY2(r.text.contains(u"Printed "_s + ShortDate(test::TempDatabase::FixedToday())),
            qPrintable(r.text.right(300)));
    }

    const QStringList printed = Values(Db(), rows) + Values(Db(), totals);
    QVERIFY(rows.isEmpty() || !Values(Db(), rows).isEmpty());
    for (const QString& value : printed)
        QVERIFY2(Occurrences(r.text, value) > 0, qPrintable(u"printed value "_s + value));
    for (const QString& left : Values(Db(), absent))
        QVERIFY2(Occurrences(r.text, left) == 0, qPrintable(u"left out "_s + left));
}

// Each chosen coupon fills one page: 24 coupons of it, 3 across and 8 down, laid out without
// writing them to the database.
void TestTemplates::couponSheet()
{
    const QString spring = Scalar(u"Select EId From ktCoupon Where CReference = 'SPRING10'"_s);
    const QString coupons = Scalar(u"Select Count(*) From ktCoupon"_s);
    const Rendered r = Render(48, spring);
    QCOMPARE(Scalar(u"Select Count(*) From ktCoupon"_s), coupons); // the sheet is not stored
    QCOMPARE(r.pages.size(), 1);
    QCOMPARE(Occurrences(r.text, u"Spring Saver"_s), 24);
    QCOMPARE(Occurrences(r.text, u"SPRING10"_s), 24 + 1); // and once in the page footer
    QCOMPARE(Occurrences(r.text, u"Winter Treat"_s), 0);
    // The footer names the coupon, with nothing left dangling when no name was picked.
    QVERIFY2(r.text.contains(u"Coupon %1 - SPRING10"_s.arg(spring)), qPrintable(r.text.right(200)));
    QVERIFY(!r.text.contains(u"Coupon %1-"_s.arg(spring)));
}

void TestTemplates::receiptRoll_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("prices");
    QTest::newRow("56 Bill Print (S)") << 56 << true;
    QTest::newRow("80 Gift Receipt") << 80 << false;
}

// The receipts print on an 80 mm roll, one page as long as the bill; the gift receipt names
// the goods without a price.
void TestTemplates::receiptRoll()
{
    QFETCH(int, code);
    QFETCH(bool, prices);
    const Rendered r = Render(code, m_bill);
    QCOMPARE(r.pages.size(), 1);
    QVERIFY2(qAbs(r.pages[0].width() - 80) < 0.5, qPrintable(QString::number(r.pages[0].width())));
    QVERIFY(r.pages[0].height() > 60 && r.pages[0].height() < 297);
    QVERIFY(r.text.contains(m_shop->context.login.EnterpriseShort));

    const QString lines = u"Select BRate, BGross From ktBillDetl Where EId = "_s + m_bill;
    const QString bill = u"Select BGross, BNett From ktBillMast Where EId = "_s + m_bill;
    for (const QString& amount : Values(Db(), lines) + Values(Db(), bill))
        QCOMPARE(Occurrences(r.text, amount) > 0, prices);
}

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
