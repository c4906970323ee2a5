// The register screens as built from the schema, the rules the record engine runs for them,
// the look-up captions beside their fields, and the generic register window over a screen's
// state (what it shows, and what it sends back), on the demo shop.
#include "DocumentLines.h"
#include "EngineFixture.h"
#include "LineGrid.h"
#include "RecordScreenView.h"
#include "Settings.h"

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

class RegisterScreensTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<EngineFixture>(TempDatabase::Content::Demo); }
    void cleanup()
    {
        m_view.reset();
        m_row.reset();
        f.reset();
    }

    // Every register matches its table: one field a column, the id never typed, and every
    // unique field carries its own column for the uniqueness test.
    void screenDesign()
    {
        for (const ScreenEntry& entry : ScreenCatalogue()) {
            if (!entry.detailTable.isEmpty())
                continue; // the document screens keep their lines in a detail table
            const auto built = BuildRecordScreen(entry.name);
            const TableDef* def = Schema::Find(built->table);
            QVERIFY2(def, qPrintable(entry.name));
            QCOMPARE(built->FieldCount(), int(def->columns.size()));
            QCOMPARE(built->lastField, def->LastField());
            QVERIFY(built->field(0).readOnly && !built->field(0).typeable);
            for (int i = 0; i < built->FieldCount(); ++i) {
                const Field& field = built->field(i);
                const bool unique
                    = field.descriptor == u"U" || field.descriptor == u"UF" || field.descriptor == u"V";
                QCOMPARE(field.column, unique ? def->columns[size_t(i)].name : QString());
            }
        }
    }

    void productStockOnSave_data()
    {
        QTest::addColumn<QVariant>("purchased");
        QTest::addColumn<QVariant>("sold");
        QTest::addColumn<qlonglong>("close");
        QTest::newRow("sold beyond stock") << QVariant(0) << QVariant(12) << -2LL;
        QTest::newRow("nothing moved yet") << QVariant() << QVariant() << 10LL;
    }
    void productStockOnSave()
    {
        QFETCH(QVariant, purchased);
        QFETCH(QVariant, sold);
        f->db().Execute(
            u"Update ktProduct Set POpenQty=10, PPurchQty=?, PSaleQty=?, PCloseQty=99, PTranDate=Null "
            "Where EId=3"_s,
            { purchased, sold });
        Saved(u"KvProduct"_s, u"ktProduct"_s, 3);
        QTEST(f->Scalar(u"Select PCloseQty From ktProduct Where EId=3"_s).toLongLong(), "close");
        QCOMPARE(
            f->Scalar(u"Select PTranDate From ktProduct Where EId=3"_s).toDate(), TempDatabase::FixedToday());
    }

    void administratorLogin_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("letter case of the administrator stays") << 1 << u"cHiEf"_s << u"cHiEf"_s;
        QTest::newRow("renamed administrator") << 1 << u"boss"_s << u"Chief"_s;
        QTest::newRow("other user renamed freely") << 2 << u"boss"_s << u"boss"_s;
    }
    void administratorLogin()
    {
        QFETCH(int, id);
        QFETCH(QString, typed);
        f->db().Execute(u"Update kaUser Set ULogin=? Where EId=?"_s, { typed, id });
        Saved(u"KvUser"_s, u"kaUser"_s, id);
        QTEST(f->Scalar(u"Select ULogin From kaUser Where EId=%1"_s.arg(id)).toString(), "stored");
    }

    // Saving a settings screen reloads what the program runs with.
    void settingsScreensReloadOnSave()
    {
        LoadPreferences(f->context());
        LoadCustomize(f->context());
        QCOMPARE(f->context().ToolbarToggleCaption, u"+"_s);
        f->db().Execute(
            u"Update kaEnterprise Set EName='Corner Store', EShort='Corner', EPasscd='Open''Up', "
            "EAddress1='1 Main St', EAddress2='Unit 2', ECity='Leeds', EState='WY', ECountry='UK', "
            "EPhone='0113' Where EId=1"_s);
        f->db().Execute(u"Update kaPreference Set PAmtRoun='0'"_s);
        f->db().Execute(u"Update kaCustomize Set CToolShow='N'"_s);

        Saved(u"KvEnterprise"_s, u"kaEnterprise"_s, 1);
        QCOMPARE(f->context().login.EnterpriseAccessCode, u"Open'Up"_s);
        QCOMPARE(f->context().login.EnterpriseAddress, u"1 Main St Unit 2 :: Leeds WY UK # 0113"_s);
        QCOMPARE(f->host.calls, QStringList { u"ShowEnterpriseShort(Corner)"_s });
        Saved(u"KvPreference"_s, u"kaPreference"_s, 1);
        QCOMPARE(f->context().preferences.PAmtRoun, u"0"_s);
        Saved(u"KvCustomize"_s, u"kaCustomize"_s, 1);
        QCOMPARE(f->context().ToolbarToggleCaption, u"-"_s);
        QCOMPARE(f->host.calls.mid(1), QStringList { u"SetupMainWindow()"_s });
    }

    // The caption beside an id field: what is typed is a value, never part of the statement.
    void lookup_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint"); // a statement giving the caption, or the caption
        const QString byId = u"Select GName From kmGroup Where EId="_s;
        const QString byName = u"Select GRemarks From kmGroup Where GName='"_s;
        QTest::newRow("id found") << byId << u"2"_s << u"Select GName From kmGroup Where EId=2"_s;
        QTest::newRow("empty field runs nothing") << byId << u""_s << u""_s;
        QTest::newRow("text after an unquoted statement") << byId << u"2 Or 1=1"_s << u""_s;
        QTest::newRow("quoted, quote inside") << byName << u"o'brien"_s << u"Irish goods"_s;
        QTest::newRow("quoted, fragment stays text") << byName << u"x' Or 'a'='a"_s << u""_s;
    }
    void lookup()
    {
        f->Insert("kmGroup", { 901, TempDatabase::FixedToday(), u"O'Brien"_s, 0.0, u"Irish goods"_s });
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        auto screen = ScreenOf(u"ktProduct"_s);
        screen->field(4).text = text;
        screen->field(4).hint = u"stale"_s;
        RecordEngine::ShowLookup(f->context(), *screen, 4, sql);
        QCOMPARE(screen->field(4).hint, hint.startsWith(u"Select"_s) ? f->Scalar(hint).toString() : hint);
        QCOMPARE(f->messages().shown, QStringList());
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
        QCOMPARE(f->messages().shown, QStringList(2, u"Remove Product ?"_s));
        QCOMPARE(u"%1 %2 %3"_s.arg(grid->model()->rowCount())
                     .arg(grid->model()->index(1, LineGrid::CodeColumn).data().toString())
                     .arg(m_screen->lines->Grid().DocItems()),
            u"2 C3 4"_s);
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

    // Runs the screen's after-save rules on the stored row, as the engine hands it to them.
    void Saved(const QString& name, const QString& table, int id)
    {
        m_built = BuildRecordScreen(name);
        m_row = std::make_unique<Recordset>(f->db());
        m_row->Open(u"Select * From %1 Where EId= %2"_s.arg(table).arg(id));
        m_built->rules->AfterSave(f->context(), f->host, *m_built, *m_row);
    }

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<RecordScreen> m_built;
    std::unique_ptr<Recordset> m_row;
    RecordScreen* m_screen = nullptr;
    std::unique_ptr<RecordScreenView> m_view;
};

QTEST_MAIN(RegisterScreensTest)
#include "tst_registerscreens.moc"
