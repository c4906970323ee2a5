#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "Recordset.h"
#include "TempDatabase.h"

#include <QFile>
#include <QTest>

using namespace kivo;
using kivo::test::TempDatabase;

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void wrongKeyIsReportedNotCrashed()
    {
        QString path;
        {
            TempDatabase db;
            path = db.file();
            db.connection().Close();
            Connection other;
            try {
                other.Open(path, QStringLiteral("wrong1"));
                QFAIL("a wrong key must not open the database");
            } catch (const DbError& e) {
                QCOMPARE(e.number, DbErrorNumber::WrongKeyOrDamaged);
            }
            QVERIFY(!other.IsOpen());
            other.Open(path, DatabasePassword());
            QCOMPARE(other.Scalar(QStringLiteral("Select Count(*) From kaUser")).toInt(), 1);
        }
    }

    void fileIsEncrypted()
    {
        TempDatabase db;
        db.connection().Close();
        QFile file(db.file());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(64);
        QVERIFY(!head.startsWith("SQLite format 3"));
        QVERIFY(!file.readAll().contains("Chief"));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
