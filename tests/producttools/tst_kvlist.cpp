// The list picker window's keys: which ones choose, which one closes, and that others do nothing.
#include "KvList.h"
#include "RecordScreen.h"
#include "SeedData.h"
#include "TestSession.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace kivo;
using namespace kivo::test;

class KvListTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keys_data();
    void keys();
    void doubleClickChooses();

private:
    std::unique_ptr<TestSession> m_test;
    std::unique_ptr<RecordScreen> m_screen;
};

void KvListTest::init()
{
    m_test = std::make_unique<TestSession>();
    const QDate day = TempDatabase::FixedToday();
    for (int id : { 1, 2 })
        InsertRow(m_test->session.connection, QStringLiteral("kmAccount"),
            { id, day, id == 1 ? QStringLiteral("Bank") : QStringLiteral("Petty cash"), 0.0, QString() });
    m_screen = std::make_unique<RecordScreen>(QStringLiteral("KvAccounting"), QStringLiteral("Accounting"));
    m_screen->fields.resize(4);
    m_test->session.CurrentForm = m_screen.get();
    m_test->session.CallerCode = 2;
    m_test->session.ListSource = QStringLiteral("AName, EId From kmAccount");
}

void KvListTest::cleanup()
{
    m_screen.reset();
    m_test.reset();
}

void KvListTest::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<bool>("open");

    QTest::newRow("Enter") << int(Qt::Key_Return) << true << false;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << true << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false << false;
    QTest::newRow("a letter") << int(Qt::Key_P) << false << true;
}

void KvListTest::keys()
{
    QFETCH(int, key);
    QFETCH(bool, chosen);
    QFETCH(bool, open);
    KvList picker(m_test->session);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(picker.list()->count(), 2);
    QCOMPARE(picker.findChild<QLabel*>(QStringLiteral("lblField(0)"))->text(), QStringLiteral("AName"));
    QCOMPARE(picker.list()->currentRow(), 0);
    const QString first = ListPickerState::KeyOf(picker.list()->item(0)->text());
    QTest::keyClick(picker.list(), Qt::Key(key));
    QCOMPARE(m_screen->field(2).text, chosen ? first : QString());
    QCOMPARE(picker.isVisible(), open);
    QCOMPARE(m_test->session.rsList1.IsOpen(), open);
}

void KvListTest::doubleClickChooses()
{
    KvList picker(m_test->session);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QListWidgetItem* second = picker.list()->item(1);
    const QRect rect = picker.list()->visualItemRect(second);
    QTest::mouseClick(picker.list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(picker.list()->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(m_screen->field(2).text, ListPickerState::KeyOf(second->text()));
    QCOMPARE(m_screen->field(2).hint, ListPickerState::NameOf(second->text()));
    QVERIFY(!picker.isVisible());
}

QTEST_MAIN(KvListTest)
#include "tst_kvlist.moc"
