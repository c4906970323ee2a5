// The real program, started as a user starts it on a new data folder and driven from outside
// through what the user sees: window titles, control names, menu captions and keys. A screen
// driver that Qt loads into the unchanged program as a plugin runs the script; at each
// checkpoint the program waits while this test reads the database with kivo-admin.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const char* const Script = R"(window Login
focus txtField(0)
type Chief
key Return
focus txtField(1)
type kivo
key Return
window Kivo - Sales Software
checkpoint loggedin
menu Transaction/Coupon
window Coupon
key Ctrl+A
message Confirm Add ?
answer Yes
focus txtField(2)
type SPRING10
key Tab
focus txtField(3)
type Spring sale
key Tab
focus txtField(4)
type Ten off any bill
key Tab
focus txtField(5)
type Ends on Sunday
key Tab
focus txtField(6)
type One per customer
key Tab
focus txtField(7)
type 31 May
key Tab
focus txtField(8)
type Spring
checkpoint typed
key Ctrl+S
field txtField(2)=SPRING10
checkpoint saved
key Ctrl+R
window Coupon Print
field txtRepo1=1
answer <    View
field txtPage=1
answer Close
closed Coupon Print
window Coupon
key Ctrl+D
window Access Code...
type KIVO
key Return
message Confirm Delete ?
answer Yes
checkpoint deleted
menu Operation/Exit
closed Coupon
menu Report/Product Listing
window Product Listing
answer <    View
message No Data !
answer OK
field txtPage=1
answer Close
closed Product Listing
menu Utility/Trends..
window Trends
answer <    View
focus cmbTrend
answer Close
closed Trends
menu Transaction/Quit
)";

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    // The coupon register: a register whose records can be added and deleted from the window
    // (the master registers keep Delete off while browsing); its Report command opens Coupon
    // Print on the coupon shown, and View shows the sheet. Then Product Listing on the
    // emptied shop: "No Data !", and the viewer still shows the report's page 1; and the sales
    // trend's View, whose four statements run on the real database without an error.
    void couponAddedSavedAndDeleted()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { return AdminRows(data, statement); };
        const QString countSpring = u"Select Count(*) From ktCoupon Where CReference='SPRING10'"_s;
        ScriptedProgram program(work.path(), data, Script);
        QVERIFY(program.Checkpoint(u"loggedin"_s));
        // Typing alone writes nothing: the record reaches the database on Save.
        QVERIFY(program.Checkpoint(u"typed"_s));
        QCOMPARE(sql(countSpring), u"0"_s);
        QVERIFY(program.Checkpoint(u"saved"_s));
        QCOMPARE(sql(u"Select CHead, CLine1, CValid, CRemarks From ktCoupon Where CReference='SPRING10'"_s),
            u"Spring sale\tTen off any bill\t31 May\tSpring"_s);
        QVERIFY(program.Checkpoint(u"deleted"_s));
        QCOMPARE(sql(countSpring), u"0"_s);
        QCOMPARE(sql(u"Select Count(*) From ktCoupon"_s), u"0"_s);

        QVERIFY(program.Checkpoint(QString()));
        QCOMPARE(program.Ended(), 0);
        // Nothing went wrong along the way that the program only logged.
        QCOMPARE(program.LoggedErrors(), QString());
        QCOMPARE(AdminText({ u"check"_s, data }), u"integrity: ok\nstock: ok (0 products)"_s);
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
