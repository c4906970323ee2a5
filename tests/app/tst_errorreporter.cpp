#include "Appearance.h"
#include "DbError.h"
#include "ErrorReporter.h"
#include "ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using kivo::test::ScriptedMessages;

namespace {

QStringList Lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestErrorReporter : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("Doc"));
        m_log = m_dir.filePath(QStringLiteral("Doc/Kivo.Err"));
        QFile::remove(m_log);
    }

    void appendsOneLinePerErrorAndShowsErroR()
    {
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_log);
        reporter.SetClock([] { return QDate(2026, 3, 5); });
        reporter.ReportError(
            DbError(3021, QStringLiteral("Kivo Recordset"), QStringLiteral("No current record")));
        reporter.ReportError(13, QStringLiteral("ApplyAppearance"), QStringLiteral("Type mismatch"));
        QCOMPARE(Lines(m_log),
            (QStringList { QStringLiteral("2026-03-05,3021,Kivo Recordset,No current record"),
                QStringLiteral("2026-03-05,13,ApplyAppearance,Type mismatch") }));
        QCOMPARE(messages.shown, (QStringList { QStringLiteral("ErroR!"), QStringLiteral("ErroR!") }));
    }

    // A comma or a line break in the text, or a comma in the source, never moves the date,
    // number and source out of the first three fields of the one line.
    void fieldsStayInPlace()
    {
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_log);
        reporter.SetClock([] { return QDate(2026, 3, 5); });
        reporter.ReportError(
            1, QStringLiteral("Select EId, EDate From x"), QStringLiteral("one, two\nthree"));
        const QStringList lines = Lines(m_log);
        QCOMPARE(lines.size(), 1);
        const QStringList fields = lines[0].split(u',');
        QCOMPARE(fields.size(), 5);
        QCOMPARE(fields[2], QStringLiteral("Select EId; EDate From x"));
    }

    // A log that cannot be written still shows "ErroR!" and lets the routine go on.
    void unwritableLogStillShowsMessage_data()
    {
        QTest::addColumn<QString>("logFile");
        QTest::newRow("missing Doc folder") << QStringLiteral("NoDoc/Kivo.Err");
        QTest::newRow("log path is a folder") << QStringLiteral("Doc");
        QTest::newRow("full disk") << QStringLiteral("/dev/full");
    }

    void unwritableLogStillShowsMessage()
    {
        QFETCH(QString, logFile);
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_dir.filePath(logFile));
        QVERIFY(!TryStep(reporter, [] { throw DbError(1, QStringLiteral("S"), QStringLiteral("d")); }));
        QCOMPARE(messages.shown, QStringList { QStringLiteral("ErroR!") });
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("NoDoc"))));
    }

    void stepsGoOnAfterFailures()
    {
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_log);
        QStringList done;
        const bool first
            = TryStep(reporter, [&] { throw DbError(1, QStringLiteral("A"), QStringLiteral("a")); });
        const bool second = TryStep(reporter, [&] { done << QStringLiteral("second"); });
        const bool third = TryStep(reporter, [&] { throw std::runtime_error("plain failure"); });
        const bool fourth = TryStep(reporter, [&] { done << QStringLiteral("fourth"); });
        QCOMPARE((QList<bool> { first, second, third, fourth }), (QList<bool> { false, true, false, true }));
        QCOMPARE(done, (QStringList { QStringLiteral("second"), QStringLiteral("fourth") }));
        QCOMPARE(Lines(m_log).size(), 2);
        QVERIFY(Lines(m_log)[1].endsWith(QStringLiteral(",51,Kivo,plain failure")));
    }

private:
    QTemporaryDir m_dir;
    QString m_log;
};

QTEST_GUILESS_MAIN(TestErrorReporter)
#include "tst_errorreporter.moc"
