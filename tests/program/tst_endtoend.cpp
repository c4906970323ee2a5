// The real program, started as a user starts it on a new data folder and driven from outside
// through what the user sees: window titles, control names, menu captions and keys. A screen
// driver that Qt loads into the unchanged program as a plugin runs the script; at each
// checkpoint the program waits while this test reads the database with kivo-admin.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// kivo-admin's output for one command; a failure shows as a text that no comparison expects.
QString Admin(const QStringList& arguments)
{
    QProcess admin;
    admin.start(QStringLiteral(KIVO_ADMIN), arguments);
    if (!admin.waitForFinished(60000) || admin.exitCode() != 0)
        return u"kivo-admin failed: "_s + QString::fromUtf8(admin.readAllStandardError());
    return QString::fromUtf8(admin.readAllStandardOutput()).trimmed();
}

const char* const Script = R"(window Login
focus txtField(0)
type Chief
key Return
focus txtField(1)
type kivo
key Return
window Kivo - Sales Software
checkpoint loggedin
menu Transaction/Coupon
window Coupon
key Ctrl+A
message Confirm Add ?
answer Yes
focus txtField(2)
type SPRING10
key Tab
focus txtField(3)
type Spring sale
key Tab
focus txtField(4)
type Ten off any bill
key Tab
focus txtField(5)
type Ends on Sunday
key Tab
focus txtField(6)
type One per customer
key Tab
focus txtField(7)
type 31 May
key Tab
focus txtField(8)
type Spring
checkpoint typed
key Ctrl+S
field txtField(2)=SPRING10
checkpoint saved
key Ctrl+R
window Coupon Print
field txtRepo1=1
answer <    View
field txtPage=1
answer Close
closed Coupon Print
window Coupon
key Ctrl+D
window Access Code...
type KIVO
key Return
message Confirm Delete ?
answer Yes
checkpoint deleted
menu Operation/Exit
closed Coupon
menu Report/Product Listing
window Product Listing
answer <    View
message No Data !
answer OK
field txtPage=1
answer Close
closed Product Listing
menu Utility/Trends..
window Trends
answer <    View
focus cmbTrend
answer Close
closed Trends
menu Transaction/Quit
)";

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    // The coupon register: a register whose records can be added and deleted from the window
    // (the master registers keep Delete off while browsing); its Report command opens Coupon
    // Print on the coupon shown, and View shows the sheet. Then Product Listing on the
    // emptied shop: "No Data !", and the viewer still shows the report's page 1; and the sales
    // trend's View, whose four statements run on the real database without an error.
    void couponAddedSavedAndDeleted()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(Admin({ u"init"_s, data }).startsWith(u"Created "_s));
        // A query's rows, without the line of column names that kivo-admin prints first.
        const auto sql = [&](const QString& statement) {
            return Admin({ u"sql"_s, data, statement }).section(u'\n', 1);
        };
        const QString countSpring = u"Select Count(*) From ktCoupon Where CReference='SPRING10'"_s;
        QFile script(work.filePath(u"script.txt"_s));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write(Script) > 0);
        script.close();

        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"QT_PLUGIN_PATH"_s, QStringLiteral(KIVO_DRIVER_PLUGINS));
        environment.insert(u"QT_QPA_GENERIC_PLUGINS"_s, u"kivoscreendriver:"_s + script.fileName());
        environment.insert(u"LC_ALL"_s, u"C"_s);
        environment.insert(u"TZ"_s, u"UTC"_s);
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KIVO_PROGRAM), { u"--app-folder"_s, data });

        // Reads the driver's report up to the line wanted; a bound for a broken run, never pacing.
        QStringList transcript;
        const QDeadlineTimer deadline(120000);
        const auto reach = [&](const QString& wanted) {
            for (;;) {
                while (program.canReadLine()) {
                    transcript << QString::fromUtf8(program.readLine()).trimmed();
                    if (transcript.constLast() == u"driver: "_s + wanted)
                        return true;
                }
                if (program.state() == QProcess::NotRunning || deadline.hasExpired()) {
                    transcript << QString::fromUtf8(program.readAll());
                    qInfo().noquote() << transcript.join(u'\n');
                    return false;
                }
                program.waitForReadyRead(int(deadline.remainingTime()));
            }
        };
        // The program waits at a checkpoint until the test has read the database and lets it go
        // on; each call lets the previous checkpoint go.
        QString held;
        const auto checkpoint = [&](const QString& name) {
            if (!held.isEmpty())
                QFile(work.filePath(held + u".go"_s)).open(QIODevice::WriteOnly);
            held = name;
            return name.isEmpty() ? reach(u"done"_s) : reach(u"checkpoint "_s + name);
        };

        QVERIFY(checkpoint(u"loggedin"_s));
        // Typing alone writes nothing: the record reaches the database on Save.
        QVERIFY(checkpoint(u"typed"_s));
        QCOMPARE(sql(countSpring), u"0"_s);
        QVERIFY(checkpoint(u"saved"_s));
        QCOMPARE(sql(u"Select CHead, CLine1, CValid, CRemarks From ktCoupon Where CReference='SPRING10'"_s),
            u"Spring sale\tTen off any bill\t31 May\tSpring"_s);
        QVERIFY(checkpoint(u"deleted"_s));
        QCOMPARE(sql(countSpring), u"0"_s);
        QCOMPARE(sql(u"Select Count(*) From ktCoupon"_s), u"0"_s);

        QVERIFY(checkpoint(QString()));
        QVERIFY(program.waitForFinished(int(deadline.remainingTime())));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        // Nothing went wrong along the way that the program only logged.
        QFile errorLog(QDir(data).filePath(u"Doc/Kivo.Err"_s));
        if (errorLog.open(QIODevice::ReadOnly))
            QFAIL(errorLog.readAll().constData());
        QCOMPARE(Admin({ u"check"_s, data }), u"integrity: ok\nstock: ok (0 products)"_s);
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
