#include "ReportCatalogue.h"
#include "ReportMailer.h"
#include "ReportScreenState.h"
#include "Settings.h"
#include "TestContext.h"

#include <memory>
#include <QFile>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sstream>
#include <vmime/vmime.hpp>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

// Just enough of an SMTP server to take one mail at a time, on its own thread so that the
// mailer may wait for msmtp on the test's thread. `refuse` answers the recipient with 550.
class SmtpSink : public QThread {
public:
    explicit SmtpSink(bool refuse = false)
        : m_refuse(refuse)
    {
        start();
        m_ready.acquire();
    }
    ~SmtpSink() override
    {
        m_stop = true;
        wait();
    }
    quint16 port() const { return m_port; }
    QList<QByteArray> messages() const
    {
        QMutexLocker lock(&m_mutex);
        return m_messages;
    }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        m_port = server.serverPort();
        m_ready.release();
        while (!m_stop)
            if (server.waitForNewConnection(50))
                Serve(*std::unique_ptr<QTcpSocket>(server.nextPendingConnection()));
    }

private:
    void Serve(QTcpSocket& socket)
    {
        const auto say = [&](const QByteArray& line) {
            socket.write(line + "\r\n");
            socket.flush();
        };
        say("220 sink ESMTP");
        QByteArray data;
        bool inData = false;
        while (socket.canReadLine() || socket.waitForReadyRead(5000)) {
            if (!socket.canReadLine())
                continue;
            const QByteArray line = socket.readLine();
            const QByteArray verb = line.left(4).toUpper();
            if (inData && line == ".\r\n") {
                inData = false;
                QMutexLocker lock(&m_mutex);
                m_messages << data;
                say("250 queued");
            } else if (inData) {
                data += line.startsWith("..") ? line.mid(1) : line;
            } else if (verb == "RCPT" && m_refuse) {
                say("550 no such mailbox");
            } else if (verb == "DATA") {
                say("354 end with .");
                inData = true;
                data.clear();
            } else {
                say(verb == "QUIT" ? "221 bye" : "250 ok");
            }
        }
    }

    bool m_refuse;
    std::atomic<bool> m_stop { false };
    std::atomic<quint16> m_port { 0 };
    QSemaphore m_ready;
    mutable QMutex m_mutex;
    QList<QByteArray> m_messages;
};

// msmtp with a configuration file of the test's own that sends to the sink.
ReportMailer MsmtpMailer(const QTemporaryDir& dir, quint16 port)
{
    const QString config = dir.filePath(u"msmtprc"_s);
    QFile file(config);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(
            QStringLiteral("account default\nhost 127.0.0.1\nport %1\nfrom shop@example.com\nauth off\n"
                           "tls off\nsyslog off\n")
                .arg(port)
                .toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return ReportMailer(
        QStandardPaths::findExecutable(u"msmtp"_s), { u"--file="_s + config, u"-t"_s, u"-i"_s });
}

// The decoded content of a mail part.
QString Extracted(const vmime::shared_ptr<const vmime::contentHandler>& content)
{
    std::string data;
    vmime::utility::outputStreamStringAdapter out(data);
    content->extract(out);
    return QString::fromStdString(data);
}

} // namespace

class TestReportMailer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"msmtp"_s).isEmpty())
            QFAIL("msmtp is needed (scripts/install-deps installs it)");
    }

    // The report screen's mail goes through msmtp to the sink: subject and body in UTF-8, the PDF
    // attached whole; mailing twice writes and deletes the same attachment each time.
    void reportScreenMailsAndDeletes()
    {
        SmtpSink sink;
        test::TestContext shop(test::TempDatabase::Content::Demo);
        shop.context.login.EnterpriseShort = u"Kaffe \u00c5s"_s;
        shop.context.login.EnterpriseEmail = u"shop@example.com"_s;
        ReportScreenState state(shop.context, 69, u"Daily Sales \u00e9t\u00e9"_s);
        QFile tpl(state.TemplateName());
        QVERIFY(tpl.open(QIODevice::WriteOnly));
        tpl.write("report title=T page=A4\nparameter name=pEntName\nparameter name=pFilter\n"
                  "band kind=detail height=5\nfield x=0 y=0 w=40 h=5 expr=\"tBDate\"\n");
        tpl.close();
        QVERIFY(state.View());
        const ReportMailer mailer = MsmtpMailer(m_dir, sink.port());
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(state.MailReport(mailer));
            QVERIFY(!QFile::exists(state.AttachmentName()));
            QCOMPARE(sink.messages().size(), round);
        }
        QCOMPARE(shop.messages.shown, (QStringList { u"Report Emailed !"_s, u"Report Emailed !"_s }));
        vmime::message message;
        message.parse(sink.messages()[1].toStdString());
        const vmime::messageParser mail(vmime::make_shared<vmime::message>(message));
        QCOMPARE(QString::fromStdString(mail.getSubject().getConvertedText(vmime::charsets::UTF_8)),
            u"Report: Daily Sales \u00e9t\u00e9"_s);
        QVERIFY(QString::fromStdString(mail.getRecipients().getAddressAt(0)->generate())
                    .contains(u"shop@example.com"_s));
        QString html;
        for (size_t i = 0; i < mail.getTextPartCount(); ++i)
            if (mail.getTextPartAt(i)->getType().getSubType() == vmime::mediaTypes::TEXT_HTML)
                html = Extracted(mail.getTextPartAt(i)->getText());
        QCOMPARE(html, u"<br>Report Attached (Daily Sales \u00e9t\u00e9)<br><br>Kaffe \u00c5s<br>"_s);
        QCOMPARE(mail.getAttachmentCount(), size_t(1));
        const auto attachment = mail.getAttachmentAt(0);
        QCOMPARE(QString::fromStdString(attachment->getName().getConvertedText(vmime::charsets::UTF_8)),
            u"KiDai.Pdf"_s);
        const QString pdf = Extracted(attachment->getData());
        QVERIFY(pdf.startsWith(u"%PDF-"_s) && pdf.trimmed().endsWith(u"%%EOF"_s));
        QCOMPARE(shop.ErrorLogLines(), QStringList());
    }

    void failedSend_data()
    {
        QTest::addColumn<bool>("hangs"); // the mail program never ends; else the server refuses the recipient
        QTest::addColumn<QString>("message");
        QTest::newRow("recipient refused") << false << u"refused"_s;
        QTest::newRow("program hangs") << true << u"did not finish"_s;
    }

    void failedSend()
    {
        QFETCH(bool, hangs);
        QFETCH(QString, message);
        SmtpSink sink(true);
        ReportMailer mailer = hangs ? ReportMailer(QStandardPaths::findExecutable(u"sleep"_s), { u"600"_s })
                                    : MsmtpMailer(m_dir, sink.port());
        if (hangs)
            mailer.SetTimeoutMs(300);
        QFile pdf(m_dir.filePath(u"failed.Pdf"_s)); // a stand-in for the report's PDF
        QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write("%PDF-1.4") > 0);
        pdf.close();
        QString error;
        QVERIFY(
            !mailer.Send({ u"x@example.com"_s, u"x@example.com"_s, u"s"_s, u"b"_s, pdf.fileName() }, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(sink.messages().isEmpty());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportMailer)
#include "tst_reportmailer.moc"
