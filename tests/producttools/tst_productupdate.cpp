// The product bulk update: the two-condition filter as written, only active products,
// new values stored and walked through, and the processing under the access code with the
// closing quantities recomputed after an opening-quantity change. Then its window: Enter
// stores the typed value and hands the focus to Next, a wrong value keeps it; Process under
// the access code writes the stored values.
#include "KvPUpdate.h"
#include "ProductUpdateState.h"
#include "Settings.h"
#include "TestContext.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class ProductUpdateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo); }

    void init()
    {
        m_test->messages.shown.clear();
        m_access = true;
        m_state = std::make_unique<ProductUpdateState>(m_test->context, [this] { return m_access; });
        m_state->Open();
    }

    void filter_data()
    {
        QTest::addColumn<QString>("first"); // "column op value"
        QTest::addColumn<QString>("join");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("filter"); // "" when refused

        QTest::newRow("no values") << u"PName Like "_s << QString() << QString() << u" ( 1=1 )"_s;
        QTest::newRow("text begins with, no blank after the quote")
            << u"PName Like Te"_s << QString() << QString() << u" ( PName Like 'Te%' )"_s;
        QTest::newRow("Or with both values") << u"PName = Tea"_s << u"Or"_s << u"PSaleRate > 2,5"_s
                                             << u" ( PName = 'Tea' Or PSaleRate > 2.5 )"_s;
        QTest::newRow("join with an empty second value")
            << u"PCode <> P1"_s << u"And"_s << u"POpenQty >  "_s << u" ( PCode <> 'P1' )"_s;
        QTest::newRow("second value without a join")
            << u"PCode = P1"_s << QString() << u"POpenQty > 3"_s << u" ( PCode = 'P1' )"_s;
        QTest::newRow("only the second value")
            << u"PName Like "_s << u"And"_s << u"POpenQty >= 3"_s << u" ( 1=1 And POpenQty >= 3 )"_s;
        QTest::newRow("a quote stays text")
            << u"PName = O'Neil"_s << QString() << QString() << u" ( PName = 'O''Neil' )"_s;
        QTest::newRow("not a number") << u"PSaleRate < cheap"_s << QString() << QString() << QString();
        QTest::newRow("not a date") << u"PTranDate = 2026-02-30"_s << QString() << QString() << QString();
    }

    void filter()
    {
        QFETCH(QString, first);
        QFETCH(QString, join);
        QFETCH(QString, second);
        ProductUpdateState& state = *m_state;
        Condition(first, state.field1, state.op1, state.txtInqry1);
        if (!second.isEmpty())
            Condition(second, state.field2, state.op2, state.txtInqry2);
        state.join = int(ProductUpdateState::Joins().indexOf(join));
        QTEST(state.Filter().value_or(QString()), "filter");
        const QString filter = state.Filter().value_or(QString());
        state.List();
        if (filter.isEmpty()) {
            QCOMPARE(m_test->messages.shown.last(), u"Invalid Criteria !"_s);
        } else {
            // The statement as the screen builds it, counted by the database on its own.
            const int active
                = Scalar(u"Select Count(*) From ktProduct Where PActive='Y' And "_s + filter).toInt();
            QCOMPARE(state.rowCount(), active);
            QCOMPARE(m_test->messages.shown.last(), u"Total Records: %1"_s.arg(active));
        }
    }

    // The current row stays within the list, and the labels follow it.
    void moving()
    {
        ProductUpdateState& state = *m_state;
        state.List();
        state.Move(-1);
        QCOMPARE(state.currentRow, 0);
        state.Move(+1);
        QCOMPARE(state.currentRow, 1);
        QCOMPARE(state.codeLabel + u' ' + state.valueLabel,
            state.index(1, 1).data().toString() + u' ' + state.index(1, 3).data().toString());
        state.SetCurrentRow(state.rowCount() - 1);
        state.Move(+1);
        QCOMPARE(state.currentRow, state.rowCount() - 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("code"); // listed by PCode = ..., "-" not listed
        QTest::addColumn<QString>("answers"); // to the question, then the access code
        QTest::addColumn<QString>("shown");
        QTest::newRow("before a find") << u"-"_s << QString() << u"Find Records !"_s;
        QTest::newRow("nothing listed") << u"none"_s << QString() << u"No Records !"_s;
        QTest::newRow("No to the question") << QString() << u"NY"_s << u"Confirm Process ?"_s;
        QTest::newRow("wrong access code") << QString() << u"YN"_s << u"Confirm Process ?"_s;
    }

    void refusals()
    {
        QFETCH(QString, code);
        QFETCH(QString, answers);
        const QString before = Snapshot();
        if (code != u"-") {
            Condition(u"PCode = "_s + code, m_state->field1, m_state->op1, m_state->txtInqry1);
            m_state->List();
            m_state->txtUpdate = u"99"_s;
            m_state->StoreValue();
        }
        m_test->messages.shown.clear();
        m_access = !answers.endsWith(u'N');
        if (!answers.isEmpty())
            m_test->messages.Answer(answers.startsWith(u'Y'));
        m_state->Process();
        QTEST(m_test->messages.shown.join(u'|'), "shown");
        QCOMPARE(Snapshot(), before);
    }

    // New opening quantities for two listed products; an unlisted product whose closing
    // quantity was off is put right as well, and rows left at "-" keep their values.
    void openingQuantitiesRecomputeClosing()
    {
        Connection& connection = m_test->context.connection;
        connection.Execute(u"Update ktProduct Set PActive='N', PCloseQty=PCloseQty+5 Where EId=4"_s);
        // Each product as "EId:POpenQty", in id order; all but the first two stay.
        const auto openQty = [&] {
            return Scalar(u"Select Group_Concat(EId || ':' || POpenQty) From ktProduct"_s).toString();
        };
        const QString untouched = openQty().section(u',', 2);
        ProductUpdateState& state = *m_state;
        state.update = int(ProductUpdateState::UpdateColumns().indexOf(u"POpenQty"_s));
        state.List();
        QCOMPARE(state.index(0, 0).data().toString(), u"1"_s);
        state.txtUpdate = u"40"_s;
        state.StoreValue();
        state.Move(+1);
        state.txtUpdate = u"2,5"_s; // a whole number column keeps the nearest, halves to even
        state.StoreValue();
        m_test->messages.shown.clear();
        m_test->messages.Answer(true);
        state.Process();
        QCOMPARE(
            m_test->messages.shown, (QStringList { u"Confirm Process ?"_s, u"Record(s) Processed !"_s }));
        QCOMPARE(openQty(), u"1:40,2:2,"_s + untouched);
        QCOMPARE(Scalar(u"Select Count(*) From ktProduct Where IfNull(PCloseQty,0) <> "
                        "IfNull(POpenQty,0) + IfNull(PPurchQty,0) - IfNull(PSaleQty,0)"_s)
                     .toInt(),
            0);
        // The grid shows the stored values again, with nothing pending.
        QCOMPARE(state.index(0, 3).data().toString(), u"40"_s);
        QCOMPARE(state.index(0, 4).data().toString(), u"-"_s);
        connection.Execute(u"Update ktProduct Set PActive='Y'"_s);
    }

    void storeMoveAndProcess()
    {
        TestContext& test = *m_test;
        test.messages.shown.clear(); // the fixture's own state opened under the code too
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

        window.valueBox()->setFocus();
        QTest::keyClicks(window.valueBox(), u"x1"_s);
        QTest::keyClick(window.valueBox(), Qt::Key_Return);
        QCOMPARE(test.messages.shown.last(), u"Invalid Value !"_s);
        QVERIFY(window.valueBox()->hasFocus());
        QTest::keyClicks(window.valueBox(), u" 33 "_s);
        QTest::keyClick(window.valueBox(), Qt::Key_Return);
        QVERIFY(window.nextButton()->hasFocus());
        QCOMPARE(window.grid()->model()->index(0, 4).data().toString(), u"33"_s);
        QTest::mouseClick(window.nextButton(), Qt::LeftButton);
        QCOMPARE(window.grid()->currentIndex().row(), 1);

        test.messages.Answer(true);
        QTest::mouseClick(window.processButton(), Qt::LeftButton);
        QCOMPARE(test.messages.shown.last(), u"Record(s) Processed !"_s);
        const QString id = window.grid()->model()->index(0, 0).data().toString();
        QCOMPARE(
            test.context.connection.Scalar(u"Select POpenQty From ktProduct Where EId="_s + id).toInt(), 33);
    }

private:
    // "PName Like Te" into a condition's column, operator and value.
    void Condition(const QString& text, int& field, int& op, QString& value)
    {
        field = int(m_state->fieldNames.indexOf(text.section(u' ', 0, 0)));
        op = int(ProductUpdateState::Operators().indexOf(text.section(u' ', 1, 1)));
        value = text.section(u' ', 2);
        QVERIFY(field >= 0 && op >= 0);
    }
    QString Snapshot()
    {
        return Scalar(
            u"Select Group_Concat(EId || POpenQty || PSaleRate || PPurchRate || PCloseQty) From ktProduct"_s)
            .toString();
    }
    QVariant Scalar(const QString& statement) { return m_test->context.connection.Scalar(statement); }

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<ProductUpdateState> m_state;
    bool m_access = true;
};

QTEST_MAIN(ProductUpdateTest)
#include "tst_productupdate.moc"
