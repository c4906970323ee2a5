// The customer look-up from the real program, as a sales user at the till works it: CUSTOMER
// INFO, a phone no customer has, "Customer Not Found; Create New ?", the name typed over the
// placeholder and Save; the customer read back by SQL after each step. The screen driver that
// the program-level tests use runs the script inside the program.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

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
type sue
key Return
focus txtField(1)
type till
key Return
window Kivo - Sales Software
answer CUSTOMER INFO
window Customer Info
focus txtField(8)
type 5559876543
key Return
message Customer Not Found; Create New ?
answer Yes
message New Customer Added !
answer OK
focus txtField(2)
checkpoint added
type Eve Moss
answer Save
closed Customer Info
checkpoint saved
answer CUSTOMER INFO
window Customer Info
focus txtField(8)
type 555 9876
key Return
message Invalid Phone !
answer OK
key Escape
closed Customer Info
answer QUIT
)";

} // namespace

class TestCustomerInfo : public QObject {
    Q_OBJECT
private slots:
    void customerAddedAndNamed()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(Admin({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) {
            return Admin({ u"sql"_s, data, statement }).section(u'\n', 1);
        };
        sql(u"Insert Into kaUser (EDate, ULogin, UPasscd, UHint, UMode, UName) "
            "Values (#12/1/2026#, 'sue', 'till', 'till', 'S', 'Sue')"_s);
        const QString customer
            = u"Select CName, CActive, CRemarks From ktCustomer Where CPhone='5559876543'"_s;

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

        QVERIFY(reach(u"checkpoint added"_s));
        QCOMPARE(sql(customer), u"-\tY\t-"_s);
        // The code is "C", the day the program ran (month and day) and the phone's last four.
        QCOMPARE(sql(u"Select Count(*) From ktCustomer Where CCode Like 'C____6543' And Length(CCode)=9"_s),
            u"1"_s);
        QFile(work.filePath(u"added.go"_s)).open(QIODevice::WriteOnly);
        QVERIFY(reach(u"checkpoint saved"_s));
        QCOMPARE(sql(customer), u"Eve Moss\tY\t-"_s);
        QFile(work.filePath(u"saved.go"_s)).open(QIODevice::WriteOnly);

        QVERIFY(reach(u"done"_s));
        QVERIFY(program.waitForFinished(int(deadline.remainingTime())));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(sql(u"Select Count(*) From ktCustomer"_s), u"1"_s);
        QFile errorLog(QDir(data).filePath(u"Doc/Kivo.Err"_s));
        if (errorLog.open(QIODevice::ReadOnly))
            QFAIL(errorLog.readAll().constData());
    }
};

QTEST_GUILESS_MAIN(TestCustomerInfo)
#include "tst_customerinfo.moc"
