// The import of a workbook's Sheet1 into a register table: workbooks written by other
// programs (openpyxl, xlwt) and by the export, read back and compared row by row; the bad
// files a shop may pick; a row the table refuses; a crash in the middle of an import.
#include "ChildProcess.h"
#include "DatabasePassword.h"
#include "DateText.h"
#include "ExportState.h"
#include "ImportState.h"
#include "Recordset.h"
#include "SheetRowScanner.h"
#include "StartupFiles.h"
#include "TestContext.h"
#include "WorkbookProbe.h"
#include "WorkbookReader.h"

#include <cstring>
#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTest>
#include <xlsxwriter.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// The crash test's child: its first error notice ends the process at once, in the middle of
// the import's transaction.
class CrashingMessages : public Messages {
public:
    void Notice(const QString& text) override
    {
        if (text == u"ErroR!")
            ::_exit(42);
    }
    bool Ask(const QString&) override { return true; }
};

QJsonArray Row(std::initializer_list<QJsonValue> values)
{
    return QJsonArray(values);
}

} // namespace

class ImportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo);
    }

    void init()
    {
        m_test->messages.shown.clear();
        m_import = std::make_unique<ImportState>(m_test->context);
    }

    // Rows of a sheet part as other writers lay them out, fed in slices of every small size so
    // that each element and entity is cut somewhere. Cells read "column:type:value", rows "|".
    void scanner_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("rows");

        QTest::newRow("values and inline text") << QByteArray(
            R"(<?xml version="1.0"?><worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>Tea &amp; cake</t></is></c>)"
            R"(<c r="C1" s="2"><v>12.5</v></c></row></sheetData></worksheet>)")
                                                << u"0:inlineStr:Tea & cake 2::12.5 |"_s;
        QTest::newRow("prefixed names, no references, self-closing cells") << QByteArray(
            R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row><x:c t='s'><x:v>3</x:v></x:c><x:c/>)"
            R"(<x:c><x:f>1+1</x:f><x:v>2</x:v></x:c></x:row><x:row/></x:sheetData></x:worksheet>)")
                                                                           << u"0:s:3 1:: 2::2 ||"_s;
        QTest::newRow("rich text runs, phonetic text left out, references")
            << QByteArray(
                   R"(<row><c r="B7" t="inlineStr"><is><r><t>Ab</t></r><r><t xml:space="preserve"> cd</t></r>)"
                   R"(<rPh><t>ignored</t></rPh></is></c><c r="D7" t="str"><v>&#72;&#x49;&lt;&gt;</v></c></row>)")
            << u"1:inlineStr:Ab cd 3:str:HI<> |"_s;
        QTest::newRow("comment and character data")
            << QByteArray(R"(<row><!-- a > b --><c t="inlineStr"><is><t><![CDATA[x<y]]></t></is></c></row>)")
            << u"0:inlineStr:x<y |"_s;
    }

    void scanner()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, rows);
        for (int slice = 1; slice <= 9; ++slice) {
            QString read;
            const auto cell = [&](const SheetRowScanner::Cell& c) {
                read += u"%1:%2:%3 "_s.arg(c.column).arg(
                    QString::fromUtf8(c.type), QString::fromUtf8(c.value));
            };
            const auto row = [&] {
                read += u'|';
                return true;
            };
            QCOMPARE(Scan(xml, slice).Read(cell, row), QString());
            QCOMPARE(read, rows);
        }
        // Cut short inside a row, the part is damaged.
        QCOMPARE(Scan(xml.left(xml.indexOf("</")), 4096)
                     .Read([](const SheetRowScanner::Cell&) {}, [] { return true; }),
            u"the sheet ends early"_s);
    }

    // A sheet by openpyxl with every kind of cell the import meets, imported into products.
    void sheetFromAnotherWriter()
    {
        const QString file = m_folder.filePath(u"mixed.xlsx"_s);
        QVERIFY(WriteWithOpenpyxl(file, Json(R"({"rows": [
            ["EId", " pcode ", "pname", "PSaleRate", "POpenQty", "EDate", "PRemarks", "PPurchRate"],
            [900, "M1", "Tea", 12.5, "7", "2020-01-02", "merged", null],
            [901, "M2", "Coffee", "cheap", 3, "2020-01-03", null, 1],
            [902, "M3", "  ", 4, null, "2020-01-04", "x", 2]],
            "dates": ["F2", "F3", "F4"], "merge": ["G2:G3"], "formulas": {"H2": ["=2*3", 6]}})")));
        QCOMPARE(ImportAll(u"Product"_s, file), 3);
        // Code, name, sale rate, open qty, entry date, remarks, purchase rate, and the closing
        // quantity by the stock rule, whatever the sheet had.
        QCOMPARE(Rows(u"Select PCode, PName, PSaleRate, POpenQty, EDate, PRemarks, PPurchRate, PCloseQty "
                      "From ktProduct Where PCode Like 'M%' Order By PCode"_s),
            (QStringList {
                u"M1|Tea|12.5|7|2026-03-05|merged|6|7"_s, // the formula's cached value
                u"M2|Coffee|0|3|2026-03-05|-|1|3"_s, // text in a number column: the default
                u"M3|-|4|0|2026-03-05|x|2|0"_s, // blank text and an empty cell: the defaults
            }));
        // EId is the database's own, never the sheet's.
        QCOMPARE(Scalar(u"Select Count(*) From ktProduct Where EId In (900, 901, 902)"_s).toInt(), 0);
    }

    void xlsWorkbook()
    {
        const QString file = m_folder.filePath(u"old.xls"_s);
        QVERIFY(WriteWithXlwt(file, Json(R"({"rows": [["PCode", "PName", "PSaleRate", "PTranDate"],
            ["X1", "Soap", 2.25, "2021-05-06"], ["X2", "Salt", 1, "2021-05-07"]], "dates": ["D2", "D3"]})")));
        QCOMPARE(ImportAll(u"Product"_s, file), 2);
        QCOMPARE(
            Scalar(u"Select PName || ' ' || PSaleRate || ' ' || PTranDate From ktProduct Where PCode='X1'"_s)
                .toString(),
            u"Soap 2.25 2026-03-05"_s);
    }

    // Customers exported by the program and imported again come back unchanged; the export
    // writes dates as text, which the import takes over.
    void exportedWorkbookComesBack()
    {
        const QString file = m_folder.filePath(u"customers.xlsx"_s);
        ExportState exporter(m_test->context);
        exporter.table = int(exporter.tables.indexOf(u"Customer"_s));
        exporter.LoadColumns();
        exporter.SelectAll();
        exporter.List();
        exporter.txtFile = file;
        m_test->messages.Answer(true);
        exporter.Export();
        const QString columns
            = u"EDate, CName, CAddress, CCity, CState, CCountry, CZipCode, CPhone, CEmail, CCode, CActive, CRemarks"_s;
        const QStringList before = Rows(u"Select "_s + columns + u" From ktCustomer Order By EId"_s);
        QVERIFY(!before.isEmpty());
        m_test->context.connection.Execute(u"Delete From ktCustomer"_s);
        QCOMPARE(ImportAll(u"Customer"_s, file), before.size());
        QCOMPARE(Rows(u"Select "_s + columns + u" From ktCustomer Order By EId"_s), before);
    }

    // A workbook with a shared string table, as most spreadsheet programs write it.
    void sharedStrings()
    {
        const QString file = m_folder.filePath(u"shared.xlsx"_s);
        lxw_workbook* book = workbook_new(QFile::encodeName(file).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, "sheet1");
        worksheet_write_string(sheet, 0, 0, "SCompany", nullptr);
        worksheet_write_string(sheet, 0, 1, "SCity", nullptr);
        for (int r = 1; r <= 3; ++r) {
            worksheet_write_string(
                sheet, lxw_row_t(r), 0, QStringLiteral("Firm %1").arg(r).toUtf8().constData(), nullptr);
            worksheet_write_string(sheet, lxw_row_t(r), 1, "Oslo", nullptr);
        }
        QCOMPARE(int(workbook_close(book)), int(LXW_NO_ERROR));
        QCOMPARE(ImportAll(u"Supplier"_s, file), 3);
        QCOMPARE(
            Rows(
                u"Select SCompany || '/' || SCity From ktSupplier Where SCompany Like 'Firm %' Order By EId"_s),
            (QStringList { u"Firm 1/Oslo"_s, u"Firm 2/Oslo"_s, u"Firm 3/Oslo"_s }));
    }

    void badFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "" with "sheet" set: written by openpyxl
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("problem");

        QTest::newRow("empty file") << u"empty.xlsx"_s << QByteArray() << QString() << u"the file is empty"_s;
        QTest::newRow("text file renamed")
            << u"notes.xlsx"_s << QByteArray("PCode,PName\nA1,Tea\n") << QString() << u"not a workbook"_s;
        QTest::newRow("damaged archive")
            << u"cut.xlsx"_s << QByteArray("PK\x03\x04 and then nothing") << QString() << u"damaged"_s;
        QTest::newRow("password protected")
            << u"locked.xlsx"_s
            << (QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0')
                   + QByteArray(reinterpret_cast<const char*>(u"EncryptedPackage"), 32))
            << QString() << u"protected by a password"_s;
        QTest::newRow("damaged old workbook")
            << u"cut.xls"_s << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 short", 14) << QString()
            << u"damaged"_s;
        QTest::newRow("no Sheet1") << u"other.xlsx"_s << QByteArray() << u"Prices"_s
                                   << u"no sheet named Sheet1"_s;
        QTest::newRow("missing file") << u"gone.xlsx"_s << QByteArray() << u"-"_s << u"does not exist"_s;
    }

    void badFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, sheet);
        QFETCH(QString, problem);
        const QString file = m_folder.filePath(name);
        if (sheet.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        } else if (sheet != u"-") {
            QVERIFY(WriteWithOpenpyxl(file, Json(R"({"sheet": "Prices", "rows": [["PCode"], ["Z1"]]})")));
        }
        const int before = Scalar(u"Select Count(*) From ktProduct"_s).toInt();
        m_import->txtFile = file;
        m_import->List();
        QCOMPARE(m_test->messages.shown.value(0), u"ErroR!"_s);
        const QString notice = m_test->messages.shown.value(1);
        QVERIFY2(notice.startsWith(u"Cannot Read "_s + name) && notice.contains(problem), qPrintable(notice));
        m_import->Import();
        // Nothing was listed, so nothing can be chosen or imported.
        QCOMPARE(m_test->messages.shown.mid(2), QStringList { u"Select Fields !"_s });
        QCOMPARE(Scalar(u"Select Count(*) From ktProduct"_s).toInt(), before);
    }

    // A workbook damaged anywhere (bytes changed, the file cut short) is read or refused with
    // a reason, never a crash.
    void damagedAnywhere()
    {
        const QString good = m_folder.filePath(u"good.xlsx"_s);
        QJsonArray rows { Row({ u"A"_s, u"B"_s }) };
        for (int i = 0; i < 100; ++i)
            rows.append(Row({ u"text %1 & <x>"_s.arg(i), i * 1.5 }));
        QVERIFY(WriteWithOpenpyxl(good, { { u"rows"_s, rows }, { u"merge"_s, QJsonArray { u"A3:B4"_s } } }));
        QFile file(good);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        QRandomGenerator random(11);
        const QString damaged = m_folder.filePath(u"damaged.xlsx"_s);
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = original;
            for (int k = 0; k < 1 + int(random.bounded(8)); ++k)
                bytes[qsizetype(random.bounded(quint32(bytes.size())))] = char(random.bounded(256));
            if (round % 10 == 0)
                bytes.truncate(qsizetype(random.bounded(quint32(bytes.size()))));
            QFile out(damaged);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
            out.close();
            try {
                WorkbookReader::ReadSheet(damaged, [](const QVariantList&) { return true; });
            } catch (const DbError& error) {
                QVERIFY(error.description.startsWith(u"damaged.xlsx: "_s));
            }
        }
    }

    // Columns the table lacks are named and nothing is imported (no column selected is the bad
    // files' case).
    void refusals()
    {
        const QString file = Workbook(
            u"refused.xlsx"_s, Json(R"({"rows": [["PCode", "Colour", "Size"], ["R1", "red", 4]]})"));
        const int before = Scalar(u"Select Count(*) From ktProduct"_s).toInt();
        QAbstractItemModelTester tester(
            &m_import->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_import->txtFile = file;
        m_import->List();
        QCOMPARE(m_test->messages.shown, QStringList { u"Total Records: 1"_s });
        QCOMPARE(m_import->model().Text(0, 2), u"4.00"_s);
        m_test->messages.shown.clear();
        m_import->SelectAll();
        m_import->Import();
        QCOMPARE(m_test->messages.shown, QStringList { u"Invalid Fields:\n\nColour\nSize\n"_s });
        QCOMPARE(Scalar(u"Select Count(*) From ktProduct"_s).toInt(), before);
        QVERIFY(!m_import->endProgram);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("codes"); // imported, or the message
        QTest::newRow("text begins with, any case") << u"PName"_s << u"Like"_s << u"te"_s << u"F1 F3"_s;
        QTest::newRow("number with a decimal comma") << u"PSaleRate"_s << u">="_s << u"2,5"_s << u"F2 F3"_s;
        QTest::newRow("not a number") << u"PSaleRate"_s << u"="_s << u"two"_s << u"Invalid Criteria !"_s;
    }

    void filter()
    {
        QFETCH(QString, column);
        QFETCH(QString, op);
        QFETCH(QString, value);
        QFETCH(QString, codes);
        const QString file = Workbook(u"filter.xlsx"_s,
            Json(
                R"({"rows": [["PCode", "PName", "PSaleRate"], ["F1", "Tea", 1], ["F2", "Rice", 2.5],
            ["F3", "Tea cake", 3]]})"));
        m_test->context.connection.Execute(u"Delete From ktProduct Where PCode Like 'F%'"_s);
        m_import->txtFile = file;
        m_import->List();
        m_import->crita = int(m_import->fieldNames.indexOf(column));
        m_import->op
            = int(QStringList { u"Like"_s, u"="_s, u"<>"_s, u">"_s, u">="_s, u"<"_s, u"<="_s }.indexOf(op));
        m_import->txtCrita = value;
        m_test->messages.shown.clear();
        m_import->Filter();
        if (codes.endsWith(u" !"_s)) {
            QCOMPARE(m_test->messages.shown, QStringList { codes });
            return;
        }
        m_import->SelectAll();
        m_test->messages.Answer(true);
        m_import->Import();
        QCOMPARE(
            Rows(u"Select PCode From ktProduct Where PCode Like 'F%' Order By PCode"_s).join(u' '), codes);
    }

    // Rows the table cannot take (a code longer than its column) are reported and left out:
    // the first at once, the others together at the end; the rows around them are kept, and
    // the program then ends after the day's archive is gone.
    void refusedRowsAreSkipped()
    {
        const QString file = Workbook(u"long.xlsx"_s,
            Json(R"({"rows": [["PCode", "PName"], ["L1", "Fine"], ["L2-much-too-long-for-a-code", "Refused"],
            ["L3", "Fine"], ["L4-much-too-long-for-a-code", "Refused"],
            ["L5-much-too-long-for-a-code", "Refused"]]})"));
        const QString archive = TodaysArchiveFile(m_test->context.locations, TempDatabase::FixedToday());
        QVERIFY(archive.endsWith(u"/Arc/Ki260304.Kvd"_s));
        QFile(archive).open(QIODevice::WriteOnly);
        QVERIFY(QFile::exists(archive));

        m_import->txtFile = file;
        m_import->List();
        m_import->SelectAll();
        m_test->messages.Answer(true);
        m_import->Import();
        QCOMPARE(m_test->messages.shown,
            (QStringList { u"Total Records: 5"_s, u"Confirm Import ?"_s, u"ErroR!"_s, u"ErroR!"_s,
                u"Done !"_s, u"Closing App...\nDB Refresh Required !"_s }));
        const QStringList log = m_test->ErrorLogLines();
        QVERIFY2(log.value(log.size() - 2).contains(u"Listed row 2: "_s), qPrintable(log.join(u'\n')));
        QVERIFY2(log.last().contains(u"2 more listed rows were not imported (rows 4, 5)"_s),
            qPrintable(log.last()));
        QCOMPARE(Rows(u"Select PCode From ktProduct Where PCode Like 'L%' Order By PCode"_s),
            (QStringList { u"L1"_s, u"L3"_s }));
        QVERIFY(m_import->endProgram);
        QVERIFY(!QFile::exists(archive));
    }

    // The process dies in the middle of an import, at its first error notice: the table is as
    // it was before.
    void crashLeavesTheTableAsItWas()
    {
        QJsonArray rows { Row({ u"PCode"_s, u"PName"_s }) };
        for (int i = 0; i < 600; ++i)
            rows.append(Row({ i == 400 ? u"C-this-code-is-far-too-long"_s : u"C%1"_s.arg(i), u"Crash"_s }));
        const QString file = Workbook(u"crash.xlsx"_s, { { u"rows"_s, rows } });
        const int before = Scalar(u"Select Count(*) From ktProduct"_s).toInt();
        const int status = InChild([&] {
            CrashingMessages messages;
            ProgramContext context(messages);
            context.SetLocations(InitLocations(m_test->database.folder()));
            context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
            ImportState import(context);
            import.txtFile = file;
            import.List();
            import.SelectAll();
            import.Import();
        });
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 42);
        // Reopened as the next start would: the interrupted transaction is gone.
        m_test->context.connection.Close();
        m_test->context.connection.Open(m_test->context.locations.DatabaseFile(), DatabasePassword());
        QCOMPARE(Scalar(u"Select Count(*) From ktProduct"_s).toInt(), before);
    }

