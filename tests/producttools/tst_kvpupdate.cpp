// The product update window: Enter stores the typed value and hands the focus to Next, a
// wrong value keeps it; Process under the access code writes the stored values.
#include "KvPUpdate.h"
#include "Settings.h"
#include "TestContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class KvPUpdateTest : public QObject {
    Q_OBJECT
private slots:
    void storeMoveAndProcess()
    {
        TestContext test(TempDatabase::Content::Demo);
        LoadCustomize(test.context);
        KvPUpdate window(test.context, [] { return true; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Open();
        QCOMPARE(test.messages.shown, QStringList { u"Access-Code Required !"_s });
        QTest::mouseClick(window.findButton(), Qt::LeftButton);
        const int active
            = test.context.connection.Scalar(u"Select Count(*) From ktProduct Where PActive='Y'"_s).toInt();
        QCOMPARE(window.grid()->model()->rowCount(), active);
        QCOMPARE(window.codeLabel()->text(), window.grid()->model()->index(0, 1).data().toString());

        window.valueBox()->setFocus();
        QTest::keyClicks(window.valueBox(), u"x1"_s);
        QTest::keyClick(window.valueBox(), Qt::Key_Return);
        QCOMPARE(test.messages.shown.last(), u"Invalid Value !"_s);
        QVERIFY(window.valueBox()->hasFocus());
        QTest::keyClicks(window.valueBox(), u"33"_s);
        QTest::keyClick(window.valueBox(), Qt::Key_Return);
        QVERIFY(window.nextButton()->hasFocus());
        QCOMPARE(window.grid()->model()->index(0, 4).data().toString(), u"33"_s);
        QTest::mouseClick(window.nextButton(), Qt::LeftButton);
        QCOMPARE(window.grid()->currentIndex().row(), 1);
        const QString shots = qEnvironmentVariable("KIVO_SHOTS");
        if (!shots.isEmpty())
            window.grab().save(shots + u"/kvpupdate.png"_s);

        test.messages.Answer(true);
        QTest::mouseClick(window.processButton(), Qt::LeftButton);
        QCOMPARE(test.messages.shown.last(), u"Record(s) Processed !"_s);
        const QString id = window.grid()->model()->index(0, 0).data().toString();
        QCOMPARE(
            test.context.connection.Scalar(u"Select POpenQty From ktProduct Where EId="_s + id).toInt(), 33);
    }
};

QTEST_MAIN(KvPUpdateTest)
#include "tst_kvpupdate.moc"
