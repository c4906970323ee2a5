// The program's windows wired together: menu entries open register screens as child windows of
// the main window, and the Operation menu runs the record commands on them. Adding, saving and
// deleting through the whole program is the end-to-end test's run.
#include "LoginState.h"
#include "MainWindow.h"
#include "ProgramHost.h"
#include "RecordScreen.h"
#include "RecordScreenView.h"
#include "ScreenCatalogue.h"
#include "TestContext.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

class TestProgramHost : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_t = std::make_unique<TestContext>();
        ProgramContext& s = m_t->context;
        // No access-code prompts in this round trip: it is about the windows' wiring.
        s.connection.Execute(u"Update kaCustomize Set CModiPass='N', CDelePass='N'"_s);
        LoginState login(s);
        login.txtField[0] = u"Chief"_s;
        login.txtField[1] = u"kivo"_s;
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

    void closingTheChildWindowWhileEditingAsksFirst()
    {
        m_window->MenuAction(u"Transaction"_s, 3)->trigger(); // Customer
        QMdiSubWindow* sub = m_window->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        QCOMPARE(m_window->PanelText(2), u"Customer"_s);
        m_t->messages.Answer(true); // "Confirm Add ?"
        m_window->MenuAction(u"Operation"_s, 1)->trigger();
        m_t->messages.Answer(false); // "Cancel Edits ?" -> No: the screen stays
        sub->close();
        QCOMPARE(m_window->mdiArea()->subWindowList().size(), 1);
        m_t->messages.Answer(true); // now Yes
        sub->close();
        QVERIFY(m_window->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(m_window->PanelText(2), u"Main"_s);
        QCOMPARE(m_host->engine().Current(), nullptr);
        QCOMPARE(m_t->messages.shown.mid(1), (QStringList { u"Cancel Edits ?"_s, u"Cancel Edits ?"_s }));
        QCOMPARE(m_t->context.connection.Scalar(u"Select Count(*) From ktCustomer"_s).toInt(), 0);
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
