#include "CommandState.h"
#include "Icons.h"
#include "MainWindow.h"
#include "ProgramContext.h"
#include "ScreenCatalogue.h"
#include "Settings.h"
#include "TestContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

namespace {

template <typename T = QWidget> T* Child(const QWidget& window, const QString& name)
{
    T* child = window.findChild<T*>(name);
    if (!child)
        qFatal("no element %s", qPrintable(name));
    return child;
}

QString LabelText(const QWidget& window, const QString& name)
{
    return Child<QLabel>(window, name)->text();
}

// The settings and login values of a user who has just logged in.
struct LoggedIn {
    LoggedIn(const QString& mode, const QString& name)
    {
        LoadCustomize(t.context);
        LoadPreferences(t.context);
        t.context.login.LoginName = name;
        t.context.login.UserMode = mode;
        t.context.login.EnterpriseShort = u"MyShop"_s;
    }
    TestContext t;
};

// That user's main window, set up as the program sets it up; shown and active when a test
// sends it keys or clicks.
struct Fixture : LoggedIn {
    explicit Fixture(const QString& mode = u"B"_s, const QString& name = u"Chief"_s, bool active = false)
        : LoggedIn(mode, name)
    {
        window.SetupMainWindow();
        if (active) {
            window.show();
            QApplication::setActiveWindow(&window);
            if (!QTest::qWaitForWindowActive(&window))
                qFatal("the main window did not become active");
        }
    }

    // The command state for a key as the program applies it.
    void Apply(const QString& key, bool screenEmpty = false)
    {
        window.ApplyCommandState(ComputeCommandState(key, screenEmpty, AdminAllowed(t.context)));
    }

    // A child window standing in for an open register screen, with its frame and one field.
    QLineEdit* OpenScreen(const QString& caption)
    {
        auto* screen = new QWidget;
        screen->setWindowTitle(caption);
        auto* frame = new QWidget(screen);
        frame->setObjectName(u"frmMain"_s);
        auto* field = new QLineEdit(u"text"_s, frame);
        QMdiSubWindow* sub = window.mdiArea()->addSubWindow(screen);
        sub->show();
        window.mdiArea()->setActiveSubWindow(sub);
        window.ShowLeftPane(true);
        window.ShowScreenCaption(caption);
        return field;
    }

    // The window's signals in the order they come, with the module pane's state at the time.
    QStringList& Log()
    {
        const auto locked = [this] { return window.ModulePaneEnabled() ? QString() : u" locked"_s; };
        QObject::connect(&window, &MainWindow::commandChosen, &window,
            [this, locked](int number) { events << u"command %1"_s.arg(number) + locked(); });
        QObject::connect(
            &window, &MainWindow::menuEntryChosen, &window, [this, locked](const QString& menu, int entry) {
                events << u"%1 %2"_s.arg(menu).arg(entry) + locked();
                if (const ScreenEntry* screen = ScreenForMenuEntry(menu, entry))
                    events << screen->screenKey + u' ' + screen->table;
            });
        return events;
    }

    MainWindow window { t.context };
    QStringList events;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void layoutFollowsTheUserMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("backOffice");
        QTest::newRow("back office") << u"B"_s << true;
        QTest::newRow("counter") << u"S"_s << false;
    }

    // The back office works from the menus and toolbar; the counter from its bar of buttons.
    void layoutFollowsTheUserMode()
    {
        QFETCH(QString, mode);
        QFETCH(bool, backOffice);
        Fixture f(mode, u"cHIEF"_s);
        QCOMPARE(f.window.PanelText(3), u"User:Chief"_s);
        QCOMPARE(f.window.PanelText(4), u"MyShop"_s);
        for (QAction* menu : f.window.menuBar()->actions())
            QVERIFY2(menu->isVisible() == backOffice, qPrintable(menu->text()));
        QCOMPARE(Child(f.window, u"tlbMain"_s)->isVisibleTo(&f.window), backOffice);
        QCOMPARE(Child(f.window, u"cmdBill(7)"_s)->isVisibleTo(&f.window), !backOffice);
        // While the billing screen is open the counter's bar is disabled.
        f.window.SetQuickButtonsEnabled(false);
        QVERIFY(!Child(f.window, u"cmdBill(7)"_s)->isEnabled());
    }

