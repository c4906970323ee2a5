// The customer screen around a phone, without its window: search, create, complete and save.
#include "CustomerBState.h"
#include "EngineFixture.h"
#include "ShopRows.h"

#include <memory>
#include <QSignalSpy>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {
using F = CustomerBState::FieldNumber;
}

class TestCustomerBState : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<CustomerBState> state;
    ScriptedMessages* messages = nullptr;

    QVariant Scalar(const QString& sql) { return f->Scalar(sql); }
    int Customers() { return Scalar(u"Select Count(*) From ktCustomer"_s).toInt(); }
    RecordScreen& screen() { return state->screen(); }
    // Stand-alone, the phone typed and searched.
    void Search(const QString& phone)
    {
        state->OpenStandAlone();
        screen().SetText(F::PhoneField, phone);
        state->Search();
    }

private slots:
    void init()
    {
        f = std::make_unique<EngineFixture>();
        state = std::make_unique<CustomerBState>(f->context(), f->engine);
        messages = &f->messages();
        AddCustomer(f->db(), 1, u"Ann Lee"_s, u"5550001"_s, u"C07010001"_s);
        AddCustomer(f->db(), 2, u"Cy Dunn"_s, u"5550003"_s, u"C07020003"_s);
    }
    void cleanup()
    {
        state.reset();
        f.reset();
    }

    void search_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<int>("answer"); // to "Create New ?": 1 Yes, 0 No, -1 not asked
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("name"); // shown in field 2; empty: no customer shown
        QTest::addColumn<int>("focus"); // the field the cursor goes to; -1 none
        const QString create = u"Customer Not Found; Create New ?"_s;
        const QStringList invalid { u"Invalid Phone !"_s };
        QTest::newRow("known") << "5550001" << -1 << QStringList() << "Ann Lee" << int(F::NameField);
        QTest::newRow("new, created")
            << "9876543210" << 1 << QStringList { create, u"New Customer Added !"_s } << "-"
            << int(F::NameField);
        QTest::newRow("new, not created") << "9876543210" << 0 << QStringList { create } << "" << -1;
        QTest::newRow("empty") << "" << -1 << invalid << "" << int(F::PhoneField);
        QTest::newRow("letters") << "555-0001" << -1 << invalid << "" << int(F::PhoneField);
    }
    void search()
    {
        QFETCH(QString, phone);
        QFETCH(int, answer);
        QFETCH(QStringList, shown);
        QFETCH(QString, name);
        if (answer >= 0)
            messages->Answer(answer == 1);
        const int before = Customers();
        state->OpenStandAlone();
        QVERIFY(screen().field(F::PhoneField).typeable);
        QVERIFY(!state->SaveEnabled());
        QVERIFY(!screen().field(F::ActiveField).buttonEnabled);
        QVERIFY(!screen().field(F::NameField).typeable);
        QSignalSpy focusSpy(state.get(), &CustomerBState::focusRequested);

        screen().SetText(F::PhoneField, phone);
        state->Search();

        QCOMPARE(messages->shown, shown);
        QTEST(focusSpy.isEmpty() ? -1 : focusSpy.last().at(0).toInt(), "focus");
        QCOMPARE(screen().Text(F::NameField), name);
        QCOMPARE(Customers(), before + (answer == 1 ? 1 : 0));
        const bool found = !name.isEmpty();
        // A shown customer locks the phone and Search, and opens Active, the details and Save.
        QCOMPARE(state->SaveEnabled(), found);
        QCOMPARE(screen().field(F::PhoneField).typeable, !found);
        QCOMPARE(screen().field(F::PhoneField).buttonEnabled, !found);
        QCOMPARE(screen().field(F::ActiveField).buttonEnabled, found);
        QCOMPARE(screen().field(F::NameField).typeable, found);
        if (found) {
            // The shown row is the stored one, field by column.
            const QString id = screen().Text(F::IdField);
            QCOMPARE(Scalar(u"Select CCode From ktCustomer Where EId="_s + id).toString(),
                screen().Text(F::CodeField));
            QCOMPARE(Scalar(u"Select CPhone From ktCustomer Where EId="_s + id).toString(), phone);
        }
    }

    void save_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QStringList>("typed"); // "field=text" over the shown customer
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("problems"); // the message's lines after the heading
        QTest::addColumn<QString>("stored"); // "CName CActive CCode" afterwards
        QTest::newRow("created, unchanged") << "9876543210" << QStringList() << true << ""
                                            << "- Y C03053210";
        QTest::newRow("created, completed")
            << "9876543210" << QStringList { u"2=Eve Moss"_s, u"12=Weekly"_s } << true << ""
            << "Eve Moss Y C03053210";
        QTest::newRow("known, made inactive") << "5550001" << QStringList { u"11=N"_s } << true << ""
                                              << "Ann Lee N C07010001";
        QTest::newRow("known, name emptied")
            << "5550001" << QStringList { u"2="_s, u"4= "_s } << false << "\nName\nCity"
            << "Ann Lee Y C07010001";
        QTest::newRow("code of another customer")
            << "5550001" << QStringList { u"10=C07020003"_s } << false << "\nCustomer Code (Exists)"
            << "Ann Lee Y C07010001";
        QTest::newRow("own code kept") << "5550001" << QStringList { u"10=C07010001"_s } << true << ""
                                       << "Ann Lee Y C07010001";
    }
    void save()
    {
        QFETCH(QString, phone);
        QFETCH(QStringList, typed);
        QFETCH(bool, saved);
        QFETCH(QString, problems);
        QFETCH(QString, stored);
        messages->Answer(true); // creates an unknown phone
        Search(phone);
        QVERIFY(state->CustomerShown());
        for (const QString& entry : typed)
            screen().SetText(entry.section(u'=', 0, 0).toInt(), entry.section(u'=', 1));
        messages->shown.clear();

        QCOMPARE(state->Save(), saved);

        QCOMPARE(messages->shown,
            saved ? QStringList() : QStringList { u"Invalid-Empty Fields:\n\n"_s + problems });
        QCOMPARE(state->SavedName(), saved ? screen().Text(F::NameField) : QString());
        const QString id = screen().Text(F::IdField);
        QCOMPARE(Scalar(u"Select CName || ' ' || CActive || ' ' || CCode From ktCustomer Where EId="_s + id)
                     .toString(),
            stored);
    }

    // Two customers added on one day with phones ending alike get one code: the second is
    // refused until its code is changed.
    void sameDaySameEndingNeedsANewCode()
    {
        messages->Answer(true);
        Search(u"1110009999"_s);
        QVERIFY(state->Save());
        messages->Answer(true);
        Search(u"2220009999"_s);
        messages->shown.clear();
        QVERIFY(!state->Save());
        QCOMPARE(messages->shown, QStringList { u"Invalid-Empty Fields:\n\n\nCustomer Code (Exists)"_s });
        screen().SetText(F::CodeField, u"C03059999B"_s);
        QVERIFY(state->Save());
        QCOMPARE(Scalar(u"Select Count(*) From ktCustomer Where CCode Like 'C03059999%'"_s).toInt(), 2);
    }

    void openOnPhone_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("name");
        QTest::newRow("known") << "5550001"
                               << "Ann Lee";
        QTest::newRow("known, blanks around") << " 5550001 "
                                              << "Ann Lee";
        QTest::newRow("unknown") << "5559999"
                                 << "";
    }
    void openOnPhone()
    {
        QFETCH(QString, phone);
        QFETCH(QString, name);
        state->OpenOnPhone(phone);
        QCOMPARE(screen().Text(F::NameField), name);
        QCOMPARE(screen().Text(F::PhoneField), phone.trimmed());
        // Search hidden, Active disabled; Save only over a customer.
        QVERIFY(!screen().field(F::PhoneField).buttonVisible);
        QVERIFY(!screen().field(F::PhoneField).typeable);
        QVERIFY(!screen().field(F::ActiveField).buttonEnabled);
        QCOMPARE(state->SaveEnabled(), !name.isEmpty());
        QCOMPARE(messages->shown, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCustomerBState)
#include "tst_customerbstate.moc"
