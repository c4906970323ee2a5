#include "Appearance.h"
#include "Settings.h"
#include "TestContext.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;

namespace {

// A screen with the element families that the look settings act on.
struct Screen {
    QWidget* widget;
    QLabel* label;
    QLabel* hint;
    QLineEdit* field;
    QFrame* frame;
    QFrame* shape;
    QTableView* grid;
};

Screen MakeScreen(QWidget* parent)
{
    Screen s;
    s.widget = new QWidget(parent);
    s.frame = new QFrame(s.widget);
    s.frame->setObjectName(QStringLiteral("frmMain"));
    s.frame->setGeometry(0, 0, 400, 300);
    s.shape = new QFrame(s.frame);
    s.shape->setObjectName(QStringLiteral("shpMain"));
    s.shape->setGeometry(10, 10, 100, 5);
    s.label = new QLabel(QStringLiteral("Product Code"), s.frame);
    s.label->setObjectName(QStringLiteral("lblField(2)"));
    s.hint = new QLabel(QStringLiteral("(Do not change once set)"), s.frame);
    s.hint->setObjectName(QStringLiteral("lblList(2)"));
    s.field = new QLineEdit(s.frame);
    s.field->setObjectName(QStringLiteral("txtField(2)"));
    s.grid = new QTableView(s.frame);
    s.grid->setObjectName(QStringLiteral("grdMain"));
    return s;
}

void SetCustomize(TestContext& t, const QString& defaultScreen,
    const QString& textColour = QStringLiteral("128"), const QString& backColour = QStringLiteral("15923449"))
{
    Customization& c = t.context.customization;
    c.CDefaScrn = defaultScreen;
    c.CTextFont = QStringLiteral("Georgia");
    c.CTextSize = QStringLiteral("12");
    c.CTextColor = textColour;
    c.CBackColor = backColour;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void loadPreferencesKeepsStoredText()
    {
        TestContext t;
        t.context.connection.Execute(QStringLiteral(
            "Update kaPreference Set PDisPerc=12.5, PTaxPer1=5, PTaxPer2=0.5, PAmtRoun='1', PDefBill='L'"));
        LoadPreferences(t.context);
        const Preferences& p = t.context.preferences;
        QCOMPARE(p.PDisPerc, QStringLiteral("12.5"));
        QCOMPARE(p.PTaxPer1, QStringLiteral("5"));
        QCOMPARE(p.PTaxPer2, QStringLiteral("0.5"));
        QCOMPARE(p.PAmtRoun, QStringLiteral("1"));
        QCOMPARE(p.PDefBill, QStringLiteral("L"));
        QCOMPARE(p.PStkChek, QStringLiteral("Y"));
    }

    void toolbarToggleCaption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Y") << QStringLiteral("Y") << QStringLiteral("+");
        QTest::newRow("lower-case y is not Yes") << QStringLiteral("y") << QStringLiteral("-");
    }

    void toolbarToggleCaption()
    {
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        TestContext t;
        t.context.connection.Execute(QStringLiteral("Update kaCustomize Set CToolShow='%1'").arg(stored));
        LoadCustomize(t.context);
        QCOMPARE(t.context.customization.CToolShow, stored);
        QCOMPARE(t.context.ToolbarToggleCaption, caption);
    }

    // The look settings reach a register opened inside the main window, unless the shop
    // keeps the default look; a window of its own (a modal screen) takes the text colour only.
    void appearance_data()
    {
        QTest::addColumn<QString>("defaultScreen");
        QTest::addColumn<bool>("child");
        QTest::addColumn<bool>("fonts"); // fonts, background and, in the window, the shape's width
        QTest::addColumn<bool>("textColour");
        QTest::newRow("default look") << QStringLiteral("Y") << true << false << false;
        QTest::newRow("child screen") << QStringLiteral("N") << true << true << true;
        QTest::newRow("modal screen") << QStringLiteral("N") << false << false << true;
    }

    void appearance()
    {
        QFETCH(QString, defaultScreen);
        QFETCH(bool, child);
        QFETCH(bool, fonts);
        QFETCH(bool, textColour);
        TestContext t;
        SetCustomize(t, defaultScreen);
        QMdiArea area;
        Screen s = MakeScreen(nullptr);
        std::unique_ptr<QWidget> modal(child ? nullptr : s.widget);
        if (child)
            area.addSubWindow(s.widget);
        const QFont labelFont = s.label->font();
        const QFont fieldFont = s.field->font();
        const QPalette labelPalette = s.label->palette();
        const QColor gridBody = s.grid->palette().color(QPalette::Text);
        ApplyAppearance(t.context, s.widget);

        const QColor maroon(128, 0, 0);
        const QColor back(0xF9, 0xF8, 0xF2);
        for (QLabel* label : { s.label, s.hint }) {
            QCOMPARE(label->font(), fonts ? QFont(QStringLiteral("Georgia"), 12) : labelFont);
            QCOMPARE(label->palette().color(QPalette::Window),
                fonts ? back : labelPalette.color(QPalette::Window));
            QCOMPARE(label->palette().color(QPalette::WindowText),
                textColour ? maroon : labelPalette.color(QPalette::WindowText));
        }
        if (child)
            QCOMPARE(s.shape->width(), fonts ? 400 - 500 / 15 : 100);
        QCOMPARE(s.field->font(), fieldFont);
        QCOMPARE(s.grid->palette().color(QPalette::Text), gridBody);
        if (fonts) {
            QCOMPARE(s.widget->palette().color(QPalette::Window), back);
            QCOMPARE(s.frame->palette().color(QPalette::WindowText), maroon);
            QCOMPARE(s.grid->horizontalHeader()->palette().color(QPalette::ButtonText), maroon);
        }
        QVERIFY(t.messages.shown.isEmpty());
    }

    void badColourIsReportedAndTheRestStillApplied()
    {
        TestContext t;
        SetCustomize(t, QStringLiteral("N"), QStringLiteral("purple"));
        QMdiArea area;
        Screen s = MakeScreen(nullptr);
        area.addSubWindow(s.widget);
        ApplyAppearance(t.context, s.widget);
        // The bad text colour is reported once, not once per control that takes it.
        QCOMPARE(t.messages.shown.size(), 1);
        QCOMPARE(t.ErrorLogLines().size(), 1);
        QVERIFY(t.ErrorLogLines().constFirst().contains(QStringLiteral("purple")));
        QCOMPARE(s.label->font().family(), QStringLiteral("Georgia"));
        QCOMPARE(s.label->palette().color(QPalette::Window), QColor(0xF9, 0xF8, 0xF2));
    }

    void windowsColour_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("blue") << QStringLiteral("8388608") << QColor(0, 0, 128);
        QTest::newRow("sample F2 DD DC") << QStringLiteral("14474738") << QColor(0xF2, 0xDD, 0xDC);
    }

    void windowsColour()
    {
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        QCOMPARE(WindowsColour(text), colour);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
