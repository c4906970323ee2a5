// The export of a register or document table into a workbook, read back by openpyxl and
// compared with the database; and find and replace over the same tables: every refusal of
// Replace, the access code, and the replacement written to exactly the found rows through the
// window's own controls.
#include "CriterionBuilder.h"
#include "DateText.h"
#include "ExportState.h"
#include "FindReplaceState.h"
#include "KvFindRepl.h"
#include "Settings.h"
#include "TestContext.h"
#include "WorkbookProbe.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        QVERIFY(m_folder.isValid());
    }

    void init()
    {
        m_test->messages.shown.clear();
        m_export = std::make_unique<ExportState>(m_test->context);
        m_replace.reset();
        m_access = true;
        m_asked = 0;
    }

    void statement_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("statement");

        QTest::newRow("nothing ticked: EId alone") << u"Product"_s << QStringList() << u"PCode"_s << u"Like"_s
                                                   << QString() << u"Select EId From ktProduct Where 1=1"_s;
        QTest::newRow("ticked in list order, text begins with")
            << u"Customer"_s << QStringList { u"CPhone"_s, u"CName"_s } << u"CName"_s << u"Like"_s << u"AB"_s
            << u"Select EId, CName, CPhone From ktCustomer Where CName Like 'AB%' "_s;
        QTest::newRow("EId ticked is still first and once")
            << u"BillMast"_s << QStringList { u"EId"_s, u"BNett"_s } << u"BNett"_s << u">="_s << u"1,5"_s
            << u"Select EId, EId, BNett From ktBillMast Where BNett >= 1.5"_s;
    }

    void statement()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        QFETCH(QString, column);
        QFETCH(QString, op);
        QFETCH(QString, value);
        QFETCH(QString, statement);
        ExportState& state = *m_export;
        Choose(table);
        for (qsizetype i = 0; i < state.fieldNames.size(); ++i)
            state.selected[size_t(i)] = fields.contains(state.fieldNames.at(i));
        state.crita = int(state.fieldNames.indexOf(column));
        state.op = int(CriterionBuilder::Operators().indexOf(op));
        state.txtCrita = value;
        state.List();
        QCOMPARE(state.SqlText, statement);
        const int count = Count(statement.section(u" From "_s, 1));
        QCOMPARE(m_test->messages.shown.value(0), u"Total Records: %1"_s.arg(count));
        QCOMPARE(state.model().rowCount() > 0, count > 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("before"); // what was done before Export
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("shown");

        const QStringList listed { u"Total Records: %1"_s };
        QTest::newRow("before any listing")
            << QString() << QString() << u"x.xlsx"_s << QStringList { u"List Records !"_s };
        QTest::newRow("table changed after the listing") << u"list, customers"_s << QString() << u"x.xlsx"_s
                                                         << listed + QStringList { u"List Records !"_s };
        QTest::newRow("empty listing") << u"list"_s << u"no such product"_s << u"x.xlsx"_s
                                       << QStringList { u"Total Records: 0"_s, u"No Records !"_s };
        QTest::newRow("no file") << u"list"_s << QString() << u"  "_s
                                 << listed + QStringList { u"Select File !"_s };
    }

    void refusals()
    {
        QFETCH(QString, before);
        QFETCH(QString, value);
        QFETCH(QString, file);
        QFETCH(QStringList, shown);
        ExportState& state = *m_export;
        Choose(u"Product"_s);
        state.crita = int(state.fieldNames.indexOf(u"PName"_s));
        state.txtCrita = value;
        if (before.startsWith(u"list"_s))
            state.List();
        if (before.endsWith(u"customers"_s))
            Choose(u"Customer"_s);
        state.txtFile = file;
        state.Export();
        if (shown.first().contains(u"%1"_s))
            shown.first() = shown.first().arg(Count(u"ktProduct"_s));
        QCOMPARE(m_test->messages.shown, shown);
        QVERIFY(!state.closed);
    }

    // Every column of every product, read back by another reader and compared with the table.
    void roundTrip()
    {
        ExportState& state = *m_export;
        Choose(u"Product"_s);
        state.SelectAll();
        state.List();
        const QString file = m_folder.filePath(u"products.xlsx"_s);
        state.txtFile = file;
        m_test->messages.Answer(true);
        int progressCalls = 0;
        state.Export([&](const QString& text) {
            ++progressCalls;
            QVERIFY(text.endsWith(u".."_s));
        });
        QCOMPARE(m_test->messages.shown.mid(1), (QStringList { u"Confirm Export ?"_s, u"Done !"_s }));
        QVERIFY(state.closed);
        QVERIFY(progressCalls >= 1);

        const QJsonObject book = ReadWithOpenpyxl(file);
        QCOMPARE(book.value(u"title"_s).toString(), u"Sheet1"_s);
        const QJsonArray rows = book.value(u"rows"_s).toArray();
        Recordset table(m_test->context.connection);
        table.Open(u"Select * From ktProduct Order By EId"_s);
        QCOMPARE(rows.size(), qsizetype(table.RecordCount() + 1));
        const QJsonArray header = rows.at(0).toArray();
        QCOMPARE(header.at(0).toString(), u"EId"_s);
        // EId, then every column of the table once more in table order.
        QCOMPARE(header.size(), qsizetype(table.FieldCount() + 1));
        for (int c = 0; c < table.FieldCount(); ++c)
            QCOMPARE(header.at(c + 1).toString(), table.Field(c).name);
        for (qsizetype r = 1; r < rows.size(); ++r, table.MoveNext()) {
            const QJsonArray row = rows.at(r).toArray();
            for (int c = 0; c < table.FieldCount(); ++c) {
                const QVariant value = table.Value(c);
                const QJsonValue cell = row.at(c + 1);
                if (value.isNull())
                    QVERIFY2(cell.isNull(), qPrintable(table.Field(c).name));
                else if (value.typeId() == QMetaType::QDate)
                    QCOMPARE(cell.toString(), ShortDate(value.toDate()));
                else if (value.typeId() == QMetaType::QString)
                    QCOMPARE(cell.toString(), value.toString());
                else
                    QCOMPARE(cell.toDouble(), value.toDouble());
            }
        }
    }

    void unwritableFileIsReported()
    {
        ExportState& state = *m_export;
        Choose(u"Customer"_s);
        state.List();
        const QString file = m_folder.filePath(u"no such folder/customers.xlsx"_s);
        state.txtFile = file;
        m_test->messages.Answer(true);
        state.Export();
        // Reported, and the export still runs on to its end.
        QCOMPARE(
            m_test->messages.shown.mid(1), (QStringList { u"Confirm Export ?"_s, u"ErroR!"_s, u"Done !"_s }));
        QVERIFY(m_test->ErrorLogLines().last().contains(u"customers.xlsx"_s));
        QVERIFY(!QFile::exists(file));
    }

    void replaceRefusals_data()
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

    void replaceRefusals()
    {
        QFETCH(bool, find);
        QFETCH(QString, criterion);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        FindReplaceState& state = Replacer();
        const QString before = Snapshot();
        if (find)
            FindProducts(criterion);
        m_test->messages.shown.clear();
        state.field = int(state.fieldNames.indexOf(field));
        state.txtField = text;
        state.Replace();
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
        FindReplaceState& state = Replacer();
        state.field = int(state.fieldNames.indexOf(u"PName"_s));
        state.txtField = u"Changed"_s;
        m_access = code;
        m_test->messages.Answer(confirm);
        state.Replace();
        QCOMPARE(m_test->messages.shown, QStringList { u"Confirm Replace ?"_s });
        QCOMPARE(m_asked, confirm ? 1 : 0);
        QCOMPARE(Snapshot(), before);
        // The found rows are still listed for another try.
        QVERIFY(state.HasFoundRows());
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
    FindReplaceState& Replacer()
    {
        if (!m_replace) {
            m_replace = std::make_unique<FindReplaceState>(m_test->context, [this] {
                ++m_asked;
                return m_access;
            });
            m_replace->Open();
        }
        return *m_replace;
    }
    void FindProducts(const QString& name)
    {
        FindReplaceState& state = Replacer();
        state.crita = int(state.fieldNames.indexOf(u"PName"_s));
        state.op = 0; // Like
        state.txtCrita = name;
        state.Find();
    }
    QString Snapshot()
    {
        return Scalar(u"Select Group_Concat(EId || PName || PSaleRate || PTranDate) From ktProduct"_s)
            .toString();
    }
    QVariant Scalar(const QString& statement) { return m_test->context.connection.Scalar(statement); }
    void Choose(const QString& table)
    {
        m_export->table = int(m_export->tables.indexOf(table));
        QVERIFY(m_export->table >= 0);
        m_export->LoadColumns();
    }
    int Count(const QString& from) { return Scalar(u"Select Count(*) From "_s + from).toInt(); }

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<ExportState> m_export;
    std::unique_ptr<FindReplaceState> m_replace;
    bool m_access = true;
    int m_asked = 0;
    QTemporaryDir m_folder;
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
