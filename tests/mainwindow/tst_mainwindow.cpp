#include "CommandState.h"
#include "Icons.h"
#include "MainWindow.h"
#include "ScreenCatalogue.h"
#include "Settings.h"
#include "TestContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
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

// The main window of a user who has just logged in, set up as the program sets it up; shown
// and active when a test sends it keys or clicks.
struct Fixture {
    explicit Fixture(const QString& mode = u"B"_s, const QString& name = u"Chief"_s, bool active = false)
    {
        LoadCustomize(t.context);
        LoadPreferences(t.context);
        t.context.login.LoginName = name;
        t.context.login.UserMode = mode;
        t.context.login.EnterpriseShort = u"MyShop"_s;
        // The window's signals in the order they come, with the module pane's state at the time.
        const auto locked = [this] { return window.ModulePaneEnabled() ? QString() : u" locked"_s; };
        QObject::connect(&window, &MainWindow::commandChosen, &window,
            [this, locked](int number) { events << u"command %1"_s.arg(number) + locked(); });
        QObject::connect(
            &window, &MainWindow::menuEntryChosen, &window, [this, locked](const QString& menu, int entry) {
                events << u"%1 %2"_s.arg(menu).arg(entry) + locked();
                if (const ScreenEntry* screen = ScreenForMenuEntry(menu, entry))
                    events << screen->screenKey + u' ' + screen->table;
            });
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

    TestContext t;
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

    // The state reaches the buttons, menus, frame and pane, and the Operation menu's keys
    // follow it: Cancel wins over a field's own Ctrl+C; Save and Next only where offered.
    void commandStateReachesTheWidgets()
    {
        Fixture f(u"B"_s, u"Chief"_s, true);
        QLineEdit* field = f.OpenScreen(u"Coupon"_s);
        QWidget* frame = field->parentWidget();
        QAction* menuSave = f.window.MenuAction(u"Operation"_s, 5);
        QAction* buttonSave = Child<QAction>(f.window, u"tlbMain(5)"_s);

        f.Apply(u"Tran"_s);
        QVERIFY(!buttonSave->isEnabled() && !menuSave->isEnabled());
        QVERIFY(!f.window.MenuEnabled(u"Transaction"_s) && f.window.MenuEnabled(u"Operation"_s));
        QVERIFY(f.window.ModulePaneEnabled() && !frame->isEnabled());
        QTest::keyClick(&f.window, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&f.window, Qt::Key_S, Qt::ControlModifier);

        f.Apply(u"Edit"_s);
        QVERIFY(buttonSave->isEnabled() && menuSave->isEnabled());
        QVERIFY(!f.window.ModulePaneEnabled() && frame->isEnabled());
        field->setFocus();
        for (Qt::Key key : { Qt::Key_S, Qt::Key_C, Qt::Key_N })
            QTest::keyClick(field, key, Qt::ControlModifier);
        QCOMPARE(f.events, (QStringList { u"command 11"_s, u"command 5 locked"_s, u"command 7 locked"_s }));

        // Closing while editing: the idle state leaves the pane locked and the frame as it was.
        f.Apply(u"Help"_s);
        QVERIFY(f.window.MenuEnabled(u"Transaction"_s) && !f.window.MenuEnabled(u"Operation"_s));
        QVERIFY(!f.window.ModulePaneEnabled() && frame->isEnabled());
        // Exit stays available whatever the state.
        QVERIFY(Child<QAction>(f.window, u"tlbMain(17)"_s)->isEnabled());
    }

    void refreshDashboard()
    {
        Fixture f;
        f.t.context.connection.Execute(
            u"Insert Into ktProduct (EId, EDate, PCode, PName) Values (?, ?, ?, ?)"_s,
            { 12, QDate(2026, 3, 5), u"TEA'1"_s, u"Tea \"Gold\" 1kg"_s });
        f.window.RefreshDashboard(0);
        QCOMPARE(Child<QLabel>(f.window, u"lblDash(0,2)"_s)->text(), u"TEA'1"_s);
        QCOMPARE(f.t.messages.shown, QStringList());

        // A table that cannot be read is reported and leaves its frame as it was.
        f.t.context.locations.ExportTables[2] = u"Missing"_s;
        f.window.RefreshDashboard(2);
        QCOMPARE(f.t.messages.shown, QStringList { u"ErroR!"_s });
        QCOMPARE(f.t.ErrorLogLines().size(), 1);
        QCOMPARE(Child<QLabel>(f.window, u"lblDash(2,0)"_s)->text(), u"-"_s);
    }

    // A module picture closes the open screen and opens the module's register; its own
    // module's picture does nothing.
    void moduleClick()
    {
        Fixture f(u"B"_s, u"Chief"_s, true);
        f.OpenScreen(u"Product"_s);
        QTest::mouseClick(Child(f.window, u"lblMod(0)"_s), Qt::LeftButton);
        QCOMPARE(f.events, QStringList());
        QTest::mouseClick(Child(f.window, u"lblMod(2)"_s), Qt::LeftButton);
        QCOMPARE(f.events,
            (QStringList { u"command 17 locked"_s, u"Transaction 3 locked"_s, u"Tran ktCustomer"_s }));
        QVERIFY(f.window.ModulePaneEnabled());
    }

    // A click on the idle text empties the find box; Enter and the button find what is typed.
    void findBox()
    {
        Fixture f(u"B"_s, u"Chief"_s, true);
        f.OpenScreen(u"Product"_s);
        f.window.SetFindBoxText(u"Find Id"_s);
        auto* box = Child<QLineEdit>(f.window, u"txtFind"_s);
        box->setFocus();
        box->end(false);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(f.window.FindBoxText(), QString());
        QTest::keyClicks(box, u"x'1"_s);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::mouseClick(Child(f.window, u"cmdFind"_s), Qt::LeftButton);
        QCOMPARE(f.window.FindBoxText(), u"x'1"_s);
        QCOMPARE(f.events, (QStringList { u"command 99"_s, u"command 99"_s }));
    }

    void entriesSetTheirContext()
    {
        Fixture f;
        Child<QPushButton>(f.window, u"cmdDash(3)"_s)->click();
        f.window.MenuAction(u"Master"_s, 2)->trigger();
        f.Apply(u"Mast"_s);
        f.window.MenuAction(u"Operation"_s, 12)->trigger();
        QCOMPARE(f.events,
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
