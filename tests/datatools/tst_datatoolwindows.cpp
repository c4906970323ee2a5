// The export and import windows wired to their state: the buttons do what their captions
// say. With KIVO_SHOTS set, each window is saved there as a picture for a look.
#include "KvExport.h"
#include "KvImport.h"
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

    void importWindow()
    {
        const QString file = m_folder.filePath(u"suppliers.xlsx"_s);
        QVERIFY(WriteWithOpenpyxl(file,
            { { u"rows"_s,
                QJsonArray { QJsonArray { u"SCompany"_s, u"SCity"_s },
                    QJsonArray { u"Window Firm"_s, u"Rome"_s } } } }));
        KvImport window(m_test->context);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QComboBox*>(u"cmbTable"_s)->setCurrentText(u"Supplier"_s);
        QTest::keyClicks(window.fileBox(), file);
        QTest::mouseClick(window.listButton(), Qt::LeftButton);
        QCOMPARE(window.grid()->model()->rowCount(), 1);
        QCOMPARE(window.fieldList()->count(), 2);
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdAll"_s), Qt::LeftButton);
        Shoot(&window, u"kvimport.png"_s);
        m_test->messages.Answer(true);
        QTest::mouseClick(window.importButton(), Qt::LeftButton);
        QVERIFY(window.EndsProgram());
        QVERIFY(!window.isVisible());
        QCOMPARE(
            m_test->context.connection.Scalar(u"Select SCity From ktSupplier Where SCompany='Window Firm'"_s)
                .toString(),
            u"Rome"_s);
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
