// The export and find-and-replace windows wired to their state: the buttons do what their
// captions say (the import window is driven through the real program in tst_programdatatools). With
// KIVO_SHOTS set, each window is saved there as a picture for a look.
#include "KvExport.h"
#include "KvFindRepl.h"
#include "Settings.h"
#include "TestContext.h"
#include "WorkbookProbe.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
        QVERIFY(m_folder.isValid());
        m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        // The shop's look, as a login loads it.
        LoadCustomize(m_test->context);
    }

    void init() { m_test->messages.shown.clear(); }

    void exportWindow()
    {
        KvExport window(m_test->context);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.allButton(), Qt::LeftButton);
        QCOMPARE(window.fieldList()->selectedItems().size(), window.fieldList()->count());
        QTest::mouseClick(window.listButton(), Qt::LeftButton);
        const int products = m_test->context.connection.Scalar(u"Select Count(*) From ktProduct"_s).toInt();
        QCOMPARE(m_test->messages.shown.join(u";"_s), u"Total Records: %1"_s.arg(products));
        QCOMPARE(window.grid()->model()->rowCount(), products);
        QCOMPARE(window.countLabel()->text(), QString::number(products));
        Shoot(&window, u"kvexport.png"_s);

        const QString file = m_folder.filePath(u"window.xlsx"_s);
        QTest::keyClicks(window.fileBox(), file);
        m_test->messages.Answer(true);
        QTest::mouseClick(window.exportButton(), Qt::LeftButton);
        QCOMPARE(m_test->messages.shown.mid(1), (QStringList { u"Confirm Export ?"_s, u"Done !"_s }));
        QVERIFY(!window.isVisible());
        QCOMPARE(ReadWithOpenpyxl(file).value(u"rows"_s).toArray().size(), products + 1);
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

    QTemporaryDir m_folder;
    std::unique_ptr<TestContext> m_test;
};

QTEST_MAIN(DataToolWindowsTest)
#include "tst_datatoolwindows.moc"
