#include "Connection.h"
#include "DateText.h"
#include "DbError.h"
#include "Recordset.h"
#include "TempDatabase.h"

#include <memory>
#include <QLocale>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;
using kivo::test::TempDatabase;

// The fixture: the administrator "Chief" (EId 1) and two more users; three products; and
// two bills' lines in ktBillDetl, four lines sharing EId 7 (products A to D, quantities 1 to
// 4) and one line of EId 8.
class TestRecordset : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<Recordset> m_lines;

    Connection& db() { return m_db->connection(); }
    QVariant Scalar(const QString& statement) { return db().Scalar(statement); }
    QVariant Scalar(const char* statement) { return db().Scalar(QString::fromUtf8(statement)); }

    inline static const QVariant Refused = QVariant(u"(refused)"_s);

    // Bill 7's four lines, standing on the line at the given position.
    Recordset& Lines(int position = 1)
    {
        m_lines = std::make_unique<Recordset>(db());
        m_lines->Open(u"Select * From ktBillDetl Where EId= 7"_s);
        m_lines->SetAbsolutePosition(position);
        return *m_lines;
    }

    // The product codes of bill 7's lines, in rowid order.
    QString BillSevenLines()
    {
        return Scalar(
            "Select group_concat(BPId, '') From (Select BPId From ktBillDetl Where EId=7 Order By rowid)")
            .toString();
    }

    static QString Where(const Recordset& rs, const QString& field = u"BPId"_s)
    {
        return rs.Bof() ? u"BOF"_s : rs.Eof() ? u"EOF"_s : rs.Text(field);
    }

    // One step of a walk: F first, L last, N next, P previous (N5 and P5 repeat), A<n> absolute
    // position, S<id> Find EId=id from the first row, G<id> from the current one, R read a
    // field, D delete, W add a row, Q requery.
    static void Walk(Recordset& rs, const QString& steps)
    {
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            const QChar kind = step.at(0);
            const int number = step.mid(1).toInt();
            if (kind == u'N' || kind == u'P') {
                for (int i = 0; i < qMax(1, number); ++i)
                    kind == u'N' ? rs.MoveNext() : rs.MovePrevious();
            } else if (kind == u'F') {
                rs.MoveFirst();
            } else if (kind == u'L') {
                rs.MoveLast();
            } else if (kind == u'A') {
                rs.SetAbsolutePosition(number);
            } else if (kind == u'S' || kind == u'G') {
                if (kind == u'S')
                    rs.MoveFirst();
                rs.Find(u"EId=%1"_s.arg(number));
            } else if (kind == u'R') {
                rs.Value(0);
            } else if (kind == u'D') {
                rs.Delete();
            } else if (kind == u'W') {
                rs.AddNew();
                rs.SetValue(u"EDate"_s, QDate(2026, 3, 9));
                rs.Update();
            } else {
                rs.Requery();
            }
        }
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        m_db = std::make_unique<TempDatabase>();
        Connection& c = db();
        Transaction transaction(c);
        const QString user = u"Insert Into kaUser (EId, EDate, ULogin, UPasscd) Values (?, ?, ?, ?)"_s;
        c.Execute(user, { 2, QDate(2026, 3, 6), u"O'Brien"_s, u"pw"_s });
        c.Execute(user, { 3, QDate(2026, 3, 5), u"clerk"_s, u"pw"_s });
        const QString product = u"Insert Into ktProduct (EDate, PCode, PName, PSaleRate, POpenQty, PRemarks) "
                                "Values (?, ?, ?, ?, ?, ?)"_s;
        c.Execute(product, { QDate(2026, 3, 5), u"P1"_s, u"Pencil"_s, 12.5, 5, QVariant() });
        c.Execute(product, { QDate(2026, 3, 5), u"P2"_s, u"Paper"_s, 3.0, 10, u"-"_s });
        c.Execute(product, { QDate(2026, 3, 6), u"P3"_s, u"Eraser"_s, -0.25, 0, u"-"_s });
        const QString line = u"Insert Into ktBillDetl (EId, EDate, BDel, BPId, BPDesc, BQty, BRate, BValue, "
                             "BSaving, BGross, BTax) Values (?, ?, 'x', ?, ?, ?, 10, ?, 0, ?, 'T')"_s;
        for (int qty = 1; qty <= 4; ++qty) {
            const QString code(QChar(u'A' + qty - 1));
            c.Execute(line, { 7, QDate(2026, 3, 5), code, code, qty, qty * 10, qty * 10 });
        }
        c.Execute(line, { 8, QDate(2026, 3, 5), u"E"_s, u"E"_s, 1, 10, 10 });
        transaction.Commit();
    }
    void cleanup()
    {
        m_lines.reset();
        m_db.reset();
        QLocale::setDefault(QLocale::c());
    }

    // Statements that differ only in their text literals share what the first open learned:
    // each still reads its own rows (counted by the engine itself), reads again the same ones
    // and writes back to the row it stands on.
    void sameShapeOtherLiterals_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("literals");
        QTest::newRow("code") << u"Select EId, PName From ktProduct Where PCode='%1'"_s
                              << QStringList { u"P2"_s, u"P1"_s, u"P9"_s, u"P3"_s };
        QTest::newRow("quote inside")
            << u"Select EId, UPasscd From kaUser Where ULogin = '%1' And EDate>'2000-01-01'"_s
            << QStringList { u"clerk"_s, u"O''Brien"_s, u"o''brien"_s };
        QTest::newRow("like") << u"Select EId, PName From ktProduct Where PName Like '%1'"_s
                              << QStringList { u"P%"_s, u"Eras%"_s, u"x%"_s, u"Pe%"_s };
    }
    void sameShapeOtherLiterals()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, literals);
        Recordset rs(db());
        for (const QString& literal : literals) {
            rs.Open(pattern.arg(literal));
            const int rows
                = Scalar(u"Select Count(*) From "_s + pattern.arg(literal).section(u" From "_s, 1)).toInt();
            QCOMPARE(rs.RecordCount(), rows);
            rs.Requery();
            QCOMPARE(rs.RecordCount(), rows);
            if (rows == 0)
                continue;
            const QVariant id = rs.Value(0);
            const QString field = rs.Field(1).name;
            rs.SetValue(1, QString(rs.Text(1) + u"x"_s));
            rs.Update();
            QCOMPARE(
                db().Scalar(u"Select %1 From %2 Where EId=?"_s.arg(field, rs.Table()), { id }).toString(),
                rs.Text(1));
        }
    }

    // What a statement opens as: its rows, whether it can be written back, and the type, width
    // and table column of one field (type 202 text, 5 double, 3 long).
    void open_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shape"); // "rows updatable type width column"

        QTest::newRow("bare table") << u"kaUser"_s << u"ULogin"_s << u"3 1 202 10 ULogin"_s;
        QTest::newRow("renamed column beside an expression")
            << u"Select EId, PCode As Code, PSaleRate , '-' As NewValue From ktProduct"_s << u"Code"_s
            << u"3 1 202 15 PCode"_s;
        QTest::newRow("grouped") << u"Select EId, Sum(BQty) As Q From ktBillDetl Group By EId"_s << u"Q"_s
                                 << u"2 0 5 8 "_s;
        // The first value is whole, a later one is not: the field is a double, not a long.
        QTest::newRow("widened expression")
            << u"Select Case When EId = 1 Then 1 Else 2.5 End As W From ktProduct Order By EId"_s << u"W"_s
            << u"3 0 5 8 "_s;
    }
    void open()
    {
        QFETCH(QString, source);
        QFETCH(QString, field);
        Recordset rs(db());
        rs.Open(source);
        QVERIFY(rs.IsOpen() && rs.FieldIndex(field) >= 0);
        QCOMPARE(rs.AbsolutePosition(), 1);
        const FieldInfo& info = rs.Field(rs.FieldIndex(field));
        QTEST(u"%1 %2 %3 %4 %5"_s.arg(rs.RecordCount())
                  .arg(int(rs.IsUpdatable()))
                  .arg(info.type)
                  .arg(info.definedSize)
                  .arg(info.baseColumn),
            "shape");
    }

    void moves_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("bof");
        QTest::addColumn<bool>("eof");

        const QString empty = u"Select * From ktBillDetl Where EId=99"_s;
        const QString lines = u"Select * From ktBillDetl Where EId=7"_s; // four rows
        QTest::newRow("empty after moves") << empty << u"F L N P"_s << -1 << true << true;
        QTest::newRow("before the first, and back") << lines << u"P2 N"_s << 1 << false << false;
        QTest::newRow("past the last") << lines << u"L N2"_s << -1 << false << true;
    }
    void moves()
    {
        QFETCH(QString, source);
        QFETCH(QString, moves);
        QFETCH(int, position);
        Recordset rs(db());
        rs.Open(source);
        Walk(rs, moves);
        QCOMPARE(rs.AbsolutePosition(), position);
        QTEST(rs.Bof(), "bof");
        QTEST(rs.Eof(), "eof");
        if (position > 0) {
            QCOMPARE(rs.Text(u"BPId"_s), QString(QChar(u'A' + position - 1)));
            return;
        }
        // No current row: nothing to read, write or delete, and no position to jump to.
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Value(0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.SetValue(u"BQty"_s, 1));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Delete());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.SetAbsolutePosition(0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.SetAbsolutePosition(5));
        QCOMPARE(Scalar("Select Count(*) From ktBillDetl").toInt(), 5);
    }

    void find_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<int>("found"); // EId of the row found, 0 for none, -1 refused

        const QString users = u"Select * From kaUser Order By EId"_s;
        const QString products = u"Select * From ktProduct Order By EId"_s;
        QTest::newRow("text without regard to case") << users << 1 << u"ULogin= 'chief'"_s << 1;
        QTest::newRow("date literal, later row") << users << 2 << u"EDate=#03/05/2026#"_s << 3;
        QTest::newRow("doubled quote") << users << 1 << u"ULogin='o''brien'"_s << 2;
        QTest::newRow("only forward") << users << 2 << u"ULogin='Chief'"_s << 0;
        QTest::newRow("decimal comma") << products << 1 << u"PSaleRate=12,5"_s << 1;
        QTest::newRow("no operator") << users << 2 << u"ULogin 'chief'"_s << -1;
        QTest::newRow("text after the value") << users << 2 << u"ULogin='chief' And EId=1"_s << -1;
        QTest::newRow("unknown field") << users << 2 << u"Nobody='x'"_s << -1;
        QTest::newRow("not a date") << users << 2 << u"EDate=#13/45/2026#"_s << -1;
    }
    void find()
    {
        QFETCH(QString, source);
        QFETCH(int, start);
        QFETCH(QString, criterion);
        QFETCH(int, found);
        Recordset rs(db());
        rs.Open(source);
        rs.SetAbsolutePosition(start);
        if (found < 0) {
            QVERIFY_THROWS_EXCEPTION(DbError, rs.Find(criterion));
            QCOMPARE(rs.AbsolutePosition(), start);
            return;
        }
        QCOMPARE(rs.Find(criterion), found != 0);
        QCOMPARE(
            found ? rs.Value(u"EId"_s).toString() : Where(rs), found ? QString::number(found) : u"EOF"_s);
    }

    // A Null reads as no text; a date as a date, its text in the shop's short format.
    void values()
    {
        Recordset rs(db());
        rs.Open(u"Select PRemarks, EDate From ktProduct Where EId=1"_s);
        QCOMPARE(rs.Value(0), QVariant());
        QCOMPARE(rs.Text(0), QString());
        QCOMPARE(rs.Value(1), QVariant(QDate(2026, 3, 5)));
        QCOMPARE(rs.Text(1), u"2026-03-05"_s);
        QLocale::setDefault(QLocale(u"de_DE"_s));
        QCOMPARE(rs.Text(1), u"05.03.2026"_s);
    }

    // Saving a new record: a row holding only the entry date is added so that the database
    // assigns the id; the screen then writes the full record into that row.
    void addNewAssignsId()
    {
        const int before = Scalar("Select Max(EId) From ktProduct").toInt();
        Recordset screen(db());
        screen.Open(u"Select EId, EDate From ktProduct"_s);
        screen.AddNew();
        QCOMPARE(screen.Value(u"EId"_s), QVariant());
        screen.SetValue(u"EDate"_s, ShortDate(QDate(2026, 3, 7)));
        screen.Update();
        QCOMPARE(screen.Value(u"EId"_s).toInt(), before + 1);
        QCOMPARE(u"%1 of %2"_s.arg(screen.AbsolutePosition()).arg(screen.RecordCount()), u"4 of 4"_s);
        QVERIFY(!screen.IsEditing());
        QCOMPARE(Scalar("Select Group_Concat(EId || EDate) From ktProduct Where EId > 3"),
            QVariant(u"%1%2"_s.arg(before + 1).arg(u"2026-03-07"_s)));
    }

    void assignment_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<QVariant>("stored"); // Refused: the assignment throws

        QTest::newRow("decimal comma") << u"PSaleRate"_s << QVariant(u"12,75"_s) << QVariant(12.75);
        QTest::newRow("long, half down to even") << u"POpenQty"_s << QVariant(u"12.5"_s) << QVariant(12LL);
        QTest::newRow("short date") << u"EDate"_s << QVariant(u"2026-03-07"_s) << QVariant(u"2026-03-07"_s);
        QTest::newRow("empty number is null") << u"PSaleRate"_s << QVariant(QString()) << QVariant();
        QTest::newRow("empty text stays text") << u"PName"_s << QVariant(QString()) << QVariant(QString());
        QTest::newRow("width counts characters")
            << u"PCode"_s << QVariant(u"ÄÖÜäöüßÉÈÊéèêÇç"_s) << QVariant(u"ÄÖÜäöüßÉÈÊéèêÇç"_s);
        QTest::newRow("trailing letter to a long") << u"POpenQty"_s << QVariant(u"12x"_s) << Refused;
        QTest::newRow("long overflow") << u"POpenQty"_s << QVariant(u"3000000000"_s) << Refused;
        QTest::newRow("not a date") << u"EDate"_s << QVariant(u"2026-02-30"_s) << Refused;
        QTest::newRow("text too long") << u"PCode"_s << QVariant(u"ABCDEFGHIJKLMNOP"_s) << Refused;
    }
    void assignment()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, input);
        QFETCH(QVariant, stored);
        Recordset rs(db());
        rs.Open(u"Select * From ktProduct Where EId=1"_s);
        const QString read = u"Select "_s + field + u" From ktProduct Where EId=1"_s;
        if (stored == Refused) {
            const QVariant before = rs.Value(field);
            stored = Scalar(read);
            QVERIFY_THROWS_EXCEPTION(DbError, rs.SetValue(field, input));
            QCOMPARE(rs.Value(field), before);
            QVERIFY(!rs.IsEditing());
            // A good assignment before the failed one stays pending, and is all that is written.
            rs.SetValue(u"PName"_s, u"Pen"_s);
            QVERIFY_THROWS_EXCEPTION(DbError, rs.SetValue(field, input));
            QCOMPARE(rs.Value(field), before);
            rs.Update();
            QCOMPARE(Scalar("Select PName From ktProduct Where EId=1"), QVariant(u"Pen"_s));
        } else {
            rs.SetValue(field, input);
            rs.Update();
        }
        QCOMPARE(Scalar(read), stored);
    }

    // Detail lines share their master's EId; writing back goes by rowid, so one line
    // changes and its siblings stay.
    void detailLine()
    {
        Recordset& rs = Lines(3);
        rs.SetValue(u"BQty"_s, 9);
        rs.Update();
        QCOMPARE(Scalar(u"Select Sum(BQty) From ktBillDetl"_s).toDouble(), 17.0);
        QCOMPARE(Scalar(u"Select BQty From ktBillDetl Where BPId='C'"_s), QVariant(9.0));
        rs.Delete();
        QCOMPARE(BillSevenLines(), u"ABD"_s);
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(Scalar(u"Select Count(*) From ktBillDetl"_s).toInt(), 4);
        // A new line takes its id from its master and gets none of its own.
        rs.AddNew();
        rs.SetValue(u"EId"_s, 7);
        rs.SetValue(u"BPId"_s, u"F"_s);
        rs.SetValue(u"BQty"_s, u"2,5"_s);
        rs.Update();
        QCOMPARE(rs.Value(u"EId"_s), QVariant(7LL));
        QCOMPARE(BillSevenLines(), u"ABDF"_s);
        QCOMPARE(Scalar("Select BQty From ktBillDetl Where BPId='F'"), QVariant(2.5));
    }

    // After Delete the cursor stands on the row that followed. A MoveNext straight after
    // Delete only steps off the deleted row, so "delete, then move next" visits every row.
    void deleteMovesOn_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("then"); // steps as in Walk
        QTest::addColumn<QString>("where");

        QTest::newRow("middle, next") << 2 << u"N"_s << u"C"_s;
        QTest::newRow("middle, read, next") << 2 << u"R N"_s << u"D"_s;
        QTest::newRow("first, previous") << 1 << u"P"_s << u"BOF"_s;
        QTest::newRow("last") << 4 << QString() << u"EOF"_s;
    }
    void deleteMovesOn()
    {
        QFETCH(int, line);
        QFETCH(QString, then);
        Recordset& rs = Lines(line);
        rs.Delete();
        Walk(rs, then);
        QTEST(Where(rs), "where");
    }

    // Steps as in Walk.
    void movingOffWritesPending_data()
    {
        QTest::addColumn<QString>("move");
        for (const char* move : { "L", "P", "G8", "Q", "W" })
            QTest::newRow(move) << QString::fromLatin1(move);
    }
    void movingOffWritesPending()
    {
        QFETCH(QString, move);
        Recordset& rs = Lines(2);
        rs.SetValue(u"BRate"_s, u"99,5"_s);
        QVERIFY(rs.IsEditing());
        Walk(rs, move);
        QCOMPARE(Scalar("Select BRate From ktBillDetl Where BPId='B'"), QVariant(99.5));
        QCOMPARE(Scalar("Select Count(*) From ktBillDetl Where BRate=99.5").toInt(), 1);
    }

    // The database refuses the write: nothing of the row is written, the snapshot shows
    // what the database holds (the edit is cancelled, a row being added goes and the cursor
    // goes back), and the recordset goes on working.
    void failedWriteWritesNothing()
    {
        db().ExecuteRaw(
            u"CREATE TRIGGER refuse_negative BEFORE UPDATE ON ktBillDetl WHEN NEW.BQty < 0 "
            "BEGIN SELECT RAISE(ABORT, 'negative quantity'); END; CREATE TRIGGER refuse_line "
            "BEFORE INSERT ON ktBillDetl WHEN NEW.BPId = 'Z' BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
        Recordset& rs = Lines(2);
        rs.SetValue(u"BRate"_s, 50);
        rs.SetValue(u"BQty"_s, -1);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Update());
        QVERIFY(!rs.IsEditing());
        QCOMPARE(rs.Value(u"BRate"_s), QVariant(10.0));
        QCOMPARE(rs.Value(u"BQty"_s), QVariant(2.0));
        QCOMPARE(Scalar("Select Count(*) From ktBillDetl Where BRate=50").toInt(), 0);

        rs.AddNew();
        rs.SetValue(u"EId"_s, 7);
        rs.SetValue(u"BPId"_s, u"Z"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Update());
        QVERIFY(!rs.IsEditing());
        QCOMPARE(rs.RecordCount(), 4);
        QCOMPARE(rs.AbsolutePosition(), 2);
        QCOMPARE(Scalar("Select Count(*) From ktBillDetl").toInt(), 5);

        rs.SetValue(u"BRate"_s, 50);
        rs.Update();
        QCOMPARE(Scalar("Select BRate From ktBillDetl Where BPId='B'"), QVariant(50.0));
    }

    // A row removed behind the recordset's back cannot be written or deleted; that is an
    // error, not a silent no-op. Requery then reads what the database holds.
    void rowGoneBehindTheSnapshot()
    {
        Recordset& rs = Lines();
        db().Execute(u"Delete * From ktBillDetl Where BPId='A'"_s);
        rs.SetValue(u"BQty"_s, 5);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Update());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Delete());
        QCOMPARE(Scalar("Select Count(*) From ktBillDetl Where BQty=5").toInt(), 0);
        rs.Requery();
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(rs.Text(u"BPId"_s), u"B"_s);
    }

    // The product update screen lists "'-' As NewValue" beside the columns it writes: the
    // new value lives in the snapshot, the table column goes to the database.
    void expressionColumnStaysInSnapshot()
    {
        Recordset rs(db());
        rs.Open(u"Select EId, PCode, PName, PSaleRate , '-' As NewValue From ktProduct Where 1=1"_s);
        rs.SetAbsolutePosition(2);
        rs.SetValue(u"NewValue"_s, u"4,5"_s);
        rs.SetValue(3, u"4,5"_s);
        rs.MoveFirst();
        QCOMPARE(Scalar("Select PSaleRate From ktProduct Where EId=2"), QVariant(4.5));
        rs.SetAbsolutePosition(2);
        QCOMPARE(rs.Text(u"NewValue"_s), u"4,5"_s);
        QCOMPARE(rs.Value(u"PSaleRate"_s), QVariant(4.5));
        rs.MoveFirst();
        QCOMPARE(rs.Text(u"NewValue"_s), u"-"_s);
    }

    // A join that repeats column names: each is reachable by qualified name and by
    // position, and the bare name finds the first.
    void qualifiedJoinNames_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("a.*, b.*") << u"Select a.*, b.* From ktBillMast a, ktBillDetl b Where a.EId=b.EId "
                                     "Order By b.BPId"_s;
        QTest::newRow("named columns")
            << u"Select a.BGross, b.BGross From ktBillMast As a Inner Join ktBillDetl b On a.EId=b.EId "
               "Order By b.BPId"_s;
    }
    void qualifiedJoinNames()
    {
        QFETCH(QString, source);
        db().Execute(u"Insert Into ktBillMast (EId, EDate, BGross) Values (7, '2026-03-05', 100)"_s);
        Recordset rs(db());
        rs.Open(source);
        QVERIFY(!rs.IsUpdatable());
        const int master = rs.FieldIndex(u"a.BGross"_s);
        const int line = rs.FieldIndex(u"B.bgross"_s);
        QVERIFY(master >= 0 && line > master);
        QCOMPARE(rs.FieldIndex(u"BGross"_s), master);
        QCOMPARE(rs.FieldIndex(u"c.BGross"_s), master); // no table c: the first of that name
        QCOMPARE(rs.Value(master), QVariant(100.0));
        QCOMPARE(rs.Value(u"b.BGross"_s), QVariant(10.0));
        // A join is read-only: every write is refused and nothing reaches the database.
        QVERIFY_THROWS_EXCEPTION(DbError, rs.SetValue(line, 1));
        QCOMPARE(rs.Value(line), QVariant(10.0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.AddNew());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Delete());
        QCOMPARE(Scalar("Select Count(*) From ktBillDetl").toInt(), 5);
    }

    // Find on a browse list, and on a long snapshot of a table whose rows are as they were
    // read, runs as a query; a snapshot whose table changed since scans the rows it holds.
    // All must give the same rows for every criterion, from every starting row.
    void findPushedDownMatchesScan_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::newRow("text, other case") << u"PName='åsa'"_s;
        QTest::newRow("doubled quote") << u"PName='o''neil'"_s;
        QTest::newRow("id range") << u"EId>=4"_s;
        QTest::newRow("decimal comma") << u"PSaleRate=12,5"_s;
        QTest::newRow("date literal") << u"EDate=#03/05/2026#"_s;
        QTest::newRow("null never matches") << u"PRemarks<>'x'"_s;
    }
    void findPushedDownMatchesScan()
    {
        QFETCH(QString, criterion);
        // Enough rows that the snapshot's first rows search by query and its last ones scan; the
        // last four names differ in case, hold a quote or are not ASCII; a gap in the ids.
        const QStringList names { u"Åsa"_s, u"åsa"_s, u"O'Neil"_s, u"Zoë"_s };
        db().Execute(u"Delete * From ktProduct Where EId=2"_s);
        for (int i = 0; i < 74; ++i)
            db().Execute(u"Insert Into ktProduct (EDate, PCode, PName, PSaleRate) Values (?, ?, ?, ?)"_s,
                { QDate(2026, 3, 1 + i % 9), u"F%1"_s.arg(i),
                    i >= 70     ? names[i - 70]
                        : i % 3 ? u"Pad"_s
                                : u"Åsa"_s,
                    i % 5 * 6.25 });

        const QString statement = u"Select * From ktProduct Where EId > 0 Order By EId"_s;
        Recordset scanned(db());
        scanned.Open(statement);
        db().Execute(u"Update kaUser Set UName = UName"_s); // the database changed since
        Recordset list(db());
        list.Open(u"Select * From ktProduct"_s);
        Recordset snapshot(db());
        snapshot.Open(statement);
        QVERIFY(list.IsWindowed());
        QVERIFY(!snapshot.IsWindowed());
        QCOMPARE(list.RecordCount(), snapshot.RecordCount());
        auto matches = [&](Recordset& rs, int start) {
            QList<qint64> found;
            rs.SetAbsolutePosition(start);
            while (rs.Find(criterion)) {
                found << rs.Value(u"EId"_s).toLongLong() * 100 + rs.AbsolutePosition();
                rs.MoveNext();
            }
            return found;
        };
        for (int start = 1; start <= snapshot.RecordCount(); ++start) {
            const QList<qint64> expected = matches(scanned, start);
            QCOMPARE(matches(list, start), expected);
            QCOMPARE(matches(snapshot, start), expected);
        }
    }

    // Rows written behind a snapshot's back do not change what its Find sees: a row deleted
    // since is still found where it is held, a row added since is not.
    void snapshotFindKeepsToItsRows()
    {
        Transaction transaction(db());
        for (int i = 0; i < 100; ++i)
            db().Execute(u"Insert Into ktProduct (EDate, PCode, PName) Values ('2026-03-07', ?, 'Pad')"_s,
                { u"F%1"_s.arg(i) });
        transaction.Commit();
        Recordset snapshot(db());
        snapshot.Open(u"Select EId, PCode From ktProduct Where PName = 'pad'"_s);
        QCOMPARE(snapshot.RecordCount(), 100);
        db().Execute(u"Delete * From ktProduct Where PCode = 'F50'"_s);
        db().Execute(u"Insert Into ktProduct (EDate, PCode, PName) Values ('2026-03-07', 'F100', 'Pad')"_s);
        snapshot.MoveFirst();
        QVERIFY(snapshot.Find(u"PCode='f50'"_s));
        QCOMPARE(snapshot.AbsolutePosition(), 51);
        snapshot.MoveFirst();
        QVERIFY(!snapshot.Find(u"PCode='F100'"_s));
        QVERIFY(snapshot.Eof());
    }

    // A browse list longer than its window moves, counts, deletes and adds as a snapshot of
    // the same rows does, step by step (steps as in Walk).
    void windowedMatchesSnapshot_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("read forward past a window") << u"F N N N N38 N N"_s;
        QTest::newRow("off both ends") << u"L N N P F P P N"_s;
        QTest::newRow("find by id") << u"S250 P N S7 S300 S299 L S30"_s;
        QTest::newRow("delete and move on") << u"A40 D N D P D A1 D D N L D P D"_s;
        QTest::newRow("delete at a window's edge") << u"F N31 D N D P"_s;
        QTest::newRow("add, then browse") << u"A100 W P N F L W N A2 S305"_s;
    }
    void windowedMatchesSnapshot()
    {
        QFETCH(QString, steps);
        auto fill = [](Connection& c) {
            Transaction transaction(c);
            c.Execute(u"Delete * From ktProduct"_s);
            for (int i = 4; i <= 320; ++i)
                c.Execute(u"Insert Into ktProduct (EId, EDate, PCode) Values (?, '2026-03-05', ?)"_s,
                    { i, u"Q%1"_s.arg(i) });
            // Gaps in the ids: positions are not ids.
            c.Execute(u"Delete * From ktProduct Where EId % 7 = 0"_s);
            transaction.Commit();
        };
        fill(db());
        TempDatabase other;
        fill(other.connection());
        Recordset list(db());
        list.Open(u"Select EId, EDate, PCode From ktProduct"_s);
        Recordset snapshot(other.connection());
        snapshot.Open(u"Select EId, EDate, PCode From ktProduct Where EId > 0"_s);
        QVERIFY(list.IsWindowed());
        QVERIFY(!snapshot.IsWindowed());

        auto state = [](const Recordset& rs) {
            return u"%1 at %2 of %3"_s.arg(Where(rs, u"PCode"_s))
                .arg(rs.AbsolutePosition())
                .arg(rs.RecordCount());
        };
        for (const QString& step : steps.split(u' ')) {
            try {
                Walk(list, step);
                Walk(snapshot, step);
            } catch (const DbError& e) {
                QFAIL(qPrintable(step + u": "_s + e.description));
            }
            QCOMPARE(state(list), state(snapshot));
        }
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
