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

namespace {

// The settings and login values of a user who has just logged in.
void LogIn(TestContext& t, const QString& mode, const QString& name = QStringLiteral("Chief"))
{
    LoadCustomize(t.context);
    LoadPreferences(t.context);
    t.context.login.LoginName = name;
    t.context.login.UserMode = mode;
    t.context.login.EnterpriseShort = QStringLiteral("MyShop");
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
    return window.ModulePaneEnabled() ? QString() : QStringLiteral(" locked");
}

// Records the window's signals in the order they come, with the module pane's state at the time.
struct SignalLog {
    explicit SignalLog(MainWindow& window)
    {
        QObject::connect(&window, &MainWindow::commandChosen, &window, [this, &window](int number) {
            events << QStringLiteral("command %1").arg(number) + Locked(window);
        });
        QObject::connect(
            &window, &MainWindow::menuEntryChosen, &window, [this, &window](const QString& menu, int entry) {
                events << QStringLiteral("%1 %2").arg(menu).arg(entry) + Locked(window);
            });
        QObject::connect(&window, &MainWindow::quickButtonClicked, &window,
            [this](int index) { events << QStringLiteral("quick %1").arg(index); });
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
    frame->setObjectName(QStringLiteral("frmMain"));
    auto* field = new QLineEdit(QStringLiteral("text"), frame);
    field->setObjectName(QStringLiteral("txtField(2)"));
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
        QTest::newRow("back office") << QStringLiteral("B") << true;
        QTest::newRow("counter") << QStringLiteral("S") << false;
    }

