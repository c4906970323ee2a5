// The counter's customer look-up by phone: found, added with placeholders, refused, and
// added inside the caller's transaction.
#include "Connection.h"
#include "CustomerByPhone.h"
#include "Recordset.h"
#include "ShopRows.h"
#include "TestContext.h"

#include <memory>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const QDate BillDay(2026, 3, 5);

} // namespace

class TestCustomerByPhone : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> t;

    QVariant Scalar(const QString& sql) { return t->context.connection.Scalar(sql); }
    int Customers() { return Scalar(u"Select Count(*) From ktCustomer"_s).toInt(); }

private slots:
    void init()
    {
        t = std::make_unique<TestContext>();
        Connection& c = t->context.connection;
        AddCustomer(c, 1, u"Ann Lee"_s, u"5550001"_s, u"C01015550"_s);
        AddCustomer(c, 2, u"Bo Ray"_s, u"5550002"_s, u"C01020002"_s, u"N"_s);
        // A phone stored twice by another route: the first stored is the one found.
        AddCustomer(c, 3, u"Cy Dunn"_s, u"5550003"_s, u"C01030003"_s);
        AddCustomer(c, 4, u"Di Fox"_s, u"5550003"_s, u"C01040003"_s);
    }
    void cleanup() { t.reset(); }

    void lookUp_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("found"); // "id name code", or "new CODE" for an added customer
        QTest::addColumn<QStringList>("shown");
        using O = CustomerByPhone::Outcome;
        const QStringList added { u"New Customer Added !"_s };
        const QStringList invalid { u"Invalid Phone !"_s };
        const QStringList none;

        QTest::newRow("known") << "5550001" << BillDay << int(O::Found) << "1 Ann Lee C01015550" << none;
        QTest::newRow("known, blanks around")
            << " 5550001 " << BillDay << int(O::Found) << "1 Ann Lee C01015550" << none;
        QTest::newRow("inactive still used") << "5550002" << BillDay << int(O::Found) << "2 Bo Ray C01020002"
                                             << QStringList { u"<Inactive Customer>"_s };
        QTest::newRow("phone stored twice")
            << "5550003" << BillDay << int(O::Found) << "3 Cy Dunn C01030003" << none;
        QTest::newRow("new ten digits")
            << "9876543210" << BillDay << int(O::Created) << "new C03053210" << added;
        QTest::newRow("new on 3 December")
            << "0123453210" << QDate(2026, 12, 3) << int(O::Created) << "new C12033210" << added;
        QTest::newRow("new, shorter than four")
            << "123" << BillDay << int(O::Created) << "new C0305123" << added;
        QTest::newRow("empty") << "" << BillDay << int(O::NoPhone) << "" << none;
        QTest::newRow("letters") << "55500a1" << BillDay << int(O::InvalidPhone) << "" << invalid;
        QTest::newRow("blanks only") << "   " << BillDay << int(O::NoPhone) << "" << none;
        QTest::newRow("blank inside") << "555 0001" << BillDay << int(O::InvalidPhone) << "" << invalid;
        QTest::newRow("quote") << "555'0001" << BillDay << int(O::InvalidPhone) << "" << invalid;
        QTest::newRow("statement") << "1' Or '1'='1" << BillDay << int(O::InvalidPhone) << "" << invalid;
        QTest::newRow("wider than the column")
            << "98765432101" << BillDay << int(O::InvalidPhone) << "" << invalid;
    }
    void lookUp()
    {
        QFETCH(QString, phone);
        QFETCH(QDate, today);
        QFETCH(int, outcome);
        QFETCH(QString, found);
        QFETCH(QStringList, shown);
        t->context.today = [today] { return today; };
        const int before = Customers();

        const CustomerByPhone::Result result = CustomerByPhone(t->context).LookUp(phone, BillDay);

        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(t->messages.shown, shown);
        if (outcome == int(CustomerByPhone::Outcome::Found)) {
            const PhoneCustomer& c = result.customer;
            QCOMPARE(u"%1 %2 %3"_s.arg(c.id).arg(c.name, c.code), found);
            QCOMPARE(c.active, c.id != 2);
        }
        if (outcome != int(CustomerByPhone::Outcome::Created)) {
            QCOMPARE(Customers(), before);
            return;
        }
        // The added row, read back by SQL: placeholders, the trimmed phone, the bill's date.
        QCOMPARE(Customers(), before + 1);
        Recordset row(t->context.connection);
        row.Open(u"Select * From ktCustomer Where EId="_s + QString::number(result.customer.id));
        QVERIFY(!row.Eof());
        QCOMPARE(u"new "_s + row.Text(u"CCode"_s), found);
        QCOMPARE(row.Value(u"EDate"_s).toDate(), BillDay);
        QCOMPARE(row.Text(u"CPhone"_s), phone.trimmed());
        QCOMPARE(row.Text(u"CActive"_s), u"Y"_s);
        for (const char* column :
            { "CName", "CAddress", "CCity", "CState", "CCountry", "CZipCode", "CEmail", "CRemarks" })
            QCOMPARE(row.Text(QString::fromLatin1(column)), u"-"_s);
        QCOMPARE(result.customer.name, u"-"_s);
        // Asked again, the same phone finds the customer just added.
        t->messages.shown.clear();
        const CustomerByPhone::Result again = CustomerByPhone(t->context).LookUp(phone, BillDay);
        QCOMPARE(int(again.outcome), int(CustomerByPhone::Outcome::Found));
        QCOMPARE(again.customer.id, result.customer.id);
    }

    // A bill that is never checked out takes its new customer back with it.
    void addedInsideTheCallersTransaction()
    {
        Connection& c = t->context.connection;
        const int before = Customers();
        {
            Transaction bill(c);
            const CustomerByPhone::Result result = CustomerByPhone(t->context).LookUp(u"7770001"_s, BillDay);
            QCOMPARE(int(result.outcome), int(CustomerByPhone::Outcome::Created));
            QCOMPARE(c.TransactionDepth(), 1);
            QCOMPARE(Customers(), before + 1);
        }
        QCOMPARE(Customers(), before);
    }

    // A database that cannot answer: reported once, nothing added, the caller goes on.
    void failureIsReported()
    {
        t->context.connection.ExecuteRaw(u"DROP TABLE ktCustomer"_s);
        const CustomerByPhone::Result result = CustomerByPhone(t->context).LookUp(u"5550001"_s, BillDay);
        QCOMPARE(int(result.outcome), int(CustomerByPhone::Outcome::Failed));
        QCOMPARE(t->messages.shown, QStringList { u"ErroR!"_s });
        QCOMPARE(t->ErrorLogLines().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCustomerByPhone)
#include "tst_customerbyphone.moc"
