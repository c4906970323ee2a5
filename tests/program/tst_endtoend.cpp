// The real program, started as a user starts it on a new data folder and driven from outside
// through what the user sees: window titles, control names, menu captions and keys. A screen
// driver that Qt loads into the unchanged program as a plugin runs the script; at each
// checkpoint the program waits while this test reads the database with kivo-admin. Beside it,
// the program's windows wired together in this process: menu entries open register screens as
// child windows of the main window, and closing one while editing asks first.
#include "LoginState.h"
#include "MainWindow.h"
#include "ProgramHost.h"
#include "ProgramRun.h"
#include "RecordScreen.h"
#include "RecordScreenView.h"
#include "ScreenCatalogue.h"
#include "ScriptedProgram.h"
#include "TestContext.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// The main window and its host on a fresh shop, logged in as Chief, idle.
struct Host {
    Host()
    {
        LoginState login(t.context);
        login.txtField[0] = u"Chief"_s;
        login.txtField[1] = u"kivo"_s;
        login.Ok();
        loggedIn = login.result == LoginState::Result::LoggedIn;
        host.SetupMainWindow();
        host.SetIdleCommandState();
        window.show();
    }
    TestContext t;
    MainWindow window { t.context };
    ProgramHost host { t.context, window };
    bool loggedIn = false;
};

const char* const ScriptStart = R"(checkpoint loggedin
menu Transaction/Coupon
window Coupon
key Ctrl+A
message Confirm Add ?
answer Yes
focus txtField(2)
)";

// The coupon's texts from its reference on, typed one field after another with Tab.
const QStringList Typed { u"SPRING10"_s, u"Spring sale"_s, u"Ten off any bill"_s, u"Ends on Sunday"_s,
    u"One per customer"_s, u"31 May"_s, u"Spring"_s };

const char* const ScriptEnd = R"(
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
        ScriptedProgram program(work.path(), data,
            ScriptedProgram::Login(u"Chief"_s, u"kivo"_s) + ScriptStart
                + (u"type "_s + Typed.join(u"\nkey Tab\ntype "_s)).toUtf8() + ScriptEnd);
        QVERIFY(program.Checkpoint(u"loggedin"_s));
        // Typing alone writes nothing: the record reaches the database on Save.
        QVERIFY(program.Checkpoint(u"typed"_s));
        QCOMPARE(sql(u"Select Count(*) From ktCoupon"_s), u"0"_s);
        QVERIFY(program.Checkpoint(u"saved"_s));
        // Each text landed in its own field: Tab moved on one field at a time.
        QCOMPARE(sql(u"Select CHead, CLine1, CLine2, CLine3, CValid, CRemarks From ktCoupon"_s),
            Typed.mid(1).join(u'\t'));
        QVERIFY(program.Checkpoint(u"deleted"_s));
        QCOMPARE(sql(u"Select Count(*) From ktCoupon"_s), u"0"_s);

        QVERIFY(program.Checkpoint(QString()));
        QCOMPARE(program.Ended(), 0);
        // Nothing went wrong along the way that the program only logged.
        QCOMPARE(program.LoggedErrors(), QString());
        QCOMPARE(AdminText({ u"check"_s, data }), u"integrity: ok\nstock: ok (0 products)"_s);
    }

    void closingTheChildWindowWhileEditingAsksFirst()
    {
        Host h;
        QVERIFY(h.loggedIn);
        h.window.MenuAction(u"Transaction"_s, 3)->trigger(); // Customer
        QMdiSubWindow* sub = h.window.mdiArea()->activeSubWindow();
        QVERIFY(sub);
        h.t.messages.Answer(true); // "Confirm Add ?"
        h.window.MenuAction(u"Operation"_s, 1)->trigger();
        h.t.messages.Answer(false); // "Cancel Edits ?" -> No: the screen stays
        sub->close();
        QCOMPARE(h.window.mdiArea()->subWindowList().size(), 1);
        h.t.messages.Answer(true); // now Yes
        sub->close();
        QVERIFY(h.window.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(h.host.engine().Current(), nullptr);
        QCOMPARE(h.t.messages.shown.mid(1), (QStringList { u"Cancel Edits ?"_s, u"Cancel Edits ?"_s }));
        QCOMPARE(h.t.context.connection.Scalar(u"Select Count(*) From ktCustomer"_s).toInt(), 0);
    }

    void everyRegisterOpensFromItsMenuEntry_data()
    {
        QTest::addColumn<QString>("screen");
        for (const ScreenEntry& entry : ScreenCatalogue())
            if (entry.detailTable.isEmpty())
                QTest::newRow(qPrintable(entry.name)) << entry.name;
    }

    void everyRegisterOpensFromItsMenuEntry()
    {
        QFETCH(QString, screen);
        Host h;
        const ScreenEntry* entry = FindScreen(screen);
        h.window.MenuAction(entry->menu, entry->menuEntry)->trigger();
        QMdiSubWindow* sub = h.window.mdiArea()->activeSubWindow();
        auto* view = sub ? qobject_cast<RecordScreenView*>(sub->widget()) : nullptr;
        QVERIFY(view);
        QCOMPARE(view->screen().name, screen);
        QVERIFY(h.t.ErrorLogLines().isEmpty());
        QCOMPARE(h.t.messages.shown, QStringList());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
