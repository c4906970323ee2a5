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

class TestErrorReporter : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // One line per error; a comma or a line break in the text, or a comma in the source, never
    // moves the date, number and source out of the first three fields of the one line. A step
    // that fails is reported and the next one runs, whatever the failure was.
    void reportsOneLinePerErrorAndGoesOn()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(u"Doc"_s));
        const QString log = m_dir.filePath(u"Doc/Kivo.Err"_s);
        ScriptedMessages messages;
        ErrorReporter reporter(messages, log);
        reporter.SetClock([] { return QDate(2026, 3, 5); });
        reporter.ReportError(DbError(3021, u"Kivo Recordset"_s, u"No current record"_s));
        reporter.ReportError(13, u"Select EId, EDate From x"_s, u"one, two\nthree"_s);
        QStringList done;
        const bool first = TryStep(reporter, [&] { throw std::runtime_error("plain failure"); });
        const bool second = TryStep(reporter, [&] { done << u"second"_s; });
        QVERIFY(!first && second);
        QCOMPARE(done, QStringList { u"second"_s });

        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], u"2026-03-05,3021,Kivo Recordset,No current record"_s);
        QCOMPARE(lines[1].section(u',', 0, 2), u"2026-03-05,13,Select EId; EDate From x"_s);
        QCOMPARE(lines[1].count(u','), 4);
        QCOMPARE(lines[2], u"2026-03-05,51,Kivo,plain failure"_s);
        QCOMPARE(messages.shown, (QStringList { u"ErroR!"_s, u"ErroR!"_s, u"ErroR!"_s }));
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
};

QTEST_GUILESS_MAIN(TestErrorReporter)
#include "tst_errorreporter.moc"
