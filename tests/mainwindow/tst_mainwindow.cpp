#include "MainWindow.h"
#include "TestSession.h"

#include <QMdiArea>
#include <QTest>

using namespace kivo;
using kivo::test::TestSession;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void statusBarAfterLogin()
    {
        TestSession t;
        t.session.login.LoginName = QStringLiteral("cHIEF");
        t.session.login.EnterpriseShort = QStringLiteral("MyShop");
        MainWindow window(t.session);
        window.SetupMainWindow();
        QCOMPARE(window.windowTitle(), QStringLiteral("Kivo - Sales Software"));
        QVERIFY(window.PanelText(1).startsWith(QStringLiteral("Kivo 9.0.")));
        QVERIFY(window.PanelText(1).size() > 9);
        QCOMPARE(window.PanelText(2), QStringLiteral("Main"));
        QCOMPARE(window.PanelText(3), QStringLiteral("User:Chief"));
        QCOMPARE(window.PanelText(4), QStringLiteral("MyShop"));
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
    }

    void closingEndsTheConnection()
    {
        TestSession t;
        MainWindow window(t.session);
        window.show();
        QVERIFY(t.session.connection.IsOpen());
        window.close();
        QVERIFY(!t.session.connection.IsOpen());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