    // A wrong file name, an SVG that does not parse or a missing SVG icon engine shows as a
    // blank button in the program; here it fails.
    void everyPictureLoads()
    {
        for (int glyph = 0; glyph < GlyphCount; ++glyph) {
            const QImage picture = Icon(Glyph(glyph)).pixmap(QSize(24, 24), 1.0).toImage();
            bool inked = false;
            for (int y = 0; y < picture.height() && !inked; ++y)
                for (int x = 0; x < picture.width() && !inked; ++x)
                    inked = qAlpha(picture.pixel(x, y)) > 0;
            QVERIFY2(inked, qPrintable(IconPath(Glyph(glyph))));
        }
    }

    void commandStateReachesTheWidgets()
    {
        Fixture f;
        QWidget* frame = f.OpenScreen(u"Coupon"_s)->parentWidget();
        QAction* menuSave = f.window.MenuAction(u"Operation"_s, 5);
        QAction* buttonSave = Child<QAction>(f.window, u"tlbMain(5)"_s);

        f.Apply(u"Tran"_s);
        QVERIFY(!buttonSave->isEnabled() && !menuSave->isEnabled());
        QVERIFY(Child<QAction>(f.window, u"tlbMain(1)"_s)->isEnabled());
        QVERIFY(!f.window.MenuEnabled(u"Transaction"_s) && f.window.MenuEnabled(u"Operation"_s));
        QVERIFY(f.window.ModulePaneEnabled() && !frame->isEnabled());

        f.Apply(u"Edit"_s);
        QVERIFY(buttonSave->isEnabled() && menuSave->isEnabled());
        QVERIFY(!f.window.ModulePaneEnabled() && frame->isEnabled());

        // Closing while editing: the idle state leaves the pane locked and the frame as it was.
        f.Apply(u"Help"_s);
        QVERIFY(f.window.MenuEnabled(u"Transaction"_s) && !f.window.MenuEnabled(u"Operation"_s));
        QVERIFY(!f.window.ModulePaneEnabled() && frame->isEnabled());
        // Exit stays available whatever the state.
        QVERIFY(Child<QAction>(f.window, u"tlbMain(17)"_s)->isEnabled());
    }

