// The product tools through the real program, as a cashier uses them: PRODUCT QUERY on the
// sales layout, a key in the card opens the product list, a product is picked with the arrow
// keys and Enter, and the card shows it; Escape closes it. Then the counter's Product Listing:
// Enter on a product, on its quantity and on its rate adds a line, and the bill's totals
// follow (the group saving of 5 % taken off). The screen driver of the program-level tests runs the script
// inside the program.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const char* const Script = R"(answer PRODUCT QUERY
window Product Query
focus txtField(0)
type s
window List
focus lstList
key Down
key Return
window Product Query
field txtField(0)=P250
field txtField(1)=2
field txtField(2)=Sugar
field txtField(4)=1
field txtField(5)=2.50
field txtField(6)=10.00
field txtField(7)=N
key Escape
closed Product Query
window Kivo - Sales Software
answer BILLING
window Billing
focus txtField(5)
key Return
focus txtField(98)
key Return
focus cmdList(98)
key Space
window Product Listing
focus lstList
key Return
focus txtField(3)
field txtField(3)=1
field txtField(4)=100
key Return
focus txtField(4)
key Return
focus lstList
key Escape
closed Product Listing
window Billing
field txtField(6)=1
field txtField(7)=95.00
answer CANCEL/EXIT
message Confirm Cancel/Exit ?
answer Yes
closed Billing
answer QUIT
)";

} // namespace

class TestProgramProductQuery : public QObject {
    Q_OBJECT
private slots:
    void queryAndListingFromTheCounter()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QVERIFY(AdminText({ u"init"_s, data }).startsWith(u"Created "_s));
        const auto sql = [&](const QString& statement) { AdminText({ u"sql"_s, data, statement }); };
        sql(u"Insert Into kaUser (EDate, ULogin, UPasscd, UHint, UMode, UName) "
            "Values (#12/1/2026#, 'sue', 'till', 'till', 'S', 'Sue')"_s);
        sql(u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (1, #12/1/2026#, 'Pantry', 5)"_s);
        // Inactive products are looked up as well.
        sql(u"Insert Into ktProduct (EDate, PCode, PName, PGId, PSaleRate, POpenQty, PPurchQty, PSaleQty, "
            "PCloseQty, PTax, PActive) Values (#12/1/2026#, 'P100', 'Tea', 1, 100, 10, 0, 0, 10, 'T', 'Y'), "
            "(#12/1/2026#, 'P250', 'Sugar', 1, 2.5, 10, 0, 0, 10, '', 'N')"_s);
        ScriptedProgram program(work.path(), data, ScriptedProgram::Login(u"sue"_s, u"till"_s) + Script);
        QVERIFY(program.Reach(u"done"_s));
        QCOMPARE(program.Ended(), 0);
        QCOMPARE(program.LoggedErrors(), QString());
    }
};

QTEST_GUILESS_MAIN(TestProgramProductQuery)
#include "tst_programproductquery.moc"
