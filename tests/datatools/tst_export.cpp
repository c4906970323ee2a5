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
        ExportState& state = *m_export;
        Choose(table);
        for (qsizetype i = 0; i < state.fieldNames.size(); ++i)
            state.selected[size_t(i)] = fields.contains(state.fieldNames.at(i));
        state.crita = int(state.fieldNames.indexOf(column));
        state.op = int(CriterionBuilder::Operators().indexOf(op));
        state.txtCrita = value;
        state.List();
        QTEST(state.SqlText, "statement");
        const int count = Count(state.SqlText.section(u" From "_s, 1));
        QCOMPARE(m_test->messages.shown.value(0), u"Total Records: %1"_s.arg(count));
        QCOMPARE(state.model().rowCount() > 0, count > 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("before"); // what was done before Export
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("shown");

        const QStringList listed { u"Total Records: %1"_s.arg(Count(u"ktProduct"_s)) };
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
        QTEST(m_test->messages.shown, "shown");
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
        // EId, then every column of the table once more in table order; dates as the shop shows them.
        Recordset table(m_test->context.connection);
        table.Open(u"Select * From ktProduct Order By EId"_s);
        QJsonArray header { u"EId"_s };
        for (int c = 0; c < table.FieldCount(); ++c)
            header.append(table.Field(c).name);
        QJsonArray expected { header };
        for (; !table.Eof(); table.MoveNext()) {
            QJsonArray row { table.Value(0).toDouble() };
            for (int c = 0; c < table.FieldCount(); ++c) {
                const QVariant value = table.Value(c);
                row.append(value.typeId() == QMetaType::QDate ? QJsonValue(ShortDate(value.toDate()))
                                                              : QJsonValue::fromVariant(value));
            }
            expected.append(row);
        }
        QCOMPARE(QJsonDocument(book.value(u"rows"_s).toArray()).toJson(QJsonDocument::Compact),
            QJsonDocument(expected).toJson(QJsonDocument::Compact));
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

    // Replace refused, answered No, or under a wrong access code: nothing changes.
    void replaceRefused_data()
    {
        QTest::addColumn<QString>("found"); // PName Like ..., "-" for no Find
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("answers"); // to the question, then the access code
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("asked"); // times the access code was asked

        const QString name = u"PName"_s;
        QTest::newRow("before a find") << u"-"_s << name << u"x"_s << QString() << u"Find Records !"_s << 0;
        QTest::newRow("nothing found")
            << u"no such"_s << name << u"x"_s << QString() << u"No Records !"_s << 0;
        QTest::newRow("the record id")
            << QString() << u"EId"_s << u"5"_s << QString() << u"Invalid Field !"_s << 0;
        QTest::newRow("blank text") << QString() << name << u"   "_s << QString() << u"No Text !"_s << 0;
        QTest::newRow("text for a number")
            << QString() << u"PSaleRate"_s << u"ten"_s << QString() << u"Invalid Text !"_s << 0;
        QTest::newRow("no date for a date")
            << QString() << u"PTranDate"_s << u"2026-02-30"_s << QString() << u"Invalid Text !"_s << 0;
        QTest::newRow("No to the question")
            << QString() << name << u"Changed"_s << u"NY"_s << u"Confirm Replace ?"_s << 0;
        QTest::newRow("wrong access code")
            << QString() << name << u"Changed"_s << u"YN"_s << u"Confirm Replace ?"_s << 1;
    }

    void replaceRefused()
    {
        QFETCH(QString, found);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, answers);
        FindReplaceState& state = Replacer();
        const QString before = Snapshot();
        if (found != u"-")
            FindProducts(found);
        m_test->messages.shown.clear();
        state.field = int(state.fieldNames.indexOf(field));
        state.txtField = text;
        if (!answers.isEmpty())
            m_test->messages.Answer(answers.startsWith(u'Y'));
        m_access = !answers.endsWith(u'N');
        state.Replace();
        QTEST(m_test->messages.shown.join(u'|'), "shown");
        QTEST(m_asked, "asked");
        QCOMPARE(Snapshot(), before);
        // After a No or a wrong code the found rows are still listed for another try.
        QVERIFY(answers.isEmpty() || state.HasFoundRows());
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