    void adminMenuRule_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("adminDisp");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("chief in any case") << u"cHiEF"_s << u"N"_s << true;
        QTest::newRow("chief-like name") << u"Chief2"_s << u"N"_s << false;
        QTest::newRow("other user, admin for all") << u"Anna"_s << u"Y"_s << true;
        QTest::newRow("setting other than Y") << u"Anna"_s << u"y"_s << false;
    }

    void adminMenuRule()
    {
        QFETCH(QString, login);
        QFETCH(QString, adminDisp);
        Fixture f(u"B"_s, login);
        f.t.context.customization.CAdminDisp = adminDisp;
        f.Apply(u"Help"_s);
        QTEST(f.window.MenuEnabled(u"Admin"_s), "enabled");
    }

    void operationShortcuts()
    {
        Fixture f(u"B"_s, u"Chief"_s, true);
        QLineEdit* field = f.OpenScreen(u"Coupon"_s);
        QSignalSpy chosen(&f.window, &MainWindow::commandChosen);

        f.Apply(u"Edit"_s);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
        // Cancel wins over the field's own copy; Next is disabled while editing.
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen[0][0].toInt(), 5);
        QCOMPARE(chosen[1][0].toInt(), 7);

        chosen.clear();
        f.Apply(u"Tran"_s);
        QTest::keyClick(&f.window, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&f.window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toInt(), 11);

        // With no screen open the Operation menu answers nothing.
        chosen.clear();
        f.Apply(u"Help"_s);
        QTest::keyClick(&f.window, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 0);
    }

    void refreshDashboard()
    {
        Fixture f;
        TestContext& t = f.t;
        MainWindow& window = f.window;
        t.context.connection.Execute(
            u"Insert Into ktProduct (EId, EDate, PCode, PName) Values (?, ?, ?, ?)"_s,
            { 12, QDate(2026, 3, 5), u"TEA'1"_s, u"Tea \"Gold\" 1kg"_s });
        window.RefreshDashboard(0);
        QCOMPARE(LabelText(window, u"lblDash(0,2)"_s), u"TEA'1"_s);
        QCOMPARE(LabelText(window, u"lblDash(1,0)"_s), u"-"_s);
        // A newer row shows after a refresh.
        t.context.connection.Execute(u"Insert Into ktCoupon (EId, EDate, CReference) Values (?, ?, ?)"_s,
            { 3, QDate(2026, 2, 1), u"SPRING"_s });
        window.RefreshDashboard(1);
        QCOMPARE(LabelText(window, u"lblDash(1,2)"_s), u"SPRING"_s);
        QCOMPARE(t.messages.shown, QStringList());

        // A table that cannot be read is reported and leaves its frame as it was.
        t.context.locations.ExportTables[2] = u"Missing"_s;
        window.RefreshDashboard(2);
        QCOMPARE(t.messages.shown, QStringList { u"ErroR!"_s });
        QCOMPARE(t.ErrorLogLines().size(), 1);
        QCOMPARE(LabelText(window, u"lblDash(2,0)"_s), u"-"_s);
    }

    void moduleClick_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("same module") << 0 << QStringList();
        QTest::newRow("another module")
            << 2 << QStringList { u"command 17 locked"_s, u"Transaction 3 locked"_s, u"Tran ktCustomer"_s };
        QTest::newRow("document module")
            << 4 << QStringList { u"command 17 locked"_s, u"Transaction 6 locked"_s, u"Trao ktBillMast"_s };
    }

    // A module picture closes the open screen and opens the module's register.
    void moduleClick()
    {
        QFETCH(int, module);
        Fixture f(u"B"_s, u"Chief"_s, true);
        f.OpenScreen(u"Product"_s);
        const QStringList& events = f.Log();
        QTest::mouseClick(Child(f.window, u"lblMod(%1)"_s.arg(module)), Qt::LeftButton);
        QTEST(events, "events");
        QVERIFY(f.window.ModulePaneEnabled());
    }

    void findBox_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("finds");
        QTest::newRow("click on the idle text empties it") << u"Find Id"_s << u"click"_s << QString() << 0;
        QTest::newRow("enter finds") << u"12"_s << u"enter"_s << u"12"_s << 1;
        QTest::newRow("button finds") << u"x'1"_s << u"button"_s << u"x'1"_s << 1;
    }

    void findBox()
    {
        QFETCH(QString, before);
        QFETCH(QString, action);
        QFETCH(int, finds);
        Fixture f(u"B"_s, u"Chief"_s, true);
        f.OpenScreen(u"Product"_s);
        f.window.SetFindBoxText(before);
        auto* box = Child<QLineEdit>(f.window, u"txtFind"_s);
        box->setFocus();
        box->end(false);
        QSignalSpy chosen(&f.window, &MainWindow::commandChosen);
        if (action == u"click")
            QTest::mouseClick(box, Qt::LeftButton);
        else if (action == u"enter")
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(Child(f.window, u"cmdFind"_s), Qt::LeftButton);
        QTEST(f.window.FindBoxText(), "after");
        QCOMPARE(chosen.size(), finds);
        if (finds)
            QCOMPARE(chosen[0][0].toInt(), 99);
    }

    void pendingButtonsFollowTheirEntries()
    {
        Fixture f;
        // The bill screen's module label and dashboard button go and come with its entry.
        f.window.SetMenuEntryEnabled(u"Transaction"_s, 6, false);
        QVERIFY(!Child(f.window, u"lblMod(4)"_s)->isEnabled());
        QVERIFY(!Child(f.window, u"cmdDash(4)"_s)->isEnabled());
        f.window.SetMenuEntryEnabled(u"Transaction"_s, 6, true);
        QVERIFY(Child(f.window, u"lblMod(4)"_s)->isEnabled());
        QVERIFY(Child(f.window, u"cmdDash(4)"_s)->isEnabled());
    }

    void entriesSetTheirContext()
    {
        Fixture f;
        const QStringList& events = f.Log();
        Child<QPushButton>(f.window, u"cmdDash(3)"_s)->click();
        f.window.MenuAction(u"Master"_s, 2)->trigger();
        f.Apply(u"Mast"_s);
        f.window.MenuAction(u"Operation"_s, 12)->trigger();
        QCOMPARE(events,
            (QStringList { u"Transaction 4"_s, u"Tran ktSupplier"_s, u"Master 2"_s, u"Mast kmPaytype"_s,
                u"command 12"_s }));
    }

    void quitEndsTheRun_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Transaction Quit") << u"menu"_s;
        QTest::newRow("QUIT button") << u"counter"_s;
        QTest::newRow("window closed") << u"close"_s;
    }

    // Every way out closes the database with the window.
    void quitEndsTheRun()
    {
        QFETCH(QString, how);
        Fixture f(how == u"counter" ? u"S"_s : u"B"_s);
        f.window.show();
        if (how == u"counter")
            Child<QToolButton>(f.window, u"cmdBill(7)"_s)->click();
        else if (how == u"menu")
            f.window.MenuAction(u"Transaction"_s, 17)->trigger();
        else
            f.window.close();
        QVERIFY(!f.window.isVisible());
        QVERIFY(!f.t.context.connection.IsOpen());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
