// The counter window offscreen: keys as a cashier and a scanner send them, the cursor's way
// through the fields, the pay keys from any field, and the "x" of a line.
#include <QTest>

#include "EngineFixture.h"
#include "KvBilling.h"
#include "ShopRows.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include <memory>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class TestKvBilling : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<KvBilling> m_window;
    QStringList m_printed;

    QLineEdit* Box(int n) { return qobject_cast<QLineEdit*>(m_window->Element(u"txtField(%1)"_s.arg(n))); }

    QString FocusedElement()
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->accessibleDescription() : u"none"_s;
    }

    void Scan(const QString& code)
    {
        QTest::keyClicks(Box(BillingState::ProductCode), code);
        QTest::keyClick(Box(BillingState::ProductCode), Qt::Key_Return);
    }

private slots:
    void initTestCase()
    {
        f = std::make_unique<EngineFixture>();
        ProgramContext& context = f->context();
        context.login.UserId = u"1"_s;
        context.login.LoginName = u"cashier"_s;
        context.preferences.PStkChek = u"N"_s;
        context.preferences.PAmtRoun = u"2"_s;
        context.preferences.PTaxPer1 = u"0"_s;
        context.preferences.PTaxPer2 = u"0"_s;
        context.preferences.PDisPerc = u"0"_s;
        context.preferences.PDisEdit = u"Y"_s;
        Connection& c = f->db();
        c.Execute(u"Delete From ktProduct"_s);
        c.Execute(u"Delete From kmGroup"_s);
        AddGroup(c, 1, u"Teas"_s, 0);
        for (int i = 1; i <= 12; ++i)
            AddProduct(c, { .code = u"C%1"_s.arg(i), .saleRate = 10 * i + 0.5, .stock = 9, .group = 1 });
        c.Execute(u"Insert Into ktCustomer (EDate, CName, CPhone, CActive) Values (#3/5/2026#, 'Ann', "
                  "'5550001111', 'Y')"_s);
    }

    void init()
    {
        f->messages().shown.clear();
        m_printed.clear();
        m_window = std::make_unique<KvBilling>(f->context(), f->engine);
        m_window->printBill = [this](int report, const QStringList& fields, const QStringList&) {
            m_printed << QString::number(report) << fields.at(0);
        };
        m_window->resize(1280, 720);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // A scanner's burst: thirty codes typed and ended with Enter without a pause, one line each,
    // in the order scanned.
    void burstOfScans()
    {
        QCOMPARE(FocusedElement(), u"txtField(5)"_s);
        Box(BillingState::ProductCode)->setFocus();
        QStringList scanned;
        for (int i = 0; i < 30; ++i) {
            scanned << u"C%1"_s.arg(i * 7 % 12 + 1);
            Scan(scanned.last());
        }
        const LineGrid& grid = m_window->state().Grid();
        QStringList lines;
        for (int r = 0; r < grid.LineCount(); ++r)
            lines << grid.Text(r, LineGrid::CodeColumn);
        QCOMPARE(lines, scanned);
        QCOMPARE(Box(BillingState::Items)->text(), u"30"_s);
        QCOMPARE(Box(BillingState::ProductCode)->text(), QString());
        QCOMPARE(FocusedElement(), u"txtField(98)"_s);
        QVERIFY(f->messages().shown.isEmpty());
        QCOMPARE(m_window->Element(u"txtField(41)"_s)->accessibleName(), u"CUST PHONE"_s);
        QCOMPARE(m_window->Element(u"lblList(2)"_s)->property("text").toString(), u"CASHIER"_s);
        m_window->grab().save(u"/tmp/kvbilling.png"_s);
    }

    // Enter in a field moves the cursor on; OTHER and MISC stop at their pay-type buttons when
    // they hold an amount.
    void enterChain_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("next");

        QTest::newRow("discount") << 5 << u"0"_s << u"txtField(98)"_s;
        QTest::newRow("discount not a number") << 5 << u"ten"_s << u"txtField(5)"_s;
        QTest::newRow("blank code") << 98 << u""_s << u"cmdList(98)"_s;
        QTest::newRow("unknown code stays") << 98 << u"ZZ"_s << u"txtField(98)"_s;
        QTest::newRow("phone") << 41 << u""_s << u"cmdList(4)"_s;
        QTest::newRow("cash") << 13 << u"1"_s << u"txtField(14)"_s;
        QTest::newRow("credit") << 14 << u"1"_s << u"txtField(15)"_s;
        QTest::newRow("other empty") << 15 << u"0"_s << u"txtField(16)"_s;
        QTest::newRow("other paid") << 15 << u"5"_s << u"cmdList(18)"_s;
        QTest::newRow("misc empty") << 16 << u"abc"_s << u"txtField(20)"_s;
        QTest::newRow("misc paid") << 16 << u"5"_s << u"cmdList(19)"_s;
        QTest::newRow("remarks") << 20 << u"-"_s << u"cmdCheck"_s;
    }

    void enterChain()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, next);
        QLineEdit* box = Box(field);
        box->setFocus();
        box->selectAll();
        if (typed.isEmpty())
            box->clear();
        else
            QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(FocusedElement(), next);
    }

    // F1 to F6 act from any text field, fill the tenders and send the cursor to REMARKS.
    void payKeys()
    {
        Box(BillingState::ProductCode)->setFocus();
        Scan(u"C1"_s); // 10.50
        Scan(u"C2"_s); // 20.50
        QCOMPARE(m_window->Element(u"cmdHot(1)"_s)->property("text").toString(), u"F2 CASH\n(40)"_s);
        QTest::keyClick(Box(BillingState::ProductCode), Qt::Key_F2);
        QCOMPARE(Box(BillingState::CashPay)->text(), u"40.00"_s);
        QCOMPARE(Box(BillingState::ReturnAmount)->text(), u"9.00"_s);
        QCOMPARE(FocusedElement(), u"txtField(20)"_s);
        QTest::keyClick(Box(BillingState::Remarks), Qt::Key_F4);
        QTest::keyClick(Box(BillingState::Remarks), Qt::Key_F4);
        QCOMPARE(Box(BillingState::CashPay)->text(), u"0.00"_s);
        QCOMPARE(Box(BillingState::CreditPay)->text(), u"31.00"_s);
        QCOMPARE(Box(BillingState::ReturnAmount)->text(), u"0.00"_s);
    }

    void removeByTheX()
    {
        Box(BillingState::ProductCode)->setFocus();
        Scan(u"C3"_s);
        Scan(u"C4"_s);
        auto* grid = qobject_cast<QTableView*>(m_window->Element(u"grdMain"_s));
        const QModelIndex x = grid->model()->index(0, LineGrid::DelColumn);
        for (bool answer : { false, true }) {
            f->messages().Answer(answer);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(x).center());
        }
        QCOMPARE(f->messages().shown, QStringList(2, u"Remove Product ?"_s));
        QCOMPARE(m_window->state().Grid().LineCount(), 1);
        QCOMPARE(m_window->state().Grid().Text(0, LineGrid::CodeColumn), u"C4"_s);
        QCOMPARE(Box(BillingState::NettAmount)->text(), u"40.50"_s);
        QCOMPARE(FocusedElement(), u"grdMain"_s);
    }

    // A bill checked out from the window is printed with the bill's number and the window goes.
    void checkoutPrintsAndCloses()
    {
        QSignalSpy closing(m_window.get(), &KvBilling::closeRequested);
        Box(BillingState::ProductCode)->setFocus();
        Scan(u"C5"_s);
        m_window->state().SetText(BillingState::CustomerId, u"1"_s);
        QTest::keyClick(Box(BillingState::ProductCode), Qt::Key_F1);
        f->messages().Answer(true);
        qobject_cast<QPushButton*>(m_window->Element(u"cmdCheck"_s))->click();
        QCOMPARE(m_printed, QStringList({ u"57"_s, m_window->state().Text(BillingState::BillId) }));
        QCOMPARE(closing.size(), 1);
    }

    void closingMidBillAsks()
    {
        Box(BillingState::ProductCode)->setFocus();
        Scan(u"C6"_s);
        f->messages().Answer(false);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        f->messages().Answer(true);
        QVERIFY(m_window->close());
        QCOMPARE(f->messages().shown, QStringList(2, u"Confirm Cancel/Exit ?"_s));
    }

    // A pay type picked for OTHER: its name beside the field, the cursor on to MISC PAY; the
    // picker closed without a pick for MISC leaves "MISC" and goes on to REMARKS.
    void payTypes()
    {
        QStringList sources;
        m_window->pickFromList = [&](const QString& source) -> std::optional<ListPick> {
            sources << source;
            if (sources.size() == 1)
                return ListPick { u"3"_s, u"Voucher"_s };
            return std::nullopt;
        };
        qobject_cast<QPushButton*>(m_window->Element(u"cmdList(18)"_s))->click();
        QCOMPARE(m_window->Element(u"lblList(18)"_s)->property("text").toString(), u"Voucher"_s);
        QCOMPARE(m_window->state().Text(BillingState::OtherType), u"3"_s);
        QCOMPARE(FocusedElement(), u"txtField(16)"_s);
        qobject_cast<QPushButton*>(m_window->Element(u"cmdList(19)"_s))->click();
        QCOMPARE(m_window->Element(u"lblList(19)"_s)->property("text").toString(), u"MISC"_s);
        QCOMPARE(FocusedElement(), u"txtField(20)"_s);
        QCOMPARE(sources, QStringList(2, u"Select PName, EId From kmPaytype"_s));
    }

    // The phone, left with Enter: the customer found, added or refused.
    void phone_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("name"); // lblList(4)
        QTest::addColumn<QString>("focus");

        QTest::newRow("known") << u"5550001111"_s << u""_s << u"Ann"_s << u"cmdList(4)"_s;
        QTest::newRow("new") << u"5550002222"_s << u"New Customer Added !"_s << u"-"_s << u"cmdList(4)"_s;
        QTest::newRow("letters") << u"555abc"_s << u"Invalid Phone !"_s << u""_s << u"txtField(41)"_s;
        QTest::newRow("empty") << u""_s << u""_s << u""_s << u"cmdList(4)"_s;
    }

    void phone()
    {
        QFETCH(QString, phone);
        QFETCH(QString, messages);
        QFETCH(QString, name);
        QFETCH(QString, focus);
        QLineEdit* box = Box(BillingState::CustomerPhone);
        box->setFocus();
        QTest::keyClicks(box, phone);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f->messages().shown.join(u'|'), messages);
        QCOMPARE(m_window->Element(u"lblList(4)"_s)->property("text").toString(), name);
        QCOMPARE(m_window->state().Text(BillingState::CustomerId).isEmpty(), name.isEmpty());
        QCOMPARE(FocusedElement(), focus);
    }
};

QTEST_MAIN(TestKvBilling)
#include "tst_kvbilling.moc"
