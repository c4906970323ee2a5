// The user's password and the enterprise's access code on their screens: the stored hash is
// never shown, a field left as shown keeps it, and what is typed is stored as its hash.
#include "EngineFixture.h"
#include "PasswordHash.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;
using Case = PasswordHash::LetterCase;

class TestPasswordFields : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

    QString Stored(const QString& table, const QString& column, int id = 1)
    {
        return f->Scalar(u"Select %1 From %2 Where EId=%3"_s.arg(column, table).arg(id)).toString();
    }

    // What the screens said besides their questions: a refused or failed save.
    QStringList Notices()
    {
        QStringList notices;
        for (const QString& text : f->messages().shown)
            if (!text.endsWith(u" ?"_s))
                notices << text;
        return notices;
    }

    // The seed rows leave some fields empty, which a save refuses.
    static void FillBlanks(RecordScreen& screen)
    {
        for (int i = 2; i <= screen.lastField; ++i)
            if (screen.Text(i).isEmpty())
                screen.SetText(i, u"-"_s);
    }

private slots:
    void init()
    {
        f = std::make_unique<EngineFixture>();
        f->context().customization.CModiPass = u"N"_s;
    }
    void cleanup() { f.reset(); }

    void modifyAndSave_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("letterCase");
        QTest::addColumn<int>("keptStandIns"); // typed after so many of the shown characters; -1: not typed
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("refused");

        QTest::newRow("password left as shown")
            << u"kaUser"_s << 3 << u"UPasscd"_s << int(Case::Ignore) << -1 << u""_s << u"KIVO"_s << u"x"_s;
        QTest::newRow("password retyped") << u"kaUser"_s << 3 << u"UPasscd"_s << int(Case::Ignore) << 0
                                          << u"Åsa-Pw"_s << u"åSA-pw"_s << u"kivo"_s;
        QTest::newRow("typed over part of what was shown")
            << u"kaUser"_s << 3 << u"UPasscd"_s << int(Case::Ignore) << 3 << u"ab"_s << u"AB"_s << u"kivo"_s;
        QTest::newRow("access code left as shown")
            << u"kaEnterprise"_s << 13 << u"EPasscd"_s << int(Case::Keep) << -1 << u""_s << u"KIVO"_s
            << u"kivo"_s;
        QTest::newRow("access code retyped") << u"kaEnterprise"_s << 13 << u"EPasscd"_s << int(Case::Keep)
                                             << 0 << u"Open-Up"_s << u"Open-Up"_s << u"open-up"_s;
    }
    void modifyAndSave()
    {
        QFETCH(QString, table);
        QFETCH(int, field);
        QFETCH(QString, column);
        QFETCH(int, letterCase);
        QFETCH(int, keptStandIns);
        QFETCH(QString, typed);
        QFETCH(QString, accepted);
        QFETCH(QString, refused);
        const QString before = Stored(table, column);
        QVERIFY(PasswordHash::IsHash(before));

        RecordScreen& screen = f->Open(table);
        QVERIFY(!screen.Text(field).isEmpty());
        QVERIFY(!before.contains(screen.Text(field)) && !screen.Text(field).contains(u"pbkdf2"_s));
        QCOMPARE(screen.field(field).maxLength, PasswordHash::TypedLength);
        f->Command(CommandNumber::Modify);
        if (keptStandIns >= 0)
            screen.SetText(field, screen.Text(field).left(keptStandIns) + typed);
        screen.SetText(2, screen.Text(2) + u"2"_s); // another field changes as well
        FillBlanks(screen);
        f->Command(CommandNumber::Save);
        QCOMPARE(Notices().join(u"|"_s), QString());

        const QString after = Stored(table, column);
        QCOMPARE(after == before, keptStandIns < 0);
        QVERIFY(PasswordHash::Matches(accepted, after, Case(letterCase)));
        QVERIFY(!PasswordHash::Matches(refused, after, Case(letterCase)));
        if (table == u"kaEnterprise")
            QCOMPARE(f->context().login.EnterpriseAccessCode, after);
        // Shown again after the save: still not the hash.
        QVERIFY(!after.contains(screen.Text(field)));
    }

    // A copy keeps the password of the user it copies; a new user's password is hashed.
    void copyAndAdd()
    {
        RecordScreen& screen = f->Open(u"kaUser"_s);
        f->messages().Answer(true);
        f->Command(CommandNumber::Xerox);
        screen.SetText(2, u"Copy"_s);
        FillBlanks(screen);
        f->Command(CommandNumber::Save);
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        screen.SetText(2, u"New"_s);
        screen.SetText(3, u"Till"_s);
        FillBlanks(screen);
        f->Command(CommandNumber::Save);
        QCOMPARE(Notices().join(u"|"_s), QString());
        const auto password = [&](const char* login) {
            return f->Scalar(u"Select UPasscd From kaUser Where ULogin='%1'"_s.arg(QLatin1StringView(login)))
                .toString();
        };
        QCOMPARE(password("Copy"), password("Chief"));
        QVERIFY(PasswordHash::Matches(u"till"_s, password("New"), Case::Ignore));
    }
};

QTEST_GUILESS_MAIN(TestPasswordFields)
#include "tst_passwordfields.moc"
