// The quote screen's billing panel through the record engine: opening it, billing the quote
// with the questions asked, the checks that stop it, cancelling, and a failing bill that
// leaves the quote open.
#include "DatabasePassword.h"
#include "DocumentRows.h"
#include "QuotePanel.h"

#include <cstdio>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {
using F = QuotePanel::Field;
}

class TestQuotePanel : public QObject, PanelFixture<QuotePanel> {
    Q_OBJECT

    QString Stock() { return Sql(u"Select PSaleQty || ' ' || PCloseQty From ktProduct Where PCode='P1'"_s); }
    void OpenOn(int id) { PanelFixture::OpenOn(u"KvQuote"_s, id); }

private slots:
    void init()
    {
        StartEngine();
        f->Insert("ktProduct", ProductRow(1, u"P1"_s, 1.0, 50.0, 10));
        f->Insert("ktCustomer", CustomerRow());
        // Quote 7 is open: nett 139.59 over two lines of P1 (3 units); quote 8 was billed.
        f->Insert("ktQuotMast",
            { 7, Day, 1, u"Q-7"_s, 3, 10, 3, 150.0, 15.0, 135.0, 4.5, 0.09, 139.59, u"N"_s, u"-"_s });
        f->Insert("ktQuotDetl", LineRow(7, u"P1"_s, 2, 50));
        f->Insert("ktQuotDetl", LineRow(7, u"P1"_s, 1, 50));
        f->Insert("ktQuotMast",
            { 8, Day, 1, u"Q-8"_s, 3, 0, 1, 50.0, 0.0, 50.0, 0.0, 0.0, 50.0, u"B"_s, u"BILL#1;-"_s });
        f->Insert("ktQuotDetl", LineRow(8, u"P1"_s, 1, 50));
    }
    void cleanup() { StopEngine(); }

    void toBill_data()
    {
        QTest::addColumn<int>("quote"); // 0: a new quote
        QTest::addColumn<QString>("notice");
        QTest::newRow("open quote") << 7 << "";
        QTest::newRow("billed quote") << 8 << "Quote Already Processed !";
        QTest::newRow("new quote") << 0 << "Save Quote First !";
    }
    void toBill()
    {
        QFETCH(int, quote);
        QFETCH(QString, notice);
        OpenOn(quote ? quote : 7);
        if (!quote) {
            f->messages().Answer(true);
            f->Command(CommandNumber::Add);
        }
        f->messages().shown.clear();
        QSignalSpy focus(panel.get(), &QuotePanel::focusRequested);
        panel->ToBill();
        QCOMPARE(f->messages().shown, notice.isEmpty() ? QStringList() : QStringList { notice });
        QCOMPARE(panel->IsOpen(), notice.isEmpty());
        if (!notice.isEmpty())
            return;
        QCOMPARE(focus.size(), 1);
        QCOMPARE(focus.first().first().toInt(), int(F::CashField));
        QCOMPARE(screen().Text(F::ReturnField), u"-139.59"_s);
        QCOMPARE(screen().Text(F::OtherTypeField), u"OTHER"_s);
        QVERIFY(!panel->LinesEditable());
        // Showing a quote closes the panel.
        f->Command(CommandNumber::First);
        QVERIFY(!panel->IsOpen());
    }

    void bill_data()
    {
        QTest::addColumn<QString>("cash");
        QTest::addColumn<QString>("remarks");
        QTest::addColumn<QString>("otherType"); // "id:name" picked for OTHER, or empty
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("bill"); // "BReturn BOType BRemarks" of the bill; empty: none
        const QString confirm = u"Confirm Billing ?"_s, sure = u"Sure To Bill ?"_s;
        QTest::newRow("paid with 150")
            << "150"
            << "Thanks"
            << "" << QList<bool> { true, true }
            << QStringList { confirm, sure, u"Quote Billed !\nBILL#1;Thanks"_s } << "10.41 OTHER Thanks";
        QTest::newRow("not paid, confirmed")
            << "100,00"
            << "Later"
            << "" << QList<bool> { true, true }
            << QStringList { u"Bill Not Paid; Confirm Billing ?"_s, sure, u"Quote Billed !\nBILL#1;Later"_s }
            << "-39.59 OTHER Later";
        QTest::newRow("a picked pay type keeps its name")
            << "139.59"
            << "Card"
            << "4:VOUCHER" << QList<bool> { true, true }
            << QStringList { confirm, sure, u"Quote Billed !\nBILL#1;Card"_s } << "0.0 VOUCHER Card";
        QTest::newRow("not sure") << "150"
                                  << "Thanks"
                                  << "" << QList<bool> { true, false } << QStringList { confirm, sure } << "";
        QTest::newRow("no remarks") << "150"
                                    << ""
                                    << "" << QList<bool>()
                                    << QStringList { u"Invalid-Empty Fields:\n\n\nRemarks"_s } << "";
        QTest::newRow("cash not a number")
            << "1O0"
            << "Thanks"
            << "" << QList<bool>() << QStringList { u"Invalid-Empty Fields:\n\n\nCash Amt"_s } << "";
    }
    void bill()
    {
        QFETCH(QString, cash);
        QFETCH(QString, remarks);
        QFETCH(QString, otherType);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        QFETCH(QString, bill);
        OpenOn(7);
        const QString before = Stock();
        panel->ToBill();
        screen().SetText(F::CashField, cash);
        screen().SetText(F::BillRemarksField, remarks);
        if (!otherType.isEmpty()) {
            f->host.AnswerPick(otherType.section(u':', 0, 0), otherType.section(u':', 1));
            f->engine.PressListButton(screen(), F::OtherTypeField);
        }
        for (bool answer : answers)
            f->messages().Answer(answer);

        QCOMPARE(panel->Bill(), !bill.isEmpty());

        QCOMPARE(f->messages().shown, shown);
        if (bill.isEmpty()) {
            QCOMPARE(Sql(u"Select Count(*) From ktBillMast"_s), u"0"_s);
            QCOMPARE(Sql(u"Select QStatus From ktQuotMast Where EId=7"_s), u"N"_s);
            QCOMPARE(Stock(), before);
            return;
        }
        QCOMPARE(Sql(u"Select BReturn || ' ' || BOType || ' ' || BRemarks From ktBillMast"_s), bill);
        QCOMPARE(Sql(u"Select QStatus || ' ' || QRemarks From ktQuotMast Where EId=7"_s),
            u"B BILL#1;"_s + remarks);
        // Three units sold, by the bill's own lines.
        QCOMPARE(Sql(u"Select Sum(BQty) From ktBillDetl Where EId=1"_s), u"3"_s);
        QCOMPARE(Stock(), u"3 7"_s);
        // The screen shows the quote as stored, panel closed; a second billing is refused.
        QVERIFY(!panel->IsOpen());
        QCOMPARE(screen().Text(F::StatusField), u"B"_s);
        f->messages().shown.clear();
        panel->ToBill();
        QCOMPARE(f->messages().shown, QStringList { u"Quote Already Processed !"_s });
    }

