// The list picker window's keys: which ones choose, which one closes, and that others do nothing.
#include "KvList.h"
#include "SeedData.h"
#include "TestContext.h"

#include <QListWidget>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {
const QString Accounts = u"AName, EId From kmAccount"_s;
}

class KvListTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_test = std::make_unique<TestContext>();
        const QDate day = TempDatabase::FixedToday();
        for (int id : { 1, 2 })
            InsertRow(m_test->context.connection, u"kmAccount"_s,
                { id, day, id == 1 ? u"Bank"_s : u"Petty cash"_s, 0.0, QString() });
    }

    void cleanup() { m_test.reset(); }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("open");

        QTest::newRow("Enter") << int(Qt::Key_Return) << true << false;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << true << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false << false;
        QTest::newRow("a letter") << int(Qt::Key_P) << false << true;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, chosen);
        QFETCH(bool, open);
        KvList picker(m_test->context, Accounts);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(picker.list()->count(), 2);
        QCOMPARE(picker.list()->currentRow(), 0);
        const QString first = ListPickerState::KeyOf(picker.list()->item(0)->text());
        QTest::keyClick(picker.list(), Qt::Key(key));
        QCOMPARE(picker.state().pick.has_value(), chosen);
        if (chosen)
            QCOMPARE(picker.state().pick->key, first);
        QCOMPARE(picker.isVisible(), open);
    }

private:
    std::unique_ptr<TestContext> m_test;
};

QTEST_MAIN(KvListTest)
#include "tst_kvlist.moc"
