#include "Settings.h"
#include "TestSession.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>

using namespace kivo;
using kivo::test::TestSession;

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

void SetCustomize(TestSession& t, const QString& defaultScreen,
    const QString& textColour = QStringLiteral("128"), const QString& backColour = QStringLiteral("15923449"))
{
    Customization& c = t.session.customization;
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
        TestSession t;
        t.session.connection.Execute(QStringLiteral(
            "Update kaPreference Set PDisPerc=12.5, PTaxPer1=5, PTaxPer2=0.5, PAmtRoun='1', PDefBill='L'"));
        LoadPreferences(t.session);
        const Preferences& p = t.session.preferences;
        QCOMPARE(p.PDisPerc, QStringLiteral("12.5"));
        QCOMPARE(p.PTaxPer1, QStringLiteral("5"));
        QCOMPARE(p.PTaxPer2, QStringLiteral("0.5"));
        QCOMPARE(p.PAmtRoun, QStringLiteral("1"));
        QCOMPARE(p.PDefBill, QStringLiteral("L"));
        QCOMPARE(p.PStkChek, QStringLiteral("Y"));
        QVERIFY(!t.session.rsSettings.IsOpen());
    }

    void toolbarToggleCaption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Y") << QStringLiteral("Y") << QStringLiteral("+");
        QTest::newRow("lower-case y is not Yes") << QStringLiteral("y") << QStringLiteral("-");
        QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("-");
    }

    void toolbarToggleCaption()
    {
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        TestSession t;
        t.session.connection.Execute(QStringLiteral("Update kaCustomize Set CToolShow='%1'").arg(stored));
        LoadCustomize(t.session);
        QCOMPARE(t.session.customization.CToolShow, stored);
        QCOMPARE(t.session.ToolbarToggleCaption, caption);
    }

    void defaultScreenChangesNothing()
    {
        TestSession t;
        SetCustomize(t, QStringLiteral("Y"));
        QMdiArea area;
        Screen s = MakeScreen(nullptr);
        area.addSubWindow(s.widget);
        const QFont labelFont = s.label->font();
        const QPalette labelPalette = s.label->palette();
        const int shapeWidth = s.shape->width();
        ApplyAppearance(t.session, s.widget);
        QCOMPARE(s.label->font(), labelFont);
        QCOMPARE(s.label->palette(), labelPalette);
        QCOMPARE(s.shape->width(), shapeWidth);
        QVERIFY(t.messages.shown.isEmpty());
    }

    void childScreenTakesFontsColoursAndShape()
    {
        TestSession t;
        SetCustomize(t, QStringLiteral("N"));
        QMdiArea area;
        Screen s = MakeScreen(nullptr);
        area.addSubWindow(s.widget);
        const QFont fieldFont = s.field->font();
        const QColor gridBody = s.grid->palette().color(QPalette::Text);
        ApplyAppearance(t.session, s.widget);

        for (QLabel* label : { s.label, s.hint }) {
            QCOMPARE(label->font().family(), QStringLiteral("Georgia"));
            QCOMPARE(label->font().pointSize(), 12);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(128, 0, 0)); // maroon
            QCOMPARE(label->palette().color(QPalette::Window), QColor(0xF9, 0xF8, 0xF2));
        }
        QCOMPARE(s.field->font(), fieldFont);
        QCOMPARE(s.widget->palette().color(QPalette::Window), QColor(0xF9, 0xF8, 0xF2));
        QCOMPARE(s.frame->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QCOMPARE(s.shape->width(), 400 - 500 / 15);
        QCOMPARE(s.grid->horizontalHeader()->palette().color(QPalette::ButtonText), QColor(128, 0, 0));
        QCOMPARE(s.grid->palette().color(QPalette::Text), gridBody);
        QVERIFY(t.messages.shown.isEmpty());
    }

    void modalScreenOnlyTakesTextColours()
    {
        TestSession t;
        SetCustomize(t, QStringLiteral("N"));
        Screen s = MakeScreen(nullptr);
        const QFont labelFont = s.label->font();
        const QColor background = s.label->palette().color(QPalette::Window);
        ApplyAppearance(t.session, s.widget);
        QCOMPARE(s.label->font(), labelFont);
        QCOMPARE(s.label->palette().color(QPalette::Window), background);
        QCOMPARE(s.label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        delete s.widget;
    }

    void badColourIsReportedAndTheRestStillApplied()
    {
        TestSession t;
        SetCustomize(t, QStringLiteral("N"), QStringLiteral("purple"));
        QMdiArea area;
        Screen s = MakeScreen(nullptr);
        area.addSubWindow(s.widget);
        ApplyAppearance(t.session, s.widget);
        // frame, two labels and the grid each report the bad text colour once.
        QCOMPARE(t.messages.shown.size(), 4);
        QCOMPARE(t.ErrorLogLines().size(), 4);
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
        QTest::newRow("black") << QStringLiteral("0") << QColor(0, 0, 0);
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
