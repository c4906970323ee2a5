#include "CommandState.h"
#include "Icons.h"
#include "MainWindow.h"
#include "ProgramContext.h"
#include "ScreenCatalogue.h"
#include "Settings.h"
#include "TestContext.h"

#include <QDesktopServices>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

namespace {

// The settings and login values of a user who has just logged in.
void LogIn(TestContext& t, const QString& mode, const QString& name = u"Chief"_s)
{
    LoadCustomize(t.context);
    LoadPreferences(t.context);
    t.context.login.LoginName = name;
    t.context.login.UserMode = mode;
    t.context.login.EnterpriseShort = u"MyShop"_s;
}

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

// A picture as drawn at side x side pixels on a plain screen, for comparing and for counting ink.
QImage Picture(const QIcon& icon, int side = 24, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(side, side), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// How many pixels of the picture are not fully transparent.
int Inked(const QImage& image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return inked;
}

QString Locked(const MainWindow& window)
{
    return window.ModulePaneEnabled() ? QString() : u" locked"_s;
}

// Records the window's signals in the order they come, with the module pane's state at the time.
struct SignalLog {
    explicit SignalLog(MainWindow& window)
    {
        QObject::connect(&window, &MainWindow::commandChosen, &window,
            [this, &window](int number) { events << u"command %1"_s.arg(number) + Locked(window); });
        QObject::connect(
            &window, &MainWindow::menuEntryChosen, &window, [this, &window](const QString& menu, int entry) {
                events << u"%1 %2"_s.arg(menu).arg(entry) + Locked(window);
            });
        QObject::connect(&window, &MainWindow::quickButtonClicked, &window,
            [this](int index) { events << u"quick %1"_s.arg(index); });
    }
    QStringList events;
};

// Catches what the window hands to the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

// A child window standing in for an open register screen, with its frame and one field.
QLineEdit* OpenScreen(MainWindow& window, const QString& caption)
{
    auto* screen = new QWidget;
    screen->setWindowTitle(caption);
    auto* frame = new QWidget(screen);
    frame->setObjectName(u"frmMain"_s);
    auto* field = new QLineEdit(u"text"_s, frame);
    field->setObjectName(u"txtField(2)"_s);
    QMdiSubWindow* sub = window.mdiArea()->addSubWindow(screen);
    sub->show();
    window.mdiArea()->setActiveSubWindow(sub);
    window.ShowDashboard(false);
    window.ShowLeftPane(true);
    window.ShowScreenCaption(caption);
    return field;
}

// A context with no database, for what the window builds without reading any.
struct BareContext {
    test::ScriptedMessages messages;
    ProgramContext context { messages };
};

// The command state for a key as the program applies it to the window; "Text" is the
// toolbar labels toggle.
void Apply(MainWindow& window, const ProgramContext& context, const QString& key, bool screenEmpty = false)
{
    if (key == u"Text")
        window.RunLabelsToggle();
    else
        window.ApplyCommandState(ComputeCommandState(key, screenEmpty, AdminAllowed(context)));
}

void ShowActive(MainWindow& window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

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

    void layoutFollowsTheUserMode()
    {
        QFETCH(QString, mode);
        QFETCH(bool, backOffice);
        TestContext t;
        LogIn(t, mode, u"cHIEF"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        QCOMPARE(window.PanelText(2), u"Main"_s);
        QCOMPARE(window.PanelText(3), u"User:Chief"_s);
        QCOMPARE(window.PanelText(4), u"MyShop"_s);
        QCOMPARE(Child<QLineEdit>(window, u"txtComp2"_s)->text(), u"MyShop"_s);
        QCOMPARE(window.menuBar()->isVisibleTo(&window), backOffice);
        for (QAction* menu : window.menuBar()->actions())
            QVERIFY2(menu->isVisible() == backOffice, qPrintable(menu->text()));
        QCOMPARE(Child(window, u"tlbMain"_s)->isVisibleTo(&window), backOffice);
        QCOMPARE(Child(window, u"pctDash"_s)->isVisibleTo(&window), backOffice);
        QCOMPARE(Child(window, u"pctTop"_s)->isVisibleTo(&window), !backOffice);
        QCOMPARE(Child(window, u"cmdBill(7)"_s)->isVisibleTo(&window), !backOffice);
        QVERIFY(!Child(window, u"pctLeft"_s)->isVisibleTo(&window));
        // A closing screen brings the dashboard back to the back office only, unless the shop
        // turned it off.
        window.ShowDashboard(false);
        window.ShowDashboard(true);
        QCOMPARE(Child(window, u"pctDash"_s)->isVisibleTo(&window), backOffice);
        t.context.customization.CShowDash = u"N"_s;
        window.ShowDashboard(true);
        QVERIFY(!Child(window, u"pctDash"_s)->isVisibleTo(&window));
        // While the billing screen is open the counter's bar is disabled.
        window.SetQuickButtonsEnabled(false);
        QVERIFY(!Child(window, u"cmdBill(7)"_s)->isEnabled());
    }

    void buttonsAnnounceTheirNumbers()
    {
        TestContext t;
        LogIn(t, u"S"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        SignalLog log(window);
        Apply(window, t.context, u"Edit"_s);
        Child<QAction>(window, u"tlbMain(5)"_s)->trigger();
        auto* billing = Child<QToolButton>(window, u"cmdBill(1)"_s);
        billing->setEnabled(true);
        billing->click();
        QCOMPARE(log.events, (QStringList { u"command 5 locked"_s, u"quick 1"_s }));
    }

    void labelsFollowTheSetting_data()
    {
        QTest::addColumn<QString>("toolShow");
        QTest::addColumn<bool>("captions");
        QTest::newRow("labels shown") << u"Y"_s << true;
        QTest::newRow("labels hidden") << u"N"_s << false;
    }

    void labelsFollowTheSetting()
    {
        QFETCH(QString, toolShow);
        QFETCH(bool, captions);
        TestContext t;
        t.context.connection.Execute(u"Update kaCustomize Set CToolShow = ?"_s, { toolShow });
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        auto* bar = Child<QToolBar>(window, u"tlbMain"_s);
        auto* save = Child<QAction>(window, u"tlbMain(5)"_s);
        auto* toggle = Child<QAction>(window, u"tlbMain(19)"_s);
        QCOMPARE(save->text(), captions ? u"Save"_s : QString());
        QCOMPARE(bar->toolButtonStyle(), captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        QCOMPARE(toggle->toolTip(), captions ? u"Hide Labels"_s : u"Show Labels"_s);
        // The toggle's picture says what it will do: hide shown captions, show hidden ones.
        QCOMPARE(Picture(toggle->icon()), Picture(Icon(captions ? Glyph::HideLabels : Glyph::ShowLabels)));

        // Each toggle switches the captions the other way.
        Apply(window, t.context, u"Text"_s);
        QCOMPARE(save->text(), captions ? QString() : u"Save"_s);
        QCOMPARE(toggle->toolTip(), captions ? u"Show Labels"_s : u"Hide Labels"_s);
        QCOMPARE(Picture(toggle->icon()), Picture(Icon(captions ? Glyph::ShowLabels : Glyph::HideLabels)));
        Apply(window, t.context, u"Text"_s);
        QCOMPARE(save->text(), captions ? u"Save"_s : QString());
    }

    void everyPictureLoads_data()
    {
        QTest::addColumn<int>("glyph");
        for (int glyph = 0; glyph < GlyphCount; ++glyph)
            QTest::newRow(qPrintable(IconPath(Glyph(glyph)))) << glyph;
    }

    // A wrong file name, an SVG that does not parse or a missing SVG icon engine shows as a
    // blank button in the program; here it fails.
    void everyPictureLoads()
    {
        QFETCH(int, glyph);
        const QIcon icon = Icon(Glyph(glyph));
        QVERIFY(!icon.isNull());
        // The sizes the windows ask for: toolbar and dashboard, module picture, counter buttons.
        for (int side : { 24, 32, 36 }) {
            const QImage picture = Picture(icon, side);
            QCOMPARE(picture.size(), QSize(side, side));
            // Even the lightest picture (a lone arrow) covers a tenth of its square.
            QVERIFY2(Inked(picture) * 10 > side * side, qPrintable(u"%1 px"_s.arg(side)));
        }
        QVERIFY(Inked(Picture(icon, 24, QIcon::Disabled)) * 10 > 24 * 24);
    }

    // Two buttons with the same picture, or a picture swapped for another, would still load; the
    // pictures a user sees side by side must all differ.
    void picturesTellTheButtonsApart()
    {
        TestContext t;
        LogIn(t, u"S"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        QList<QPair<QString, QImage>> pictures;
        for (int index = 1; index <= 19; ++index) {
            const QString name = u"tlbMain(%1)"_s.arg(index);
            if (auto* button = window.findChild<QAction*>(name))
                pictures.append({ name, Picture(button->icon()) });
        }
        QCOMPARE(pictures.size(), 14);
        for (int index = 1; index <= 7; ++index) {
            const QString name = u"cmdBill(%1)"_s.arg(index);
            pictures.append({ name, Picture(Child<QToolButton>(window, name)->icon()) });
        }
        for (int module = 0; module < 9; ++module)
            pictures.append({ u"lblMod(%1)"_s.arg(module), Picture(Icon(ModuleGlyph(module))) });
        for (qsizetype i = 0; i < pictures.size(); ++i) {
            QVERIFY2(Inked(pictures[i].second) > 0, qPrintable(pictures[i].first));
            for (qsizetype j = i + 1; j < pictures.size(); ++j)
                QVERIFY2(pictures[i].second != pictures[j].second,
                    qPrintable(pictures[i].first + u" and "_s + pictures[j].first));
        }
    }

    void commandStateReachesTheWidgets()
    {
        TestContext t;
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        QLineEdit* field = OpenScreen(window, u"Coupon"_s);
        QWidget* frame = field->parentWidget();
        QAction* menuSave = window.MenuAction(u"Operation"_s, 5);
        QAction* buttonSave = Child<QAction>(window, u"tlbMain(5)"_s);
        QAction* buttonAdd = Child<QAction>(window, u"tlbMain(1)"_s);

        Apply(window, t.context, u"Tran"_s);
        QCOMPARE(buttonSave->isEnabled(), false);
        QCOMPARE(menuSave->isEnabled(), false);
        QCOMPARE(buttonAdd->isEnabled(), true);
        QCOMPARE(window.MenuEnabled(u"Transaction"_s), false);
        QCOMPARE(window.MenuEnabled(u"Operation"_s), true);
        QCOMPARE(window.ModulePaneEnabled(), true);
        QCOMPARE(frame->isEnabled(), false);

        Apply(window, t.context, u"Edit"_s);
        QCOMPARE(buttonSave->isEnabled(), true);
        QCOMPARE(menuSave->isEnabled(), true);
        QCOMPARE(window.ModulePaneEnabled(), false);
        QCOMPARE(frame->isEnabled(), true);

        // Closing while editing: the idle state leaves the pane locked and the frame as it was.
        Apply(window, t.context, u"Help"_s);
        QCOMPARE(window.MenuEnabled(u"Transaction"_s), true);
        QCOMPARE(window.MenuEnabled(u"Operation"_s), false);
        QCOMPARE(window.ModulePaneEnabled(), false);
        QCOMPARE(frame->isEnabled(), true);
        // Exit stays available whatever the state.
        QCOMPARE(Child<QAction>(window, u"tlbMain(17)"_s)->isEnabled(), true);

        // An empty table leaves only Add.
        Apply(window, t.context, u"Tran"_s, true);
        QCOMPARE(buttonAdd->isEnabled(), true);
        QCOMPARE(window.MenuAction(u"Operation"_s, 2)->isEnabled(), false);
    }

    void adminMenuRule_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("adminDisp");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("chief in any case") << u"cHiEF"_s << u"N"_s << u"Help"_s << true;
        QTest::newRow("other user") << u"Anna"_s << u"N"_s << u"Help"_s << false;
        QTest::newRow("chief-like name") << u"Chief2"_s << u"N"_s << u"Help"_s << false;
        QTest::newRow("other user, admin for all") << u"Anna"_s << u"Y"_s << u"Help"_s << true;
        QTest::newRow("setting other than Y") << u"Anna"_s << u"y"_s << u"Help"_s << false;
        QTest::newRow("chief browsing") << u"Chief"_s << u"Y"_s << u"Tran"_s << false;
    }

    void adminMenuRule()
    {
        QFETCH(QString, login);
        QFETCH(QString, adminDisp);
        QFETCH(QString, key);
        QFETCH(bool, enabled);
        TestContext t;
        LogIn(t, u"B"_s, login);
        t.context.customization.CAdminDisp = adminDisp;
        MainWindow window(t.context);
        window.SetupMainWindow();
        Apply(window, t.context, key);
        QCOMPARE(window.MenuEnabled(u"Admin"_s), enabled);
    }

    void operationShortcuts()
    {
        TestContext t;
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        ShowActive(window);
        QLineEdit* field = OpenScreen(window, u"Coupon"_s);
        QSignalSpy chosen(&window, &MainWindow::commandChosen);

        Apply(window, t.context, u"Edit"_s);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
        // Cancel wins over the field's own copy.
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        // Next is disabled while editing.
        QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen[0][0].toInt(), 5);
        QCOMPARE(chosen[1][0].toInt(), 7);

        chosen.clear();
        Apply(window, t.context, u"Tran"_s);
        QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toInt(), 11);

        // With no screen open the Operation menu answers nothing.
        chosen.clear();
        Apply(window, t.context, u"Help"_s);
        QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 0);
    }

    void refreshDashboard()
    {
        TestContext t;
        LogIn(t, u"B"_s);
        t.context.connection.Execute(
            u"Insert Into ktProduct (EId, EDate, PCode, PName) Values (?, ?, ?, ?)"_s,
            { 7, QDate(2026, 1, 2), u"OLD"_s, u"Older product"_s });
        t.context.connection.Execute(
            u"Insert Into ktProduct (EId, EDate, PCode, PName) Values (?, ?, ?, ?)"_s,
            { 12, QDate(2026, 3, 5), u"TEA'1"_s, u"Tea \"Gold\" 1kg"_s });
        MainWindow window(t.context);
        // The set-up fills every frame: the newest product, and nothing from the empty tables.
        window.SetupMainWindow();
        QStringList product;
        for (int row = 0; row < 4; ++row)
            product << LabelText(window, u"lblDash(0,%1)"_s.arg(row));
        QCOMPARE(product, (QStringList { u"12"_s, u"2026-03-05"_s, u"TEA'1"_s, u"Tea \"Gold\" 1kg"_s }));
        for (int frame = 1; frame < 6; ++frame)
            QCOMPARE(LabelText(window, u"lblDash(%1,0)"_s.arg(frame)), u"-"_s);

        // A newer row shows after a refresh; a table emptied since keeps what it showed.
        t.context.connection.Execute(u"Insert Into ktCoupon (EId, EDate, CReference) Values (?, ?, ?)"_s,
            { 3, QDate(2026, 2, 1), u"SPRING"_s });
        window.RefreshDashboard(1);
        QCOMPARE(LabelText(window, u"lblDash(1,2)"_s), u"SPRING"_s);
        t.context.connection.Execute(u"Delete From ktCoupon"_s);
        window.RefreshDashboard(1);
        QCOMPARE(LabelText(window, u"lblDash(1,2)"_s), u"SPRING"_s);
        QCOMPARE(t.messages.shown, QStringList());
    }

    void refreshDashboardReportsAFailure()
    {
        TestContext t;
        MainWindow window(t.context);
        t.context.locations.ExportTables[2] = u"Missing"_s;
        window.RefreshDashboard(2);
        QCOMPARE(t.messages.shown, QStringList { u"ErroR!"_s });
        QCOMPARE(t.ErrorLogLines().size(), 1);
        QCOMPARE(LabelText(window, u"lblDash(2,0)"_s), u"-"_s);
        // Panels outside the six are ignored.
        window.RefreshDashboard(6);
        window.RefreshDashboard(-1);
        QCOMPARE(t.messages.shown.size(), 1);
    }

    void moduleClick_data()
    {
        QTest::addColumn<QString>("openCaption");
        QTest::addColumn<int>("module");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("table");
        QTest::newRow("same module") << u"Product"_s << 0 << QStringList() << QString();
        QTest::newRow("same module, long name") << u"Accounting"_s << 8 << QStringList() << QString();
        QTest::newRow("another module")
            << u"Product"_s << 2 << QStringList { u"command 17 locked"_s, u"Transaction 3 locked"_s }
            << u"ktCustomer"_s;
        QTest::newRow("module still to come") << u"Product"_s << 4 << QStringList() << QString();
    }

    void moduleClick()
    {
        QFETCH(QString, openCaption);
        QFETCH(int, module);
        QFETCH(QStringList, events);
        QFETCH(QString, table);
        TestContext t;
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        ShowActive(window);
        OpenScreen(window, openCaption);
        SignalLog log(window);
        QString tableAtEntry;
        connect(&window, &MainWindow::menuEntryChosen, this, [&](const QString& menu, int entry) {
            if (const ScreenEntry* screen = ScreenForMenuEntry(menu, entry))
                tableAtEntry = screen->table;
        });

        QTest::mouseClick(Child(window, u"lblMod(%1)"_s.arg(module)), Qt::LeftButton);
        QCOMPARE(log.events, events);
        QCOMPARE(tableAtEntry, table);
        QCOMPARE(window.ModulePaneEnabled(), true);
    }

    void moduleHover()
    {
        TestContext t;
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        const QColor back = WindowsColour(t.context.customization.CBackColor);
        auto* label = Child(window, u"lblMod(1)"_s);
        auto* pane = Child(window, u"pctLeft"_s);
        QCOMPARE(label->palette().color(QPalette::Window), back);

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(label, &enter);
        QCOMPARE(label->palette().color(QPalette::Window),
            QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pane, &move);
        QCOMPARE(label->palette().color(QPalette::Window), back);

        QApplication::sendEvent(label, &enter);
        window.ResetModuleColours();
        QCOMPARE(label->palette().color(QPalette::Window), back);
    }

    void findBox_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("finds");
        QTest::newRow("click on the idle text empties it") << u"Find Id"_s << u"click"_s << QString() << 0;
        QTest::newRow("click keeps a typed id") << u"12"_s << u"click"_s << u"12"_s << 0;
        QTest::newRow("enter finds") << u"12"_s << u"enter"_s << u"12"_s << 1;
        QTest::newRow("escape finds") << u"12"_s << u"escape"_s << u"12"_s << 1;
        QTest::newRow("button finds") << u"x'1"_s << u"button"_s << u"x'1"_s << 1;
    }

    void findBox()
    {
        QFETCH(QString, before);
        QFETCH(QString, action);
        QFETCH(QString, after);
        QFETCH(int, finds);
        TestContext t;
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        ShowActive(window);
        OpenScreen(window, u"Product"_s);
        window.SetFindBoxText(before);
        auto* box = Child<QLineEdit>(window, u"txtFind"_s);
        box->setFocus();
        box->end(false);
        QSignalSpy chosen(&window, &MainWindow::commandChosen);
        if (action == u"click")
            QTest::mouseClick(box, Qt::LeftButton);
        else if (action == u"enter")
            QTest::keyClick(box, Qt::Key_Return);
        else if (action == u"escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            QTest::mouseClick(Child(window, u"cmdFind"_s), Qt::LeftButton);
        QCOMPARE(window.FindBoxText(), after);
        QCOMPARE(chosen.size(), finds);
        if (finds)
            QCOMPARE(chosen[0][0].toInt(), 99);
    }

    void pendingButtonsFollowTheirEntries()
    {
        BareContext t;
        MainWindow window(t.context);
        QCOMPARE(Child(window, u"lblMod(4)"_s)->isEnabled(), false);
        QCOMPARE(Child(window, u"cmdDash(4)"_s)->isEnabled(), false);
        // When the bill screen joins, its module label and dashboard button come with it.
        window.SetMenuEntryEnabled(u"Transaction"_s, 6, true);
        QCOMPARE(Child(window, u"lblMod(4)"_s)->isEnabled(), true);
        QCOMPARE(Child(window, u"cmdDash(4)"_s)->isEnabled(), true);
    }

    void entriesSetTheirContext()
    {
        TestContext t;
        LogIn(t, u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        SignalLog log(window);
        QStringList tables;
        connect(&window, &MainWindow::menuEntryChosen, this, [&](const QString& menu, int entry) {
            if (const ScreenEntry* screen = ScreenForMenuEntry(menu, entry))
                tables << screen->screenKey + u' ' + screen->table;
        });
        Child<QPushButton>(window, u"cmdDash(3)"_s)->click();
        window.MenuAction(u"Master"_s, 2)->trigger();
        Apply(window, t.context, u"Mast"_s);
        window.MenuAction(u"Operation"_s, 12)->trigger();
        QCOMPARE(log.events, (QStringList { u"Transaction 4"_s, u"Master 2"_s, u"command 12"_s }));
        QCOMPARE(tables, (QStringList { u"Tran ktSupplier"_s, u"Mast kmPaytype"_s }));
    }

    void helpContent()
    {
        TestContext t;
        MainWindow window(t.context);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(u"file"_s, &catcher, "open");
        SignalLog log(window);

        // No guide installed: reported, nothing opened.
        window.MenuAction(u"Help"_s, 1)->trigger();
        QCOMPARE(t.messages.shown, QStringList { u"ErroR!"_s });
        QCOMPARE(catcher.urls.size(), 0);

        QDir().mkpath(QFileInfo(t.context.locations.HelpFile).path());
        QFile guide(t.context.locations.HelpFile);
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.close();
        window.MenuAction(u"Help"_s, 1)->trigger();
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QCOMPARE(catcher.urls, QList<QUrl> { QUrl::fromLocalFile(t.context.locations.HelpFile) });
        QCOMPARE(log.events, QStringList());
    }

    void quitEndsTheRun_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Transaction Quit") << u"menu"_s;
        QTest::newRow("QUIT button") << u"counter"_s;
        QTest::newRow("window closed") << u"close"_s;
    }

    void quitEndsTheRun()
    {
        QFETCH(QString, how);
        TestContext t;
        LogIn(t, how == u"counter" ? u"S"_s : u"B"_s);
        MainWindow window(t.context);
        window.SetupMainWindow();
        window.show();
        if (how == u"counter")
            Child<QToolButton>(window, u"cmdBill(7)"_s)->click();
        else if (how == u"menu")
            window.MenuAction(u"Transaction"_s, 17)->trigger();
        else
            window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!t.context.connection.IsOpen());
    }

    void keptMaximized()
    {
        BareContext t;
        MainWindow window(t.context);
        window.showMaximized();
        window.showNormal();
        QCoreApplication::processEvents();
        QVERIFY(window.isMaximized());
        // Minimized stays minimized.
        window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(window.isMinimized());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