    void cancelMovesNothing()
    {
        OpenOn(7);
        const QString before = Stock();
        panel->ToBill();
        f->messages().Answer(true);
        QVERIFY(panel->CancelQuote());
        QCOMPARE(f->messages().shown, QStringList { u"Confirm Cancelation ?"_s });
        QCOMPARE(Sql(u"Select QStatus From ktQuotMast Where EId=7"_s), u"C"_s);
        QCOMPARE(Sql(u"Select Count(*) From ktQuotDetl Where EId=7"_s), u"2"_s);
        QCOMPARE(Sql(u"Select Count(*) From ktBillMast"_s), u"0"_s);
        QCOMPARE(Stock(), before);
    }

    // The bill cannot be written: the quote's save as billed goes back with it.
    void failedBillLeavesTheQuoteOpen()
    {
        OpenOn(7);
        f->context().connection.ExecuteRaw(
            u"CREATE TRIGGER refuse BEFORE INSERT ON ktBillMast BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
        panel->ToBill();
        screen().SetText(F::CashField, u"150"_s);
        screen().SetText(F::BillRemarksField, u"Thanks"_s);
        f->messages().Answer(true);
        f->messages().Answer(true);
        QVERIFY(!panel->Bill());
        QCOMPARE(f->messages().shown.last(), u"ErroR!"_s);
        QCOMPARE(Sql(u"Select QStatus From ktQuotMast Where EId=7"_s), u"N"_s);
        QCOMPARE(screen().Text(F::StatusField), u"N"_s);
        QCOMPARE(Stock(), u"0 10"_s);
    }

    // The process dies after each write of Bill > in turn (the quote saved as billed, the bill,
    // its lines and stock, the quote's remarks), and once after it ended: the database holds
    // the billed quote with its bill and stock, or the open quote and no bill.
    void crashAtEveryWrite()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString seeded = work.filePath(u"Seeded.Kvd"_s);
        f->context().connection.ExecuteRaw(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        QVERIFY(QFile::copy(f->test.database.file(), seeded));
        const QString copy = work.filePath(u"Kivo.Kvd"_s);
        bool finished = false;
        int crashes = 0;
        for (int dieAt = 1; !finished && dieAt < 400; ++dieAt) {
            QFile::remove(copy);
            QVERIFY(QFile::copy(seeded, copy));
            std::fflush(nullptr);
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                Connection& connection = f->context().connection;
                connection.Close();
                connection.Open(copy, DatabasePassword());
                OpenOn(7);
                panel->ToBill();
                screen().SetText(F::CashField, u"150"_s);
                screen().SetText(F::BillRemarksField, u"Thanks"_s);
                f->messages().Answer(true);
                f->messages().Answer(true);
                static int writes = 0;
                static int limit = 0;
                limit = dieAt;
                sqlite3_update_hook(
                    connection.Handle(),
                    [](void*, int, const char*, const char*, sqlite3_int64) {
                        if (++writes == limit)
                            ::_exit(42);
                    },
                    nullptr);
                ::_exit(panel->Bill() ? 0 : 43);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status));
            finished = WEXITSTATUS(status) == 0;
            QCOMPARE(WEXITSTATUS(status), finished ? 0 : 42);
            crashes += finished ? 0 : 1;

            Connection after;
            after.Open(copy, DatabasePassword());
            const auto sql = [&](const QString& statement) { return after.Scalar(statement).toString(); };
            QCOMPARE(sql(u"Select QStatus || ' ' || QRemarks From ktQuotMast Where EId=7"_s),
                finished ? u"B BILL#1;Thanks"_s : u"N -"_s);
            QCOMPARE(sql(u"Select Count(*) From ktBillMast"_s), finished ? u"1"_s : u"0"_s);
            QCOMPARE(sql(u"Select Count(*) From ktBillDetl"_s), finished ? u"2"_s : u"0"_s);
            QCOMPARE(sql(u"Select Count(*) From ktQuotDetl Where EId=7"_s), u"2"_s);
            QCOMPARE(sql(u"Select PSaleQty || ' ' || PCloseQty From ktProduct Where PCode='P1'"_s),
                finished ? u"3 7"_s : u"0 10"_s);
        }
        QVERIFY(finished);
        QVERIFY2(crashes >= 10, qPrintable(QString::number(crashes)));
    }
};

QTEST_GUILESS_MAIN(TestQuotePanel)
#include "tst_quotepanel.moc"
