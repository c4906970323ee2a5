// The export of a register or document table into a workbook, read back by openpyxl and
// compared with the database.
#include "CriterionBuilder.h"
#include "DateText.h"
#include "ExportState.h"
#include "TestContext.h"
#include "WorkbookProbe.h"

#include <QJsonArray>
#include <QTest>
#include <QtMath>

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

    void cancelledDialogIsNoFile()
    {
        m_export->ChooseFile(u"*.Xls"_s);
        QCOMPARE(m_export->txtFile, QString());
        m_export->ChooseFile(u"/tmp/out.Xls"_s);
        QCOMPARE(m_export->txtFile, u"/tmp/out.Xls"_s);
    }

    void previewLimit()
    {
        ExportState& state = *m_export;
        Choose(u"Product"_s);
        state.crita = int(state.fieldNames.indexOf(u"EId"_s));
        state.op = int(CriterionBuilder::Operators().indexOf(u"<="_s));
        state.txtCrita = u"1000"_s;
        const int upTo1000 = Count(u"ktProduct Where EId <= 1000"_s);
        state.List();
        QCOMPARE(state.countLabel, QString::number(upTo1000));
        QCOMPARE(state.gridTip, QString());
        // More than 1000 products: copies of the demo's under new codes.
        while (Count(u"ktProduct"_s) <= 1000)
            m_test->context.connection.ExecuteRaw(
                u"INSERT INTO ktProduct (EDate, PCode, PName, PGId, POpenQty, "
                "PActive) SELECT EDate, PCode || 'c', PName, PGId, POpenQty, "
                "PActive FROM ktProduct"_s);
        state.txtCrita.clear();
        state.List();
        QCOMPARE(state.countLabel, u">1000"_s);
        QCOMPARE(state.gridTip, u"Partial Record List"_s);
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
        // A width of 10 characters is stored with the cell padding the spreadsheet adds.
        QCOMPARE(qFloor(book.value(u"width"_s).toDouble()), 10);
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

private:
    void Choose(const QString& table)
    {
        m_export->table = int(m_export->tables.indexOf(table));
        QVERIFY(m_export->table >= 0);
        m_export->LoadColumns();
    }
    int Count(const QString& from)
    {
        return m_test->context.connection.Scalar(u"Select Count(*) From "_s + from).toInt();
    }

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<ExportState> m_export;
    QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(ExportTest)
#include "tst_export.moc"
