// The real program on a demo shop, driven from outside as a user works (see
// tests/program/tst_endtoend.cpp for the screen driver): every product exported through
// Transaction > Export.., then a workbook of suppliers imported through Transaction > Import..,
// after which the program ends by itself. The workbooks are read and written with openpyxl,
// the database with kivo-admin.
#include "ProgramRun.h"
#include "ScriptedProgram.h"
#include "WorkbookProbe.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// EXPORT and IMPORT stand for the two workbooks' paths.
const char* const Script = R"(menu Transaction/Export..
window Export
focus cmbTable
answer <     All
answer <    List
message Total Records: PRODUCTS
answer OK
key Tab, Tab, Tab, Tab
key Tab, Tab, Tab, Tab
focus txtFile
type EXPORT
answer Export  >
message Confirm Export ?
answer Yes
message Done !
answer OK
closed Export
menu Transaction/Import..
window Import
focus cmbTable
key Down, Down, Down
key Tab
focus txtFile
type IMPORT
answer <    List
message Total Records: 2
answer OK
answer <     All
answer Import  >
message Confirm Import ?
answer Yes
message Done !
answer OK
answer OK
)";

} // namespace

class ProgramDataToolsTest : public QObject {
    Q_OBJECT
private slots:
    void exportThenImport()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data, u"--demo"_s }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { return AdminRows(data, statement); };
        const QString products = sql(u"Select Count(*) From ktProduct"_s);
        const QString exported = work.filePath(u"products.xlsx"_s);
        const QString imported = work.filePath(u"suppliers.xlsx"_s);
        QVERIFY(WriteWithOpenpyxl(
            imported, Json(R"({"rows": [["SCompany", "scity", "EId"], ["Harbour Foods", "Bergen", 1],
            ["Fjord Dairy", null, 2]]})")));
        const int suppliers = sql(u"Select Count(*) From ktSupplier"_s).toInt();
        const QByteArray script = ScriptedProgram::Login(u"Chief"_s, u"kivo"_s)
            + QString::fromLatin1(Script)
                  .replace(u"PRODUCTS"_s, products)
                  .replace(u"EXPORT"_s, exported)
                  .replace(u"IMPORT"_s, imported)
                  .toUtf8();
        // The import ends the program by itself.
        ScriptedProgram program(work.path(), data, script);
        QCOMPARE(program.Ended(), 0);
        QVERIFY2(program.Transcript().contains(u"driver: done"_s), qPrintable(program.Transcript()));

        // Every product, read back by another reader: EId first, then the table's columns.
        const QJsonArray rows = ReadWithOpenpyxl(exported).value(u"rows"_s).toArray();
        QCOMPARE(rows.size(), products.toInt() + 1);
        QCOMPARE(rows.at(0).toArray().at(0).toString(), u"EId"_s);
        QCOMPARE(rows.at(0).toArray().at(3).toString(), u"PCode"_s);
        QCOMPARE(rows.at(1).toArray().at(3).toString(), sql(u"Select PCode From ktProduct Where EId=1"_s));

        // Two suppliers more, by name in any letter case, with the database's own ids.
        QCOMPARE(sql(u"Select Count(*) From ktSupplier"_s).toInt(), suppliers + 2);
        QCOMPARE(sql(u"Select SCity || '/' || SPhone From ktSupplier Where SCompany='Harbour Foods'"_s),
            u"Bergen/-"_s);
        QCOMPARE(sql(u"Select SCity From ktSupplier Where SCompany='Fjord Dairy'"_s), u"-"_s);
        QCOMPARE(program.LoggedErrors(), QString());
    }
};

QTEST_GUILESS_MAIN(ProgramDataToolsTest)
#include "tst_programdatatools.moc"