    void layoutFollowsTheUserMode()
    {
        QFETCH(QString, mode);
        QFETCH(bool, backOffice);
        TestContext t;
        LogIn(t, mode, QStringLiteral("cHIEF"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        QCOMPARE(window.PanelText(2), QStringLiteral("Main"));
        QCOMPARE(window.PanelText(3), QStringLiteral("User:Chief"));
        QCOMPARE(window.PanelText(4), QStringLiteral("MyShop"));
        QCOMPARE(Child<QLineEdit>(window, QStringLiteral("txtComp2"))->text(), QStringLiteral("MyShop"));
        QCOMPARE(window.menuBar()->isVisibleTo(&window), backOffice);
        for (QAction* menu : window.menuBar()->actions())
            QVERIFY2(menu->isVisible() == backOffice, qPrintable(menu->text()));
        QCOMPARE(Child(window, QStringLiteral("tlbMain"))->isVisibleTo(&window), backOffice);
        QCOMPARE(Child(window, QStringLiteral("pctDash"))->isVisibleTo(&window), backOffice);
        QCOMPARE(Child(window, QStringLiteral("pctTop"))->isVisibleTo(&window), !backOffice);
        QCOMPARE(Child(window, QStringLiteral("cmdBill(7)"))->isVisibleTo(&window), !backOffice);
        QVERIFY(!Child(window, QStringLiteral("pctLeft"))->isVisibleTo(&window));
        // A closing screen brings the dashboard back to the back office only, unless the shop
        // turned it off.
        window.ShowDashboard(false);
        window.ShowDashboard(true);
        QCOMPARE(Child(window, QStringLiteral("pctDash"))->isVisibleTo(&window), backOffice);
        t.context.customization.CShowDash = QStringLiteral("N");
        window.ShowDashboard(true);
        QVERIFY(!Child(window, QStringLiteral("pctDash"))->isVisibleTo(&window));
        // While the billing screen is open the counter's bar is disabled.
        window.SetQuickButtonsEnabled(false);
        QVERIFY(!Child(window, QStringLiteral("cmdBill(7)"))->isEnabled());
    }

    void buttonsAnnounceTheirNumbers()
    {
        TestContext t;
        LogIn(t, QStringLiteral("S"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        SignalLog log(window);
        Apply(window, t.context, QStringLiteral("Edit"));
        Child<QAction>(window, QStringLiteral("tlbMain(5)"))->trigger();
        auto* billing = Child<QToolButton>(window, QStringLiteral("cmdBill(1)"));
        billing->setEnabled(true);
        billing->click();
        QCOMPARE(log.events, (QStringList { QStringLiteral("command 5 locked"), QStringLiteral("quick 1") }));
    }

    void labelsFollowTheSetting_data()
    {
        QTest::addColumn<QString>("toolShow");
        QTest::addColumn<bool>("captions");
        QTest::newRow("labels shown") << QStringLiteral("Y") << true;
        QTest::newRow("labels hidden") << QStringLiteral("N") << false;
    }

    void labelsFollowTheSetting()
    {
        QFETCH(QString, toolShow);
        QFETCH(bool, captions);
        TestContext t;
        t.context.connection.Execute(QStringLiteral("Update kaCustomize Set CToolShow = ?"), { toolShow });
        LogIn(t, QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        auto* bar = Child<QToolBar>(window, QStringLiteral("tlbMain"));
        auto* save = Child<QAction>(window, QStringLiteral("tlbMain(5)"));
        auto* toggle = Child<QAction>(window, QStringLiteral("tlbMain(19)"));
        QCOMPARE(save->text(), captions ? QStringLiteral("Save") : QString());
        QCOMPARE(bar->toolButtonStyle(), captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        QCOMPARE(toggle->toolTip(), captions ? QStringLiteral("Hide Labels") : QStringLiteral("Show Labels"));
        // The toggle's picture says what it will do: hide shown captions, show hidden ones.
        QCOMPARE(Picture(toggle->icon()), Picture(Icon(captions ? Glyph::HideLabels : Glyph::ShowLabels)));

        // Each toggle switches the captions the other way.
        Apply(window, t.context, QStringLiteral("Text"));
        QCOMPARE(save->text(), captions ? QString() : QStringLiteral("Save"));
        QCOMPARE(toggle->toolTip(), captions ? QStringLiteral("Show Labels") : QStringLiteral("Hide Labels"));
        QCOMPARE(Picture(toggle->icon()), Picture(Icon(captions ? Glyph::ShowLabels : Glyph::HideLabels)));
        Apply(window, t.context, QStringLiteral("Text"));
        QCOMPARE(save->text(), captions ? QStringLiteral("Save") : QString());
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
            QVERIFY2(Inked(picture) * 10 > side * side, qPrintable(QStringLiteral("%1 px").arg(side)));
        }
        QVERIFY(Inked(Picture(icon, 24, QIcon::Disabled)) * 10 > 24 * 24);
    }

    // Two buttons with the same picture, or a picture swapped for another, would still load; the
    // pictures a user sees side by side must all differ.
    void picturesTellTheButtonsApart()
    {
        TestContext t;
        LogIn(t, QStringLiteral("S"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        QList<QPair<QString, QImage>> pictures;
        for (int index = 1; index <= 19; ++index) {
            const QString name = QStringLiteral("tlbMain(%1)").arg(index);
            if (auto* button = window.findChild<QAction*>(name))
                pictures.append({ name, Picture(button->icon()) });
        }
        QCOMPARE(pictures.size(), 14);
        for (int index = 1; index <= 7; ++index) {
            const QString name = QStringLiteral("cmdBill(%1)").arg(index);
            pictures.append({ name, Picture(Child<QToolButton>(window, name)->icon()) });
        }
        for (int module = 0; module < 9; ++module)
            pictures.append({ QStringLiteral("lblMod(%1)").arg(module), Picture(Icon(ModuleGlyph(module))) });
        for (qsizetype i = 0; i < pictures.size(); ++i) {
            QVERIFY2(Inked(pictures[i].second) > 0, qPrintable(pictures[i].first));
            for (qsizetype j = i + 1; j < pictures.size(); ++j)
                QVERIFY2(pictures[i].second != pictures[j].second,
                    qPrintable(pictures[i].first + QStringLiteral(" and ") + pictures[j].first));
        }
    }

    void commandStateReachesTheWidgets()
    {
        TestContext t;
        LogIn(t, QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        QLineEdit* field = OpenScreen(window, QStringLiteral("Coupon"));
        QWidget* frame = field->parentWidget();
        QAction* menuSave = window.MenuAction(QStringLiteral("Operation"), 5);
        QAction* buttonSave = Child<QAction>(window, QStringLiteral("tlbMain(5)"));
        QAction* buttonAdd = Child<QAction>(window, QStringLiteral("tlbMain(1)"));

        Apply(window, t.context, QStringLiteral("Tran"));
        QCOMPARE(buttonSave->isEnabled(), false);
        QCOMPARE(menuSave->isEnabled(), false);
        QCOMPARE(buttonAdd->isEnabled(), true);
        QCOMPARE(window.MenuEnabled(QStringLiteral("Transaction")), false);
        QCOMPARE(window.MenuEnabled(QStringLiteral("Operation")), true);
        QCOMPARE(window.ModulePaneEnabled(), true);
        QCOMPARE(frame->isEnabled(), false);

        Apply(window, t.context, QStringLiteral("Edit"));
        QCOMPARE(buttonSave->isEnabled(), true);
        QCOMPARE(menuSave->isEnabled(), true);
        QCOMPARE(window.ModulePaneEnabled(), false);
        QCOMPARE(frame->isEnabled(), true);

        // Closing while editing: the idle state leaves the pane locked and the frame as it was.
        Apply(window, t.context, QStringLiteral("Help"));
        QCOMPARE(window.MenuEnabled(QStringLiteral("Transaction")), true);
        QCOMPARE(window.MenuEnabled(QStringLiteral("Operation")), false);
        QCOMPARE(window.ModulePaneEnabled(), false);
        QCOMPARE(frame->isEnabled(), true);
        // Exit stays available whatever the state.
        QCOMPARE(Child<QAction>(window, QStringLiteral("tlbMain(17)"))->isEnabled(), true);

        // An empty table leaves only Add.
        Apply(window, t.context, QStringLiteral("Tran"), true);
        QCOMPARE(buttonAdd->isEnabled(), true);
        QCOMPARE(window.MenuAction(QStringLiteral("Operation"), 2)->isEnabled(), false);
    }

    void adminMenuRule_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("adminDisp");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("chief in any case")
            << QStringLiteral("cHiEF") << QStringLiteral("N") << QStringLiteral("Help") << true;
        QTest::newRow("other user") << QStringLiteral("Anna") << QStringLiteral("N") << QStringLiteral("Help")
                                    << false;
        QTest::newRow("chief-like name")
            << QStringLiteral("Chief2") << QStringLiteral("N") << QStringLiteral("Help") << false;
        QTest::newRow("other user, admin for all")
            << QStringLiteral("Anna") << QStringLiteral("Y") << QStringLiteral("Help") << true;
        QTest::newRow("setting other than Y")
            << QStringLiteral("Anna") << QStringLiteral("y") << QStringLiteral("Help") << false;
        QTest::newRow("chief browsing")
            << QStringLiteral("Chief") << QStringLiteral("Y") << QStringLiteral("Tran") << false;
    }

    void adminMenuRule()
    {
        QFETCH(QString, login);
        QFETCH(QString, adminDisp);
        QFETCH(QString, key);
        QFETCH(bool, enabled);
        TestContext t;
        LogIn(t, QStringLiteral("B"), login);
        t.context.customization.CAdminDisp = adminDisp;
        MainWindow window(t.context);
        window.SetupMainWindow();
        Apply(window, t.context, key);
        QCOMPARE(window.MenuEnabled(QStringLiteral("Admin")), enabled);
    }

    void operationShortcuts()
    {
        TestContext t;
        LogIn(t, QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        ShowActive(window);
        QLineEdit* field = OpenScreen(window, QStringLiteral("Coupon"));
        QSignalSpy chosen(&window, &MainWindow::commandChosen);

        Apply(window, t.context, QStringLiteral("Edit"));
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
        Apply(window, t.context, QStringLiteral("Tran"));
        QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toInt(), 11);

        // With no screen open the Operation menu answers nothing.
        chosen.clear();
        Apply(window, t.context, QStringLiteral("Help"));
        QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(chosen.size(), 0);
    }

    void refreshDashboard()
    {
        TestContext t;
        LogIn(t, QStringLiteral("B"));
        t.context.connection.Execute(
            QStringLiteral("Insert Into ktProduct (EId, EDate, PCode, PName) Values (?, ?, ?, ?)"),
            { 7, QDate(2026, 1, 2), QStringLiteral("OLD"), QStringLiteral("Older product") });
        t.context.connection.Execute(
            QStringLiteral("Insert Into ktProduct (EId, EDate, PCode, PName) Values (?, ?, ?, ?)"),
            { 12, QDate(2026, 3, 5), QStringLiteral("TEA'1"), QStringLiteral("Tea \"Gold\" 1kg") });
        MainWindow window(t.context);
        // The set-up fills every frame: the newest product, and nothing from the empty tables.
        window.SetupMainWindow();
        QStringList product;
        for (int row = 0; row < 4; ++row)
            product << LabelText(window, QStringLiteral("lblDash(0,%1)").arg(row));
        QCOMPARE(product,
            (QStringList { QStringLiteral("12"), QStringLiteral("2026-03-05"), QStringLiteral("TEA'1"),
                QStringLiteral("Tea \"Gold\" 1kg") }));
        for (int frame = 1; frame < 6; ++frame)
            QCOMPARE(LabelText(window, QStringLiteral("lblDash(%1,0)").arg(frame)), QStringLiteral("-"));

        // A newer row shows after a refresh; a table emptied since keeps what it showed.
        t.context.connection.Execute(
            QStringLiteral("Insert Into ktCoupon (EId, EDate, CReference) Values (?, ?, ?)"),
            { 3, QDate(2026, 2, 1), QStringLiteral("SPRING") });
        window.RefreshDashboard(1);
        QCOMPARE(LabelText(window, QStringLiteral("lblDash(1,2)")), QStringLiteral("SPRING"));
        t.context.connection.Execute(QStringLiteral("Delete From ktCoupon"));
        window.RefreshDashboard(1);
        QCOMPARE(LabelText(window, QStringLiteral("lblDash(1,2)")), QStringLiteral("SPRING"));
        QCOMPARE(t.messages.shown, QStringList());
    }

    void refreshDashboardReportsAFailure()
    {
        TestContext t;
        MainWindow window(t.context);
        t.context.locations.ExportTables[2] = QStringLiteral("Missing");
        window.RefreshDashboard(2);
        QCOMPARE(t.messages.shown, QStringList { QStringLiteral("ErroR!") });
        QCOMPARE(t.ErrorLogLines().size(), 1);
        QCOMPARE(LabelText(window, QStringLiteral("lblDash(2,0)")), QStringLiteral("-"));
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
        QTest::newRow("same module") << QStringLiteral("Product") << 0 << QStringList() << QString();
        QTest::newRow("same module, long name")
            << QStringLiteral("Accounting") << 8 << QStringList() << QString();
        QTest::newRow("another module")
            << QStringLiteral("Product") << 2
            << QStringList { QStringLiteral("command 17 locked"), QStringLiteral("Transaction 3 locked") }
            << QStringLiteral("ktCustomer");
        QTest::newRow("from a master screen")
            << QStringLiteral("Group") << 8
            << QStringList { QStringLiteral("command 17 locked"), QStringLiteral("Transaction 12 locked") }
            << QStringLiteral("ktAccounting");
        QTest::newRow("module still to come") << QStringLiteral("Product") << 4 << QStringList() << QString();
    }

    void moduleClick()
    {
        QFETCH(QString, openCaption);
        QFETCH(int, module);
        QFETCH(QStringList, events);
        QFETCH(QString, table);
        TestContext t;
        LogIn(t, QStringLiteral("B"));
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

        QTest::mouseClick(Child(window, QStringLiteral("lblMod(%1)").arg(module)), Qt::LeftButton);
        QCOMPARE(log.events, events);
        QCOMPARE(tableAtEntry, table);
        QCOMPARE(window.ModulePaneEnabled(), true);
    }

    void moduleHover()
    {
        TestContext t;
        LogIn(t, QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        const QColor back = WindowsColour(t.context.customization.CBackColor);
        auto* label = Child(window, QStringLiteral("lblMod(1)"));
        auto* pane = Child(window, QStringLiteral("pctLeft"));
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
        QTest::newRow("click on the idle text empties it")
            << QStringLiteral("Find Id") << QStringLiteral("click") << QString() << 0;
        QTest::newRow("click keeps a typed id")
            << QStringLiteral("12") << QStringLiteral("click") << QStringLiteral("12") << 0;
        QTest::newRow("enter finds") << QStringLiteral("12") << QStringLiteral("enter")
                                     << QStringLiteral("12") << 1;
        QTest::newRow("escape finds")
            << QStringLiteral("12") << QStringLiteral("escape") << QStringLiteral("12") << 1;
        QTest::newRow("button finds")
            << QStringLiteral("x'1") << QStringLiteral("button") << QStringLiteral("x'1") << 1;
        QTest::newRow("typing does not")
            << QStringLiteral("1") << QStringLiteral("type") << QStringLiteral("12") << 0;
    }

    void findBox()
    {
        QFETCH(QString, before);
        QFETCH(QString, action);
        QFETCH(QString, after);
        QFETCH(int, finds);
        TestContext t;
        LogIn(t, QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        ShowActive(window);
        OpenScreen(window, QStringLiteral("Product"));
        window.SetFindBoxText(before);
        auto* box = Child<QLineEdit>(window, QStringLiteral("txtFind"));
        box->setFocus();
        box->end(false);
        QSignalSpy chosen(&window, &MainWindow::commandChosen);
        if (action == u"click")
            QTest::mouseClick(box, Qt::LeftButton);
        else if (action == u"enter")
            QTest::keyClick(box, Qt::Key_Return);
        else if (action == u"escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (action == u"button")
            QTest::mouseClick(Child(window, QStringLiteral("cmdFind")), Qt::LeftButton);
        else
            QTest::keyClick(box, Qt::Key_2);
        QCOMPARE(window.FindBoxText(), after);
        QCOMPARE(chosen.size(), finds);
        if (finds)
            QCOMPARE(chosen[0][0].toInt(), 99);
    }

    void pendingButtonsFollowTheirEntries()
    {
        BareContext t;
        MainWindow window(t.context);
        QCOMPARE(Child(window, QStringLiteral("lblMod(4)"))->isEnabled(), false);
        QCOMPARE(Child(window, QStringLiteral("cmdDash(4)"))->isEnabled(), false);
        // When the bill screen joins, its module label and dashboard button come with it.
        window.SetMenuEntryEnabled(QStringLiteral("Transaction"), 6, true);
        QCOMPARE(Child(window, QStringLiteral("lblMod(4)"))->isEnabled(), true);
        QCOMPARE(Child(window, QStringLiteral("cmdDash(4)"))->isEnabled(), true);
    }

    void entriesSetTheirContext()
    {
        TestContext t;
        LogIn(t, QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        SignalLog log(window);
        QStringList tables;
        connect(&window, &MainWindow::menuEntryChosen, this, [&](const QString& menu, int entry) {
            if (const ScreenEntry* screen = ScreenForMenuEntry(menu, entry))
                tables << screen->screenKey + u' ' + screen->table;
        });
        Child<QPushButton>(window, QStringLiteral("cmdDash(3)"))->click();
        window.MenuAction(QStringLiteral("Master"), 2)->trigger();
        Apply(window, t.context, QStringLiteral("Mast"));
        window.MenuAction(QStringLiteral("Operation"), 12)->trigger();
        QCOMPARE(log.events,
            (QStringList {
                QStringLiteral("Transaction 4"), QStringLiteral("Master 2"), QStringLiteral("command 12") }));
        QCOMPARE(
            tables, (QStringList { QStringLiteral("Tran ktSupplier"), QStringLiteral("Mast kmPaytype") }));
    }

    void helpContent()
    {
        TestContext t;
        MainWindow window(t.context);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        SignalLog log(window);

        // No guide installed: reported, nothing opened.
        window.MenuAction(QStringLiteral("Help"), 1)->trigger();
        QCOMPARE(t.messages.shown, QStringList { QStringLiteral("ErroR!") });
        QCOMPARE(catcher.urls.size(), 0);

        QDir().mkpath(QFileInfo(t.context.locations.HelpFile).path());
        QFile guide(t.context.locations.HelpFile);
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.close();
        window.MenuAction(QStringLiteral("Help"), 1)->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls, QList<QUrl> { QUrl::fromLocalFile(t.context.locations.HelpFile) });
        QCOMPARE(log.events, QStringList());
    }

    void quitEndsTheRun_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Transaction Quit") << QStringLiteral("menu");
        QTest::newRow("QUIT button") << QStringLiteral("counter");
        QTest::newRow("window closed") << QStringLiteral("close");
    }

    void quitEndsTheRun()
    {
        QFETCH(QString, how);
        TestContext t;
        LogIn(t, how == u"counter" ? QStringLiteral("S") : QStringLiteral("B"));
        MainWindow window(t.context);
        window.SetupMainWindow();
        window.show();
        if (how == u"counter")
            Child<QToolButton>(window, QStringLiteral("cmdBill(7)"))->click();
        else if (how == u"menu")
            window.MenuAction(QStringLiteral("Transaction"), 17)->trigger();
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
