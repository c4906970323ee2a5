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
using namespace Qt::StringLiterals;

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
        QDir(m_dir.path()).mkpath(u"Doc"_s);
        m_log = m_dir.filePath(u"Doc/Kivo.Err"_s);
        QFile::remove(m_log);
    }

    // One line per error; a comma or a line break in the text, or a comma in the source, never
    // moves the date, number and source out of the first three fields of the one line.
    void appendsOneLinePerErrorAndShowsErroR()
    {
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_log);
        reporter.SetClock([] { return QDate(2026, 3, 5); });
        reporter.ReportError(DbError(3021, u"Kivo Recordset"_s, u"No current record"_s));
        reporter.ReportError(13, u"Select EId, EDate From x"_s, u"one, two\nthree"_s);
        const QStringList lines = Lines(m_log);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], u"2026-03-05,3021,Kivo Recordset,No current record"_s);
        QCOMPARE(lines[1].section(u',', 0, 2), u"2026-03-05,13,Select EId; EDate From x"_s);
        QCOMPARE(lines[1].count(u','), 4);
        QCOMPARE(messages.shown, (QStringList { u"ErroR!"_s, u"ErroR!"_s }));
    }

    // A log that cannot be written still shows "ErroR!" and lets the routine go on.
    void unwritableLogStillShowsMessage_data()
    {
        QTest::addColumn<QString>("logFile");
        QTest::newRow("missing Doc folder") << u"NoDoc/Kivo.Err"_s;
        QTest::newRow("full disk") << u"/dev/full"_s;
    }

    void unwritableLogStillShowsMessage()
    {
        QFETCH(QString, logFile);
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_dir.filePath(logFile));
        QVERIFY(!TryStep(reporter, [] { throw DbError(1, u"S"_s, u"d"_s); }));
        QCOMPARE(messages.shown, QStringList { u"ErroR!"_s });
        QVERIFY(!QFile::exists(m_dir.filePath(u"NoDoc"_s)));
    }

    void stepsGoOnAfterFailures()
    {
        ScriptedMessages messages;
        ErrorReporter reporter(messages, m_log);
        QStringList done;
        const bool first = TryStep(reporter, [&] { throw DbError(1, u"A"_s, u"a"_s); });
        const bool second = TryStep(reporter, [&] { done << u"second"_s; });
        const bool third = TryStep(reporter, [&] { throw std::runtime_error("plain failure"); });
        const bool fourth = TryStep(reporter, [&] { done << u"fourth"_s; });
        QCOMPARE((QList<bool> { first, second, third, fourth }), (QList<bool> { false, true, false, true }));
        QCOMPARE(done, (QStringList { u"second"_s, u"fourth"_s }));
        QCOMPARE(Lines(m_log).size(), 2);
        QVERIFY(Lines(m_log)[1].endsWith(u",51,Kivo,plain failure"_s));
    }

private:
    QTemporaryDir m_dir;
    QString m_log;
};

QTEST_GUILESS_MAIN(TestErrorReporter)
#include "tst_errorreporter.moc"
