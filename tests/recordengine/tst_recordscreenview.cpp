// The generic register window over a screen's state: what it shows, and what it sends back.
#include "DocumentLines.h"
#include "EngineFixture.h"
#include "LineGrid.h"
#include "RecordScreenView.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class RecordScreenViewTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<EngineFixture>(TempDatabase::Content::Demo); }
    void cleanup()
    {
        m_view.reset();
        f.reset();
    }

    void showsTheScreenAndFollowsIt()
    {
        RecordScreenView& view = Show(u"KvProduct"_s);
        QCOMPARE(view.valueBox(3)->text(), m_screen->Text(3));
        QVERIFY(!view.frame()->isEnabled());

        StartEditing();
        // Editing puts the focus in the first field that can be typed into.
        QCOMPARE(QApplication::focusWidget(), view.valueBox(2));
        // The engine changes the state, the window follows.
        m_screen->SetText(3, u"Masala Chai"_s);
        m_screen->NotifyChanged();
        QCOMPARE(view.valueBox(3)->text(), u"Masala Chai"_s);

        // Typing and the buttons reach the screen; a box holds no more than its column does.
        QLineEdit* remarks = view.valueBox(18);
        remarks->setFocus();
        remarks->selectAll();
        QTest::keyClicks(remarks, u"Gift's line and more than twenty"_s);
        QCOMPARE(m_screen->Text(18), u"Gift's line and more"_s);
        f->host.AnswerPick(u"3"_s, u"Dairy"_s);
        view.button(4)->click();
        QCOMPARE(view.valueBox(4)->text(), u"3"_s);
        QCOMPARE(view.hint(4)->text(), u"Dairy"_s);
        QSignalSpy exit(&view, &RecordScreenView::exitRequested);
        QTest::keyClick(remarks, Qt::Key_Escape);
        QCOMPARE(exit.count(), 1);
    }

    // A password is typed blind.
    void passwordHidden() { QCOMPARE(Show(u"KvUser"_s).valueBox(3)->echoMode(), QLineEdit::Password); }

    // A document shows its lines with the grid's columns; the "x" removes a line only while
    // the document is edited, and only after "Remove Product ?".
    void documentLineGrid()
    {
        Connection& db = f->context().connection;
        db.Execute(
            u"Insert Into ktPurcMast (EId, EDate, PUId, PReceipt, PSId) Values (999999, #3/5/2026#, 1, 'R-1', 1)"_s);
        for (const char* code : { "A1", "B2", "C3" })
            db.Execute(
                u"Insert Into ktPurcDetl Values (999999, #3/5/2026#, 'x', ?, 'Item', 2, 1.5, 3, 0, 3, 'T')"_s,
                { QString::fromLatin1(code) });
        RecordScreenView& view = Show(u"KvPurchase"_s);
        QTableView* grid = view.lineGrid();
        QCOMPARE(grid->model()->rowCount(), 3);
        m_screen->lines->Recount(f->context(), *m_screen);

        auto clickX = [&](int row) {
            const QRect cell = grid->visualRect(grid->model()->index(row, LineGrid::DelColumn));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        };
        clickX(1); // browsing: the stored purchase stays as it is
        StartEditing();
        f->messages().Answer(false);
        clickX(1);
        QCOMPARE(grid->model()->rowCount(), 3);
        f->messages().Answer(true);
        clickX(1);
        QCOMPARE(f->messages().shown.last(), u"Remove Product ?"_s);
        QCOMPARE(grid->model()->index(1, LineGrid::CodeColumn).data().toString(), u"C3"_s);
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(m_screen->lines->Grid().DocItems(), 4);
    }

private:
    RecordScreenView& Show(const QString& name)
    {
        f->screen = BuildRecordScreen(name);
        m_screen = f->screen.get();
        m_view = std::make_unique<RecordScreenView>(f->context(), f->engine, *m_screen);
        f->engine.OpenRecordScreen(*m_screen);
        m_view->show();
        if (!QTest::qWaitForWindowExposed(m_view.get()))
            qFatal("the window did not show");
        return *m_view;
    }
    void StartEditing()
    {
        m_screen->frameEnabled = true;
        m_screen->NotifyChanged();
    }

    std::unique_ptr<EngineFixture> f;
    RecordScreen* m_screen = nullptr;
    std::unique_ptr<RecordScreenView> m_view;
};

QTEST_MAIN(RecordScreenViewTest)
#include "tst_recordscreenview.moc"
