#include "PasswordHash.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;
using Case = PasswordHash::LetterCase;

Q_DECLARE_METATYPE(PasswordHash::LetterCase)

class TestPasswordHash : public QObject {
    Q_OBJECT
private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("secret");
        QTest::addColumn<Case>("letterCase");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");

        QTest::newRow("login folds every letter") << u"Åsa"_s << Case::Ignore << u"åSA"_s << true;
        QTest::newRow("login: a letter is not its base") << u"Åsa"_s << Case::Ignore << u"asa"_s << false;
        QTest::newRow("login: wrong password") << u"till"_s << Case::Ignore << u"tills"_s << false;
        QTest::newRow("login: nothing typed") << u"till"_s << Case::Ignore << u""_s << false;
        QTest::newRow("access code as set") << u"Open-Up"_s << Case::Keep << u"Open-Up"_s << true;
        QTest::newRow("access code: Åsa is not åsa") << u"Åsa"_s << Case::Keep << u"åsa"_s << false;
    }
    void matches()
    {
        QFETCH(QString, secret);
        QFETCH(Case, letterCase);
        QFETCH(QString, typed);
        const QString stored = PasswordHash::Make(secret, letterCase);
        QVERIFY(PasswordHash::IsHash(stored));
        QVERIFY(!stored.contains(secret));
        QTEST(PasswordHash::Matches(typed, stored, letterCase), "matches");
    }

    // Each hash has its own salt: equal passwords do not give equal stored texts.
    void saltedPerHash()
    {
        const QString first = PasswordHash::Make(u"kivo"_s, Case::Ignore);
        const QString second = PasswordHash::Make(u"kivo"_s, Case::Ignore);
        QVERIFY(first != second);
        QVERIFY(PasswordHash::Matches(u"KIVO"_s, second, Case::Ignore));
        QVERIFY(first.size() <= PasswordHash::StoredLength);
        QCOMPARE(PasswordHash::Make(QString(), Case::Keep), QString());
    }

    void storedValues_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");

        // Put into the table by hand: compared as text, letter case as the caller says.
        QTest::newRow("plain value") << u"till"_s << u"TILL"_s << true;
        QTest::newRow("plain value, wrong") << u"till"_s << u"tilt"_s << false;
        QTest::newRow("nothing set, something typed") << u""_s << u"x"_s << false;
        QTest::newRow("nothing set, nothing typed") << u""_s << u""_s << true;
        const QString good = PasswordHash::Make(u"till"_s, Case::Ignore);
        const QStringList parts = good.split(u'$');
        QTest::newRow("hash") << good << u"till"_s << true;
        QTest::newRow("damaged: hash cut short") << good.chopped(4) << u"till"_s << false;
        QTest::newRow("damaged: no iterations")
            << QStringList { parts[0], u"0"_s, parts[2], parts[3] }.join(u'$') << u"till"_s << false;
        QTest::newRow("damaged: endless iterations")
            << QStringList { parts[0], u"2000000000"_s, parts[2], parts[3] }.join(u'$') << u"till"_s << false;
        QTest::newRow("damaged: the hash text itself") << good << good << false;
    }
    void storedValues()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QTEST(PasswordHash::Matches(typed, stored, Case::Ignore), "matches");
    }

    // The stored text is plain PBKDF2-HMAC-SHA256 over the UTF-8 of the case-folded password, as
    // a second implementation computes it from the parts the text names.
    void readableByAnotherImplementation()
    {
        const QString python = QStandardPaths::findExecutable(u"python3"_s);
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        const QString stored = PasswordHash::Make(u"ÅSA-Kö"_s, Case::Ignore);
        QProcess p;
        p.start(python,
            { u"-c"_s,
                u"import sys, hashlib, base64\n"
                "scheme, n, salt, h = sys.argv[1].split('$')\n"
                "d = hashlib.pbkdf2_hmac('sha256', sys.argv[2].encode(), base64.b64decode(salt), int(n))\n"
                "print(scheme, n, base64.b64encode(d).decode() == h)"_s,
                stored, u"åsa-kö"_s });
        QVERIFY(p.waitForFinished());
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            u"pbkdf2-sha256 %1 True"_s.arg(PasswordHash::Iterations));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
