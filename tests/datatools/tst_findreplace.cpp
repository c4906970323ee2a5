// Find and replace over register tables: every refusal of Replace, the access code, the
// typing limit that follows the column's size, and the replacement written to exactly the
// found rows in one transaction; then the window wired to it, its buttons doing what their
// captions say. With KIVO_SHOTS set, the window is saved there as a picture for a look.
#include "CriterionBuilder.h"
#include "FindReplaceState.h"
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

class FindReplaceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo); }

    void init()
    {
        m_test->messages.shown.clear();
        m_access = true;
        m_asked = 0;
        m_state = std::make_unique<FindReplaceState>(m_test->context, [this] {
            ++m_asked;
            return m_access;
        });
        m_state->Open();
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("find");
        QTest::addColumn<QString>("criterion"); // PName Like ...
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");

        QTest::newRow("before a find") << false << QString() << u"PName"_s << u"x"_s << u"Find Records !"_s;
        QTest::newRow("nothing found") << true << u"no such"_s << u"PName"_s << u"x"_s << u"No Records !"_s;
        QTest::newRow("the record id") << true << QString() << u"EId"_s << u"5"_s << u"Invalid Field !"_s;
        QTest::newRow("blank text") << true << QString() << u"PName"_s << u"   "_s << u"No Text !"_s;
        QTest::newRow("text for a number")
            << true << QString() << u"PSaleRate"_s << u"ten"_s << u"Invalid Text !"_s;
        QTest::newRow("no date for a date")
            << true << QString() << u"PTranDate"_s << u"2026-02-30"_s << u"Invalid Text !"_s;
    }

    void refusals()
    {
        QFETCH(bool, find);
        QFETCH(QString, criterion);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QString before = Snapshot();
        if (find)
            FindProducts(criterion);
        m_test->messages.shown.clear();
        m_state->field = int(m_state->fieldNames.indexOf(field));
        m_state->txtField = text;
        m_state->Replace();
        QCOMPARE(m_test->messages.shown, QStringList { shown });
        QCOMPARE(m_asked, 0);
        QCOMPARE(Snapshot(), before);
    }

    void noConfirmOrWrongCodeChangesNothing_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("code");
        QTest::newRow("No to the question") << false << true;
        QTest::newRow("wrong access code") << true << false;
    }

    void noConfirmOrWrongCodeChangesNothing()
    {
        QFETCH(bool, confirm);
        QFETCH(bool, code);
        const QString before = Snapshot();
        FindProducts(QString());
        m_test->messages.shown.clear();
        m_state->field = int(m_state->fieldNames.indexOf(u"PName"_s));
        m_state->txtField = u"Changed"_s;
        m_access = code;
        m_test->messages.Answer(confirm);
        m_state->Replace();
        QCOMPARE(m_test->messages.shown, QStringList { u"Confirm Replace ?"_s });
        QCOMPARE(m_asked, confirm ? 1 : 0);
        QCOMPARE(Snapshot(), before);
        // The found rows are still listed for another try.
        QVERIFY(m_state->HasFoundRows());
    }

    void typingLimitFollowsTheColumn()
    {
        m_state->field = int(m_state->fieldNames.indexOf(u"PName"_s));
        m_state->LeaveField();
        QCOMPARE(m_state->valueWidth, 25);
    }

    // Products whose name begins with "S" get a sale rate typed with a decimal comma through the
    // window's own controls; the other products keep theirs; a second Replace needs a new Find.
    void findReplaceWindow()
    {
        LoadCustomize(m_test->context); // the shop's look, as a login loads it
        int asked = 0;
        KvFindRepl window(m_test->context, [&] { return ++asked > 0; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Open();
        QCOMPARE(m_test->messages.shown.value(0), u"Access-Code Required !"_s);
        const QString others
            = u"Select Group_Concat(EId || ':' || PSaleRate) From ktProduct Where Not PName Like 'S%'"_s;
        const QString before = Scalar(others).toString();
        const int found = Scalar(u"Select Count(*) From ktProduct Where PName Like 'S%'"_s).toInt();
        QVERIFY(found > 0);
        window.tableBox()->setCurrentText(u"Product"_s);
        window.criterionBox()->setCurrentText(u"PName"_s);
        window.findChild<QComboBox*>(u"cmbOper"_s)->setCurrentText(u"Like"_s);
        QTest::keyClicks(window.criterionValue(), u"s"_s);
        QTest::mouseClick(window.findButton(), Qt::LeftButton);
        QCOMPARE(window.grid()->model()->rowCount(), found);
        QCOMPARE(m_test->messages.shown.last(), u"Total Records: %1"_s.arg(found));
        window.fieldBox()->setCurrentText(u"PSaleRate"_s);
        QTest::keyClicks(window.replacement(), u"12,5"_s);
        Shoot(&window, u"kvfindrepl.png"_s);
        m_test->messages.shown.clear();
        m_test->messages.Answer(true);
        QTest::mouseClick(window.replaceButton(), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QCOMPARE(m_test->messages.shown, (QStringList { u"Confirm Replace ?"_s, u"Record(s) Replaced !"_s }));
        QCOMPARE(
            Scalar(u"Select Count(*) From ktProduct Where PName Like 'S%' And PSaleRate = 12.5"_s).toInt(),
            found);
        QCOMPARE(Scalar(others).toString(), before);
        QTest::mouseClick(window.replaceButton(), Qt::LeftButton);
        QCOMPARE(m_test->messages.shown.last(), u"Find Records !"_s);
    }

private:
    static void Shoot(QWidget* window, const QString& name)
    {
        const QString folder = qEnvironmentVariable("KIVO_SHOTS");
        if (!folder.isEmpty())
            window->grab().save(folder + u'/' + name);
    }
    void FindProducts(const QString& name)
    {
        m_state->crita = int(m_state->fieldNames.indexOf(u"PName"_s));
        m_state->op = 0; // Like
        m_state->txtCrita = name;
        m_state->Find();
    }
    QString Snapshot()
    {
        return Scalar(u"Select Group_Concat(EId || PName || PSaleRate || PTranDate) From ktProduct"_s)
            .toString();
    }
    QVariant Scalar(const QString& statement) { return m_test->context.connection.Scalar(statement); }

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<FindReplaceState> m_state;
    bool m_access = true;
    int m_asked = 0;
};

QTEST_MAIN(FindReplaceTest)
#include "tst_findreplace.moc"
