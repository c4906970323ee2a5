// The customer look-up from the real program, as a sales user at the till works it: CUSTOMER
// INFO, a phone no customer has, "Customer Not Found; Create New ?", the name typed over the
// placeholder and Save; the customer read back by SQL after each step. The screen driver that
// the program-level tests use runs the script inside the program.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const char* const Script
    = "answer CUSTOMER INFO\nwindow Customer Info\nfocus txtField(8)\ntype 5559876543\nkey Return\n"
      "message Customer Not Found; Create New ?\nanswer Yes\nmessage New Customer Added !\n"
      "answer OK\nfocus txtField(2)\ncheckpoint added\ntype Eve Moss\nanswer Save\n"
      "closed Customer Info\ncheckpoint saved\nanswer QUIT\n";

} // namespace

class TestCustomerInfo : public QObject {
    Q_OBJECT
private slots:
    void customerAddedAndNamed()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { return AdminRows(data, statement); };
        sql(u"Insert Into kaUser (EDate, ULogin, UPasscd, UHint, UMode, UName) "
            "Values (#12/1/2026#, 'sue', 'till', 'till', 'S', 'Sue')"_s);
        const QString customer
            = u"Select CName, CActive, CRemarks From ktCustomer Where CPhone='5559876543'"_s;

        ScriptedProgram program(work.path(), data, ScriptedProgram::Login(u"sue"_s, u"till"_s) + Script);

        QVERIFY(program.Checkpoint(u"added"_s));
        QCOMPARE(sql(customer), u"-\tY\t-"_s);
        // The code is "C", the day the program ran (month and day) and the phone's last four.
        QCOMPARE(sql(u"Select Count(*) From ktCustomer Where CCode Like 'C____6543' And Length(CCode)=9"_s),
            u"1"_s);
        QVERIFY(program.Checkpoint(u"saved"_s));
        QCOMPARE(sql(customer), u"Eve Moss\tY\t-"_s);

        QVERIFY(program.Checkpoint(QString()));
        QCOMPARE(program.Ended(), 0);
        QCOMPARE(sql(u"Select Count(*) From ktCustomer"_s), u"1"_s);
        QCOMPARE(program.LoggedErrors(), QString());
    }
};

QTEST_GUILESS_MAIN(TestCustomerInfo)
#include "tst_customerinfo.moc"
