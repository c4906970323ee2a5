// One sale through the real program, as a cashier makes it: log in as a sales user, BILLING,
// the customer's phone, product codes typed and ended with Enter, F2, CHECKOUT, the answers to
// the messages and the bill print; then the bill, its lines and the stock read back by SQL.
// The screen driver that the program-level tests use runs the script inside the program.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const char* const Script
    = "answer BILLING\nwindow Billing\nfocus txtField(5)\nkey Shift+Tab\nkey Shift+Tab\n"
      "focus txtField(41)\ntype 5551234567\nkey Return\nmessage New Customer Added !\nanswer OK\n"
      "focus cmdList(4)\nkey Tab\nfocus txtField(5)\nkey Return\nfocus txtField(98)\ntype P100\n"
      "key Return\ntype p250\nkey Return\ntype P100\nkey Return\nfield txtField(6)=3\nkey F2\n"
      "focus txtField(20)\nfield txtField(13)=210.00\nfield txtField(17)=7.50\nanswer CHECKOUT\n"
      "message Confirm Checkout ?\nanswer Yes\nanswer OK\nwindow Bill Print (S)\nanswer Close\n"
      "closed Billing\ncheckpoint sold\nanswer QUIT\n";

} // namespace

class TestBillingSale : public QObject {
    Q_OBJECT
private slots:
    void saleThroughTheCounter()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { return AdminRows(data, statement); };
        sql(u"Insert Into kaUser (EDate, ULogin, UPasscd, UHint, UMode, UName) "
            "Values (#12/1/2026#, 'sue', 'till', 'till', 'S', 'Sue')"_s);
        for (const char* product : { "'P100', 'Tea', 100, 'T'", "'P250', 'Sugar', 2.5, ''" })
            sql(u"Insert Into ktProduct (EDate, PCode, PName, PSaleRate, PTax, POpenQty, PPurchQty, "
                u"PSaleQty, "
                "PCloseQty, PActive) Values (#12/1/2026#, %1, 10, 0, 0, 10, 'Y')"_s.arg(
                    QLatin1StringView(product)));
        ScriptedProgram program(work.path(), data, ScriptedProgram::Login(u"sue"_s, u"till"_s) + Script);

        QVERIFY(program.Checkpoint(u"sold"_s));
        const QString customer = sql(u"Select EId From ktCustomer Where CPhone='5551234567'"_s);
        // 100 + 2.50 + 100, no tax; F2 suggests the next ten above 202.50.
        QCOMPARE(sql(u"Select BItems, BGross, BNett, BCash, BReturn, BCId, BOType, BMType From ktBillMast"_s),
            u"3\t202.5\t202.5\t210\t7.5\t"_s + customer + u"\tOTHER\tMISC"_s);
        const QString id = sql(u"Select EId From ktBillMast"_s);
        QCOMPARE(sql(u"Select BPId From ktBillDetl Where EId="_s + id + u" Order By rowid"_s),
            u"P100\nP250\nP100"_s);
        QCOMPARE(sql(u"Select PCode, PSaleQty, PCloseQty From ktProduct Order By PCode"_s),
            u"P100\t2\t8\nP250\t1\t9"_s);

        QVERIFY(program.Checkpoint(QString()));
        QCOMPARE(program.Ended(), 0);
        QCOMPARE(program.LoggedErrors(), QString());
        QCOMPARE(AdminText({ u"check"_s, data }), u"integrity: ok\nstock: ok (2 products)"_s);
    }
};

QTEST_GUILESS_MAIN(TestBillingSale)
#include "tst_billingsale.moc"