private:
    // A scanner over the bytes, handed out `slice` bytes at a time at most.
    static SheetRowScanner Scan(QByteArray xml, qint64 slice)
    {
        return SheetRowScanner([xml, slice, at = qsizetype(0)](char* buffer, qint64 size) mutable {
            const qint64 n = qMin(qMin(size, slice), xml.size() - at);
            std::memcpy(buffer, xml.constData() + at, size_t(n));
            at += n;
            return n;
        });
    }
    // Lists the workbook, selects every column and imports into the table; the rows added.
    int ImportAll(const QString& table, const QString& file)
    {
        const QString from = u"kt"_s + table;
        const int before = Scalar(u"Select Count(*) From "_s + from).toInt();
        m_import = std::make_unique<ImportState>(m_test->context);
        m_import->table = int(m_import->tables.indexOf(table));
        m_import->txtFile = file;
        m_import->List();
        m_import->SelectAll();
        m_test->messages.Answer(true);
        m_import->Import();
        return Scalar(u"Select Count(*) From "_s + from).toInt() - before;
    }
    QStringList Rows(const QString& statement)
    {
        QStringList rows;
        Recordset rs(m_test->context.connection);
        rs.Open(statement);
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList cells;
            for (int c = 0; c < rs.FieldCount(); ++c)
                cells << rs.Text(c);
            rows << cells.join(u'|');
        }
        return rows;
    }
    QVariant Scalar(const QString& statement) { return m_test->context.connection.Scalar(statement); }
    // A workbook written by openpyxl into the test folder: its path.
    QString Workbook(const QString& name, const QJsonObject& book)
    {
        const QString file = m_folder.filePath(name);
        return WriteWithOpenpyxl(file, book) ? file : QString();
    }

    QTemporaryDir m_folder;
    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<ImportState> m_import;
};

QTEST_GUILESS_MAIN(ImportTest)
#include "tst_import.moc"
