// The program as a user drives it: menu entries open register screens as child windows of
// the main window, the Operation menu runs the record commands, and what is typed into the
// register window reaches the database.
#include "LoginState.h"
#include "MainWindow.h"
#include "ProgramHost.h"
#include "RecordScreen.h"
#include "RecordScreenView.h"
#include "ScreenCatalogue.h"
#include "TestContext.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;

class TestProgramHost : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_t = std::make_unique<TestContext>();
        ProgramContext& s = m_t->context;
        // No access-code prompts in this round trip: it is about the windows' wiring.
        s.connection.Execute(QStringLiteral("Update kaCustomize Set CModiPass='N', CDelePass='N'"));
        LoginState login(s);
        login.txtField[0] = QStringLiteral("Chief");
        login.txtField[1] = QStringLiteral("kivo");
        login.Ok();
        QCOMPARE(login.result, LoginState::Result::LoggedIn);
        m_window = std::make_unique<MainWindow>(s);
        m_host = std::make_unique<ProgramHost>(s, *m_window);
        m_host->SetupMainWindow();
        m_host->SetIdleCommandState();
        m_window->show();
    }

    void cleanup()
    {
        m_host.reset();
        m_window.reset();
        m_t.reset();
    }

    void groupAddSaveModifyDeleteRoundTrip()
    {
        ProgramContext& s = m_t->context;
        m_window->MenuAction(QStringLiteral("Master"), 1)->trigger();
        QMdiSubWindow* sub = m_window->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        auto* view = qobject_cast<RecordScreenView*>(sub->widget());
        QVERIFY(view);
        QCOMPARE(view->screen().name, QStringLiteral("KvGroup"));
        QCOMPARE(m_window->PanelText(2), QStringLiteral("Group"));
        QVERIFY(!m_window->MenuAction(QStringLiteral("Operation"), 5)->isEnabled()); // Save while browsing

        m_t->messages.Answer(true); // "Confirm Add ?"
        m_window->MenuAction(QStringLiteral("Operation"), 1)->trigger();
        QVERIFY(view->frame()->isEnabled());
        QCOMPARE(view->valueBox(0)->text(), QStringLiteral("(New)"));
        QTest::keyClicks(view->valueBox(2), QStringLiteral("Toys"));
        view->valueBox(3)->clear();
        QTest::keyClicks(view->valueBox(3), QStringLiteral("7,5"));
        QTest::keyClicks(view->valueBox(4), QStringLiteral("O'Neil's"));
        m_window->MenuAction(QStringLiteral("Operation"), 5)->trigger();
        QVERIFY(!view->frame()->isEnabled());
        QCOMPARE(
            s.connection.Scalar(QStringLiteral("Select GSavePer From kmGroup Where GName='toys'")).toDouble(),
            7.5);
        QCOMPARE(
            s.connection.Scalar(QStringLiteral("Select GRemarks From kmGroup Where GName='Toys'")).toString(),
            QStringLiteral("O'Neil's"));
        const QString id = view->valueBox(0)->text();
        QVERIFY(id != QStringLiteral("(New)"));

        m_window->MenuAction(QStringLiteral("Operation"), 2)->trigger(); // Modify, no question
        QVERIFY(view->frame()->isEnabled());
        view->valueBox(2)->clear();
        QTest::keyClicks(view->valueBox(2), QStringLiteral("Games"));
        m_window->MenuAction(QStringLiteral("Operation"), 5)->trigger();
        QCOMPARE(s.connection.Scalar(QStringLiteral("Select GName From kmGroup Where EId=") + id).toString(),
            QStringLiteral("Games"));

        // Groups cannot be deleted from their screen's toolbar while browsing ("Mast").
        QVERIFY(!m_window->MenuAction(QStringLiteral("Operation"), 3)->isEnabled());
        m_t->messages.Answer(true); // "Confirm Delete ?"
        m_host->engine().RecordCommand(3);
        QCOMPARE(s.connection.Scalar(QStringLiteral("Select Count(*) From kmGroup")).toInt(), 0);
        QCOMPARE(view->valueBox(0)->text(), QStringLiteral("(New)"));

        m_window->MenuAction(QStringLiteral("Operation"), 17)->trigger(); // Exit while browsing
        QVERIFY(m_window->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(m_window->PanelText(2), QStringLiteral("Main"));
        QCOMPARE(m_host->engine().Current(), nullptr);
        QVERIFY(m_window->MenuAction(QStringLiteral("Master"), 1)->isEnabled());
        QCOMPARE(m_t->messages.shown,
            (QStringList { QStringLiteral("Confirm Add ?"), QStringLiteral("Confirm Delete ?") }));
    }

    void closingTheChildWindowWhileEditingAsksFirst()
    {
        m_window->MenuAction(QStringLiteral("Transaction"), 3)->trigger(); // Customer
        QMdiSubWindow* sub = m_window->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        m_t->messages.Answer(true); // "Confirm Add ?"
        m_window->MenuAction(QStringLiteral("Operation"), 1)->trigger();
        m_t->messages.Answer(false); // "Cancel Edits ?" -> No: the screen stays
        sub->close();
        QCOMPARE(m_window->mdiArea()->subWindowList().size(), 1);
        m_t->messages.Answer(true); // now Yes
        sub->close();
        QVERIFY(m_window->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(m_t->messages.shown.mid(1),
            (QStringList { QStringLiteral("Cancel Edits ?"), QStringLiteral("Cancel Edits ?") }));
        QCOMPARE(
            m_t->context.connection.Scalar(QStringLiteral("Select Count(*) From ktCustomer")).toInt(), 0);
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
        const ScreenEntry* entry = FindScreen(screen);
        m_window->MenuAction(entry->menu, entry->menuEntry)->trigger();
        QMdiSubWindow* sub = m_window->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        auto* view = qobject_cast<RecordScreenView*>(sub->widget());
        QVERIFY(view);
        QCOMPARE(view->screen().name, screen);
        QVERIFY(m_t->ErrorLogLines().isEmpty());
        QCOMPARE(m_t->messages.shown, QStringList());
    }

private:
    std::unique_ptr<TestContext> m_t;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ProgramHost> m_host;
};

QTEST_MAIN(TestProgramHost)
#include "tst_programhost.moc"
