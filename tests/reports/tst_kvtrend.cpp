// The trend window on the demo shop: the drop-down calendars (pick, Escape, focus leaving),
// View through the window, and closing.
#include "DropCalendar.h"
#include "KvTrend.h"
#include "Settings.h"
#include "TestContext.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class KvTrendTest : public QObject {
    Q_OBJECT
private slots:
    // One demo shop for the suite (the window only reads it), a fresh window for each test.
    void initTestCase()
    {
        m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        // The look settings as the program holds them after a login.
        LoadCustomize(m_test->context);
        LoadPreferences(m_test->context);
    }
    void init()
    {
        m_test->messages.shown.clear();
        m_window = std::make_unique<KvTrend>(m_test->context);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }
    void cleanupTestCase() { m_test.reset(); }

    void opensOnSalesAndToday()
    {
        QCOMPARE(m_window->modeBox()->currentText(), u"Sales"_s);
        QCOMPARE(m_window->startBox()->text(), u"2026-03-05"_s);
        QCOMPARE(m_window->endBox()->text(), u"2026-03-05"_s);
        QVERIFY(m_window->startBox()->isReadOnly() && m_window->endBox()->isReadOnly());
        QVERIFY(m_window->modeBox()->hasFocus());
        QCOMPARE(m_window->grid(0)->rowCount(), 0);
    }

    void calendar_data()
    {
        QTest::addColumn<bool>("end"); // the end date's calendar, else the start's
        QTest::addColumn<int>("days"); // days moved with the arrow keys
        QTest::addColumn<int>("finish"); // the key that ends it: Enter picks, Escape cancels
        QTest::newRow("start: a week back, Enter") << false << -7 << int(Qt::Key_Return);
        QTest::newRow("end: two days on, Enter") << true << 2 << int(Qt::Key_Enter);
        QTest::newRow("start: Escape keeps the date") << false << -3 << int(Qt::Key_Escape);
    }

    void calendar()
    {
        QFETCH(bool, end);
        QFETCH(int, days);
        QFETCH(int, finish);
        QPushButton* button = end ? m_window->endButton() : m_window->startButton();
        DropCalendar* calendar = end ? m_window->endCalendar() : m_window->startCalendar();
        QLineEdit* box = end ? m_window->endBox() : m_window->startBox();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(calendar->isVisible());
        QVERIFY(calendar->isAncestorOf(QApplication::focusWidget()) || calendar->hasFocus());
        QCOMPARE(calendar->selectedDate(), TempDatabase::FixedToday());
        // The calendar lies within the window and over the grids.
        QVERIFY(m_window->rect().contains(calendar->geometry()));
        for (int i = 0; i < qAbs(days); ++i)
            QTest::keyClick(QApplication::focusWidget(), days < 0 ? Qt::Key_Left : Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(finish));
        QVERIFY(!calendar->isVisible());
        QVERIFY(m_window->isVisible()); // Escape closed the calendar, not the window
        const QDate expected = TempDatabase::FixedToday().addDays(finish == Qt::Key_Escape ? 0 : days);
        QCOMPARE(box->text(), expected.toString(Qt::ISODate));
        QCOMPARE(end ? m_window->state().monSel2 : m_window->state().monSel1, expected);
        QVERIFY(button->hasFocus());
    }

    void calendarHidesWhenFocusLeaves()
    {
        QTest::mouseClick(m_window->startButton(), Qt::LeftButton);
        QVERIFY(m_window->startCalendar()->isVisible());
        m_window->modeBox()->setFocus();
        QVERIFY(!m_window->startCalendar()->isVisible());
        QCOMPARE(m_window->startBox()->text(), u"2026-03-05"_s);
        // Dropping the other calendar hides the first.
        QTest::mouseClick(m_window->startButton(), Qt::LeftButton);
        QTest::mouseClick(m_window->endButton(), Qt::LeftButton);
        QVERIFY(!m_window->startCalendar()->isVisible());
        QVERIFY(m_window->endCalendar()->isVisible());
    }

    void monthMenuKeepsTheCalendar()
    {
        // The month list is a popup window of its own; choosing from it is still the calendar.
        QTest::mouseClick(m_window->startButton(), Qt::LeftButton);
        DropCalendar* calendar = m_window->startCalendar();
        auto* monthButton = calendar->findChild<QToolButton*>(u"qt_calendar_monthbutton"_s);
        QVERIFY(monthButton && monthButton->menu());
        bool openDuringMenu = false;
        QTimer::singleShot(0, this, [&] {
            QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            openDuringMenu = menu && calendar->isVisible();
            if (menu) {
                menu->setActiveAction(menu->actions().at(0)); // January
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        QTest::mouseClick(monthButton, Qt::LeftButton);
        QVERIFY(openDuringMenu);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->monthShown(), 1);
    }

    void viewFillsTheGrids_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("sales") << 0;
        QTest::newRow("purchase") << 1;
    }

    void viewFillsTheGrids()
    {
        QFETCH(int, mode);
        m_window->modeBox()->setCurrentIndex(mode);
        m_window->state().SetStart(TempDatabase::FixedToday().addDays(-120));
        QTest::mouseClick(m_window->viewButton(), Qt::LeftButton);
        QVERIFY(m_test->messages.shown.isEmpty());
        QVERIFY(m_test->ErrorLogLines().isEmpty());
        const QString description = mode == 0 ? u"BPDesc"_s : u"PPDesc"_s;
        for (int i = 0; i < TrendState::GridCount; ++i) {
            const TrendState::Grid& data = m_window->state().grid(i);
            QTableWidget* grid = m_window->grid(i);
            QVERIFY(!data.texts.empty());
            QCOMPARE(grid->rowCount(), int(data.texts.size()));
            QCOMPARE(grid->item(0, 0)->text(), data.texts[0].at(0));
            QCOMPARE(grid->horizontalHeaderItem(0)->text(), i < 2 ? u"PName"_s : u"GName"_s);
        }
        QVERIFY(m_window->state().SqlText.contains(mode == 0 ? u"ktBillDetl"_s : u"ktPurcDetl"_s));
        QVERIFY(m_window->modeBox()->hasFocus());
    }

    void escapeInModeBoxCloses()
    {
        m_window->modeBox()->setFocus();
        QTest::keyClick(m_window->modeBox(), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
    }

private:
    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<KvTrend> m_window;
};

QTEST_MAIN(KvTrendTest)
#include "tst_kvtrend.moc"
