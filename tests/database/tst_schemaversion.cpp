#include "Connection.h"
#include "Schema.h"
#include "TempDatabase.h"

#include <QCryptographicHash>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

// The layout each version of the file had, as a digest of what a fresh database holds. A
// version is recorded here when it is raised, and never changed afterwards: a file of that
// version out in a shop has exactly that layout.
struct RecordedLayout {
    int version;
    const char* digest;
};
constexpr RecordedLayout RecordedLayouts[] = {
    { 1, "a66bbdeacecfb71b3aaca846088fe09d9021cd20595f77770595858f1e952092" },
    { 2, "7069911a174a8201809711cbdef740ca3fe47d87ee5e58373925399789704c2d" },
};

// Every table, index and trigger of a freshly made database, in name order, as the engine
// keeps their statements: what an upgrade must bring an older file to.
QByteArray LayoutDigest(Connection& connection)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    StatementHandle rows
        = connection.Prepare(u"SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name"_s);
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
        for (int c = 0; c < 4; ++c) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), c));
            hash.addData(QByteArrayView(text ? text : "", sqlite3_column_bytes(rows.get(), c)));
            hash.addData("\x1f");
        }
        hash.addData("\n");
    }
    return hash.result().toHex();
}

} // namespace

class SchemaVersionTest : public QObject {
    Q_OBJECT

private slots:
    // A changed table, column rule or index without a new version would leave every shop's
    // existing file in the old layout, since the upgrade only runs for an older version.
    void layoutChangeRaisesVersion()
    {
        test::TempDatabase database;
        const QByteArray digest = LayoutDigest(database.connection());
        const RecordedLayout* recorded = nullptr;
        for (const RecordedLayout& layout : RecordedLayouts)
            if (layout.version == Schema::Version)
                recorded = &layout;
        if (!recorded)
            QFAIL(qPrintable(u"Schema::Version %1 has no recorded layout: make sure Schema::Upgrade "
                             "brings a version %2 file to it, then record { %1, \"%3\" } in "
                             "tests/database/tst_schemaversion.cpp"_s.arg(Schema::Version)
                                 .arg(Schema::Version - 1)
                                 .arg(QString::fromLatin1(digest))));
        if (digest != recorded->digest)
            QFAIL(qPrintable(u"The tables or indexes changed but Schema::Version is still %1: raise it "
                             "in src/database/Schema.h, make sure Schema::Upgrade brings a version %1 "
                             "file to the new layout, and record { %2, \"%3\" } in "
                             "tests/database/tst_schemaversion.cpp"_s.arg(Schema::Version)
                                 .arg(Schema::Version + 1)
                                 .arg(QString::fromLatin1(digest))));
    }
};

QTEST_GUILESS_MAIN(SchemaVersionTest)
#include "tst_schemaversion.moc"
