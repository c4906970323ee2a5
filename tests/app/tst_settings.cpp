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
using namespace Qt::StringLiterals;

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
    s.frame->setObjectName(u"frmMain"_s);
    s.frame->setGeometry(0, 0, 400, 300);
    s.shape = new QFrame(s.frame);
    s.shape->setObjectName(u"shpMain"_s);
    s.shape->setGeometry(10, 10, 100, 5);
    s.label = new QLabel(u"Product Code"_s, s.frame);
    s.label->setObjectName(u"lblField(2)"_s);
    s.hint = new QLabel(u"(Do not change once set)"_s, s.frame);
    s.hint->setObjectName(u"lblList(2)"_s);
    s.field = new QLineEdit(s.frame);
    s.field->setObjectName(u"txtField(2)"_s);
    s.grid = new QTableView(s.frame);
    s.grid->setObjectName(u"grdMain"_s);
    return s;
}

void SetCustomize(TestContext& t, const QString& defaultScreen, const QString& textColour = u"128"_s,
    const QString& backColour = u"15923449"_s)
{
    Customization& c = t.context.customization;
    c.CDefaScrn = defaultScreen;
    c.CTextFont = u"Georgia"_s;
    c.CTextSize = u"12"_s;
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
        QCOMPARE(p.PDisPerc, u"12.5"_s);
        QCOMPARE(p.PTaxPer1, u"5"_s);
        QCOMPARE(p.PTaxPer2, u"0.5"_s);
        QCOMPARE(p.PAmtRoun, u"1"_s);
        QCOMPARE(p.PDefBill, u"L"_s);
        QCOMPARE(p.PStkChek, u"Y"_s);
    }

    void toolbarToggleCaption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Y") << u"Y"_s << u"+"_s;
        QTest::newRow("lower-case y is not Yes") << u"y"_s << u"-"_s;
    }

    void toolbarToggleCaption()
    {
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        TestContext t;
        t.context.connection.Execute(u"Update kaCustomize Set CToolShow='%1'"_s.arg(stored));
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
        QTest::newRow("default look") << u"Y"_s << true << false << false;
        QTest::newRow("child screen") << u"N"_s << true << true << true;
        QTest::newRow("modal screen") << u"N"_s << false << false << true;
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
            QCOMPARE(label->font(), fonts ? QFont(u"Georgia"_s, 12) : labelFont);
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
        SetCustomize(t, u"N"_s, u"purple"_s);
        QMdiArea area;
        Screen s = MakeScreen(nullptr);
        area.addSubWindow(s.widget);
        ApplyAppearance(t.context, s.widget);
        // The bad text colour is reported once, not once per control that takes it.
        QCOMPARE(t.messages.shown.size(), 1);
        QCOMPARE(t.ErrorLogLines().size(), 1);
        QVERIFY(t.ErrorLogLines().constFirst().contains(u"purple"_s));
        QCOMPARE(s.label->font().family(), u"Georgia"_s);
        QCOMPARE(s.label->palette().color(QPalette::Window), QColor(0xF9, 0xF8, 0xF2));
    }

    void windowsColour_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("blue") << u"8388608"_s << QColor(0, 0, 128);
        QTest::newRow("sample F2 DD DC") << u"14474738"_s << QColor(0xF2, 0xDD, 0xDC);
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
