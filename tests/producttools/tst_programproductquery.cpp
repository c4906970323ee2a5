// The product tools through the real program, as a cashier uses them: PRODUCT QUERY on the
// sales layout, a key in the card opens the product list, a product is picked with the arrow
// keys and Enter, and the card shows it; Escape closes it. Then the counter's Product Listing:
// Enter on a product, on its quantity and on its rate adds a line, and the bill's totals
// follow (the group saving of 5 % taken off). The screen driver of the program-level tests runs the script
// inside the program.
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
answer PRODUCT QUERY
window Product Query
focus txtField(0)
type s
window List
focus lstList
key Down
key Return
window Product Query
field txtField(0)=P250
field txtField(1)=2
field txtField(2)=Sugar
field txtField(4)=1
field txtField(5)=2.50
field txtField(6)=10.00
field txtField(7)=N
key Escape
closed Product Query
window Kivo - Sales Software
answer BILLING
window Billing
focus txtField(5)
key Return
focus txtField(98)
key Return
focus cmdList(98)
key Space
window Product Listing
focus lstList
key Return
focus txtField(3)
field txtField(3)=1
field txtField(4)=100
key Return
focus txtField(4)
key Return
focus lstList
key Escape
closed Product Listing
window Billing
field txtField(6)=1
field txtField(7)=95.00
answer CANCEL/EXIT
message Confirm Cancel/Exit ?
answer Yes
closed Billing
answer QUIT
)";

} // namespace

class TestProgramProductQuery : public QObject {
    Q_OBJECT
private slots:
    void queryAndListingFromTheCounter()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(Admin({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { Admin({ u"sql"_s, data, statement }); };
        sql(u"Insert Into kaUser (EDate, ULogin, UPasscd, UHint, UMode, UName) "
            "Values (#12/1/2026#, 'sue', 'till', 'till', 'S', 'Sue')"_s);
        sql(u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (1, #12/1/2026#, 'Pantry', 5)"_s);
        sql(u"Insert Into ktProduct (EDate, PCode, PName, PGId, PSaleRate, POpenQty, PPurchQty, PSaleQty, "
            "PCloseQty, PTax, PActive) Values (#12/1/2026#, 'P100', 'Tea', 1, 100, 10, 0, 0, 10, 'T', 'Y')"_s);
        // Inactive products are looked up as well.
        sql(u"Insert Into ktProduct (EDate, PCode, PName, PGId, PSaleRate, POpenQty, PPurchQty, PSaleQty, "
            "PCloseQty, PTax, PActive) Values (#12/1/2026#, 'P250', 'Sugar', 1, 2.5, 10, 0, 0, 10, '', 'N')"_s);
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

        // The driver's report up to "done"; a bound for a broken run, never pacing.
        QStringList transcript;
        const QDeadlineTimer deadline(120000);
        bool done = false;
        while (!done) {
            while (program.canReadLine()) {
                transcript << QString::fromUtf8(program.readLine()).trimmed();
                done = done || transcript.constLast() == u"driver: done"_s;
            }
            if (done)
                break;
            if (program.state() == QProcess::NotRunning || deadline.hasExpired()) {
                transcript << QString::fromUtf8(program.readAll());
                qInfo().noquote() << transcript.join(u'\n');
                QFAIL("the script did not run to its end");
            }
            program.waitForReadyRead(int(deadline.remainingTime()));
        }
        QVERIFY(program.waitForFinished(int(deadline.remainingTime())));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QFile errorLog(QDir(data).filePath(u"Doc/Kivo.Err"_s));
        if (errorLog.open(QIODevice::ReadOnly))
            QFAIL(errorLog.readAll().constData());
    }
};

QTEST_GUILESS_MAIN(TestProgramProductQuery)
#include "tst_programproductquery.moc"
