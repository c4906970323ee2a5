// A quote billed through the real program, as the back office does it: log in, Transaction >
// Quote on the newest quote, To Bill, the cash and the remarks in the panel, Bill > and the
// answers; then the bill, its lines, the stock and the quote read back by SQL. The screen
// driver that the program-level tests use runs the script inside the program.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// Cash Amt has the cursor when the panel opens; Tab passes the boxes the program fills.
const char* const Script = R"(menu Transaction/Quote
window Quote
field txtField(3)=E2E-QUOTE
answer To Bill     >
focus txtField(15)
type 200
key Tab
focus txtField(16)
key Tab, Tab, Tab
key Tab, Tab
focus txtField(22)
type Picked up
field txtField(19)=50.00
answer Bill >
message Confirm Billing ?
answer Yes
message Sure To Bill ?
answer Yes
answer OK
field txtField(13)=B
checkpoint billed
menu Operation/Exit
closed Quote
menu Transaction/Quit
)";

} // namespace

class TestQuoteToBill : public QObject {
    Q_OBJECT
private slots:
    void quoteBilledInTheProgram()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data, u"--demo"_s }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { return AdminRows(data, statement); };
        // The newest quote, shown when the screen opens: three units of the first product.
        const QString product = sql(u"Select PCode From ktProduct Where EId=1"_s);
        sql(u"Insert Into ktQuotMast (EDate, QUId, QRef, QCId, QDisPer, QItems, QGross, QDiscount, "
            "QTotal, QTax1, QTax2, QNett, QStatus, QRemarks) Values (#03/05/2026#, 1, 'E2E-QUOTE', 1, 0, "
            "3, 150, 0, 150, 0, 0, 150, 'N', '-')"_s);
        const QString quote = sql(u"Select Max(EId) From ktQuotMast"_s);
        sql(u"Insert Into ktQuotDetl Values ("_s + quote + u", #03/05/2026#, 'x', '"_s + product
            + u"', 'Item', 3, 50, 150, 0, 150, 'T')"_s);
        const QString stockBefore = sql(u"Select PSaleQty + 3, PCloseQty - 3 From ktProduct Where EId=1"_s);
        const QString billsBefore = sql(u"Select Count(*) + 1 From ktBillMast"_s);

        ScriptedProgram program(work.path(), data, ScriptedProgram::Login(u"Chief"_s, u"kivo"_s) + Script);

        QVERIFY(program.Checkpoint(u"billed"_s));
        const QString bill = sql(u"Select Max(EId) From ktBillMast"_s);
        QCOMPARE(bill, billsBefore);
        // The quote billed, the bill with its one line, and the product's stock.
        QCOMPARE(sql(u"Select QStatus, QRemarks, BReturn, BRemarks, BNett, BPId, BQty, PSaleQty, PCloseQty "
                     "From ktQuotMast q, ktBillMast b, ktBillDetl d, ktProduct p Where q.EId="_s
                     + quote + u" And b.EId="_s + bill + u" And d.EId=b.EId And p.EId=1"_s),
            u"B\tBILL#%1;Picked up\t50\tPicked up\t150\t%2\t3\t%3"_s.arg(bill, product, stockBefore));

        QVERIFY(program.Checkpoint(QString()));
        QCOMPARE(program.Ended(), 0);
        // Nothing went wrong along the way that the program only logged.
        QCOMPARE(program.LoggedErrors(), QString());
        QVERIFY(AdminText({ u"check"_s, data }).startsWith(u"integrity: ok\nstock: ok"_s));
    }
};

QTEST_GUILESS_MAIN(TestQuoteToBill)
#include "tst_quotetobill.moc"
