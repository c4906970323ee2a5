#include "Appearance.h"
#include "Settings.h"
#include "TestContext.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

namespace {

// A screen with a frame and a captioned field, as the look settings find them.
struct Screen {
    QWidget* widget;
    QLabel* label;
};

Screen MakeScreen(QWidget* parent)
{
    Screen s { new QWidget(parent), nullptr };
    auto* frame = new QFrame(s.widget);
    frame->setObjectName(u"frmMain"_s);
    s.label = new QLabel(u"Product Code"_s, frame);
    s.label->setObjectName(u"lblField(2)"_s);
    auto* field = new QLineEdit(frame);
    field->setObjectName(u"txtField(2)"_s);
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

    void windowsColour() { QCOMPARE(WindowsColour(u"14474738"_s), QColor(0xF2, 0xDD, 0xDC)); }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
