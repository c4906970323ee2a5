// The find-and-replace window wired to its state: the buttons do what their captions say (the
// export and import windows are driven through the real program in tst_programdatatools). With
// KIVO_SHOTS set, the window is saved there as a picture for a look.
#include "KvFindRepl.h"
#include "Settings.h"
#include "TestContext.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class DataToolWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        // The shop's look, as a login loads it.
        LoadCustomize(m_test->context);
    }

    // Find customers of one city and give them another, through the window's own controls.
    void findReplaceWindow()
    {
        int asked = 0;
        KvFindRepl window(m_test->context, [&] { return ++asked > 0; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Open();
        QCOMPARE(m_test->messages.shown.value(0), u"Access-Code Required !"_s);
        window.tableBox()->setCurrentText(u"Customer"_s);
        const QString city
            = m_test->context.connection.Scalar(u"Select CCity From ktCustomer Where EId=1"_s).toString();
        const int found
            = m_test->context.connection.Scalar(u"Select Count(*) From ktCustomer Where CCity=?"_s, { city })
                  .toInt();
        window.criterionBox()->setCurrentText(u"CCity"_s);
        window.findChild<QComboBox*>(u"cmbOper"_s)->setCurrentText(u"="_s);
        QTest::keyClicks(window.criterionValue(), city);
        QTest::mouseClick(window.findButton(), Qt::LeftButton);
        QCOMPARE(window.grid()->model()->rowCount(), found);
        window.fieldBox()->setCurrentText(u"CCity"_s);
        QTest::keyClicks(window.replacement(), u"Lisbon"_s);
        Shoot(&window, u"kvfindrepl.png"_s);
        m_test->messages.Answer(true);
        QTest::mouseClick(window.replaceButton(), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QCOMPARE(m_test->messages.shown.last(), u"Record(s) Replaced !"_s);
        QCOMPARE(m_test->context.connection.Scalar(u"Select Count(*) From ktCustomer Where CCity='Lisbon'"_s)
                     .toInt(),
            found);
    }

private:
    static void Shoot(QWidget* window, const QString& name)
    {
        const QString folder = qEnvironmentVariable("KIVO_SHOTS");
        if (!folder.isEmpty())
            window->grab().save(folder + u'/' + name);
    }

    std::unique_ptr<TestContext> m_test;
};

QTEST_MAIN(DataToolWindowsTest)
#include "tst_datatoolwindows.moc"
