// One sale through the real program, as a cashier makes it: log in as a sales user, BILLING,
// the customer's phone, product codes typed and ended with Enter, one more product from the
// product listing, F2, CHECKOUT, the answers to the messages and the bill print; then the bill, its lines and
// the stock read back by SQL. The screen driver that the program-level tests use runs the script inside the
// program.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const char* const Script = R"(window Login
focus txtField(0)
type sue
key Return
focus txtField(1)
type till
key Return
window Kivo - Sales Software
answer BILLING
window Billing
focus txtField(5)
key Shift+Tab
key Shift+Tab
focus txtField(41)
type 5551234567
key Return
message New Customer Added !
answer OK
focus cmdList(4)
key Tab
focus txtField(5)
key Return
focus txtField(98)
type P100
key Return
type p250
key Return
type NOPE'--
key Return
message Invalid Product-Code !
answer OK
focus txtField(98)
type P100
key Return
field txtField(6)=3
checkpoint scanned
key Return
focus cmdList(98)
key Return
window Product Listing
focus lstList
key Down
key Return
focus txtField(3)
key Return
focus txtField(4)
key Return
answer Close
closed Product Listing
field txtField(6)=4
key Shift+Tab
focus txtField(98)
key F2
focus txtField(20)
field txtField(13)=210.00
field txtField(17)=5.00
answer CHECKOUT
message Confirm Checkout ?
answer Yes
answer OK
window Bill Print (S)
answer Close
closed Billing
checkpoint sold
answer QUIT
)";

} // namespace

class TestBillingSale : public QObject {
    Q_OBJECT
private slots:
    void saleThroughTheCounter()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { return AdminRows(data, statement); };
        sql(u"Insert Into kaUser (EDate, ULogin, UPasscd, UHint, UMode, UName) "
            "Values (#12/1/2026#, 'sue', 'till', 'till', 'S', 'Sue')"_s);
        sql(u"Insert Into ktProduct (EDate, PCode, PName, PSaleRate, POpenQty, PPurchQty, PSaleQty, "
            u"PCloseQty, "
            "PTax, PActive) Values (#12/1/2026#, 'P100', 'Tea', 100, 10, 0, 0, 10, 'T', 'Y')"_s);
        sql(u"Insert Into ktProduct (EDate, PCode, PName, PSaleRate, POpenQty, PPurchQty, PSaleQty, "
            u"PCloseQty, "
            "PTax, PActive) Values (#12/1/2026#, 'P250', 'Sugar', 2.5, 10, 0, 0, 10, '', 'Y')"_s);
        ScriptedProgram program(work.path(), data, Script);

        // The bill lives on the screen only: nothing is written before checkout, but the new
        // customer is.
        QVERIFY(program.Checkpoint(u"scanned"_s));
        QCOMPARE(sql(u"Select Count(*) From ktBillMast"_s), u"0"_s);
        QCOMPARE(sql(u"Select CCode From ktCustomer Where CPhone='5551234567'"_s).left(1), u"C"_s);

        QVERIFY(program.Checkpoint(u"sold"_s));
        const QString customer = sql(u"Select EId From ktCustomer Where CPhone='5551234567'"_s);
        // 100 + 2.50 + 100, and 2.50 more from the product listing, no tax; F2 suggests the next
        // ten above 205.
        QCOMPARE(sql(u"Select BItems, BGross, BNett, BCash, BReturn, BCId, BOType, BMType From ktBillMast"_s),
            u"4\t205\t205\t210\t5\t"_s + customer + u"\tOTHER\tMISC"_s);
        const QString id = sql(u"Select EId From ktBillMast"_s);
        QVERIFY(sql(u"Select BReceipt From ktBillMast"_s).endsWith(u"-"_s + id.rightJustified(6, u'0')));
        QCOMPARE(sql(u"Select BPId From ktBillDetl Where EId="_s + id + u" Order By rowid"_s),
            u"P100\nP250\nP100\nP250"_s);
        QCOMPARE(sql(u"Select PCode, PSaleQty, PCloseQty From ktProduct Order By PCode"_s),
            u"P100\t2\t8\nP250\t2\t8"_s);

        QVERIFY(program.Checkpoint(QString()));
        QCOMPARE(program.Ended(), 0);
        QCOMPARE(program.LoggedErrors(), QString());
        QCOMPARE(AdminText({ u"check"_s, data }), u"integrity: ok\nstock: ok (2 products)"_s);
    }
};

QTEST_GUILESS_MAIN(TestBillingSale)
#include "tst_billingsale.moc"
