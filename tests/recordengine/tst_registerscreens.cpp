// The register screens as built from the schema, and the rules the record engine runs for
// them, on a real temporary database.
#include "EngineFixture.h"
#include "Settings.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class RegisterScreensTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<EngineFixture>(TempDatabase::Content::Demo); }
    void cleanup()
    {
        m_row.reset();
        f.reset();
    }

    void screenDesign_data()
    {
        QTest::addColumn<QString>("screen");
        // The registers: the document screens keep their lines in a detail table.
        for (const ScreenEntry& entry : ScreenCatalogue())
            if (entry.detailTable.isEmpty())
                QTest::newRow(qPrintable(entry.name)) << entry.name;
    }

    // Every screen matches its table: one field a column, the id never typed, and every unique
    // field carries its own column for the uniqueness test.
    void screenDesign()
    {
        QFETCH(QString, screen);
        const auto built = Build(screen);
        const TableDef* def = Schema::Find(built->table);
        QVERIFY(def);
        QCOMPARE(built->FieldCount(), int(def->columns.size()));
        QCOMPARE(built->lastField, def->LastField());
        QVERIFY(built->field(0).readOnly && !built->field(0).typeable);
        for (int i = 0; i < built->FieldCount(); ++i) {
            const Field& f = built->field(i);
            const bool unique = f.descriptor == u"U" || f.descriptor == u"UF" || f.descriptor == u"V";
            QCOMPARE(f.column, unique ? def->columns[size_t(i)].name : QString());
        }
    }

    void productStockOnSave_data()
    {
        QTest::addColumn<QVariant>("open");
        QTest::addColumn<QVariant>("purchased");
        QTest::addColumn<QVariant>("sold");
        QTest::addColumn<qlonglong>("close");

        QTest::newRow("open plus purchased less sold") << QVariant(10) << QVariant(5) << QVariant(3) << 12LL;
        QTest::newRow("sold beyond stock") << QVariant(2) << QVariant(0) << QVariant(5) << -3LL;
        QTest::newRow("nothing moved yet") << QVariant(7) << QVariant() << QVariant() << 7LL;
    }

    void productStockOnSave()
    {
        QFETCH(QVariant, open);
        QFETCH(QVariant, purchased);
        QFETCH(QVariant, sold);
        context().connection.Execute(
            QStringLiteral(
                "Update ktProduct Set POpenQty=?, PPurchQty=?, PSaleQty=?, PCloseQty=99, PTranDate=Null "
                "Where EId=3"),
            { open, purchased, sold });
        const auto built = Build(u"KvProduct"_s);
        Saved(*built, u"ktProduct"_s, 3);

        QTEST(Scalar(u"Select PCloseQty From ktProduct Where EId=3"_s).toLongLong(), "close");
        QCOMPARE(
            Scalar(u"Select PTranDate From ktProduct Where EId=3"_s).toDate(), TempDatabase::FixedToday());
        QCOMPARE(Scalar(u"Select Count(*) From ktProduct Where PCloseQty=99"_s).toInt(), 0);
    }

    void administratorLogin_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");

        QTest::newRow("letter case of the administrator stays") << 1 << u"cHiEf"_s << u"cHiEf"_s;
        QTest::newRow("renamed administrator") << 1 << u"boss"_s << u"Chief"_s;
        QTest::newRow("other user renamed freely") << 2 << u"boss"_s << u"boss"_s;
    }

    void administratorLogin()
    {
        QFETCH(int, id);
        QFETCH(QString, typed);
        context().connection.Execute(u"Update kaUser Set ULogin=? Where EId=?"_s, { typed, id });
        QCOMPARE(Scalar(u"Select Count(*) From kaUser Where EId=%1"_s.arg(id)).toInt(), 1);
        const auto built = Build(u"KvUser"_s);
        Saved(*built, u"kaUser"_s, id);
        QTEST(Scalar(u"Select ULogin From kaUser Where EId=%1"_s.arg(id)).toString(), "stored");
    }

    // Saving a settings screen reloads what the program runs with.
    void settingsScreensReloadOnSave()
    {
        LoadPreferences(context());
        LoadCustomize(context());
        QCOMPARE(context().ToolbarToggleCaption, u"+"_s);
        context().connection.Execute(
            QStringLiteral("Update kaEnterprise Set EName='Corner Store', EShort='Corner', "
                           "EPasscd='Open''Up', EAddress1='1 Main "
                           "St', EAddress2='Unit 2', ECity='Leeds', EState='WY', "
                           "ECountry='UK', EPhone='0113' Where EId=1"));
        context().connection.Execute(u"Update kaPreference Set PAmtRoun='0'"_s);
        context().connection.Execute(u"Update kaCustomize Set CToolShow='N'"_s);

        Saved(*Build(u"KvEnterprise"_s), u"kaEnterprise"_s, 1);
        QCOMPARE(context().login.EnterpriseAccessCode, u"Open'Up"_s);
        QCOMPARE(context().login.EnterpriseAddress, u"1 Main St Unit 2 :: Leeds WY UK # 0113"_s);
        QCOMPARE(host().calls, QStringList { u"ShowEnterpriseShort(Corner)"_s });

        Saved(*Build(u"KvPreference"_s), u"kaPreference"_s, 1);
        QCOMPARE(context().preferences.PAmtRoun, u"0"_s);

        Saved(*Build(u"KvCustomize"_s), u"kaCustomize"_s, 1);
        QCOMPARE(context().ToolbarToggleCaption, u"-"_s);
        QCOMPARE(host().calls.mid(1), QStringList { u"SetupMainWindow()"_s });
    }

    void lookupCaptions_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nameSql"); // the caption expected, empty for none

        QTest::newRow("group that no longer exists") << u"KvProduct"_s << 4 << u"999"_s << u""_s;
        QTest::newRow("cash-book account")
            << u"KvAccounting"_s << 2 << u"1"_s << u"Select AName From kmAccount Where EId=1"_s;
    }

    void lookupCaptions()
    {
        QFETCH(QString, screen);
        QFETCH(int, field);
        QFETCH(QString, id);
        QFETCH(QString, nameSql);
        const QString expected = nameSql.isEmpty() ? QString() : Scalar(nameSql).toString();
        QVERIFY(nameSql.isEmpty() || !expected.isEmpty());
        const auto built = Build(screen);
        built->SetText(field, id);
        built->field(field).hint = u"stale"_s;
        built->rules->AfterShow(context(), host(), *built);
        QCOMPARE(built->field(field).hint, expected);
    }

private:
    ProgramContext& context() { return f->context(); }
    FakeHost& host() { return f->host; }
    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<RecordScreen> Build(const QString& name)
    {
        auto screen = BuildRecordScreen(name);
        if (!screen)
            qFatal("no record screen %s", qPrintable(name));
        return screen;
    }
    // Runs the screen's after-save rules on the stored row, as the engine hands it to them.
    void Saved(RecordScreen& screen, const QString& table, int id)
    {
        m_row = std::make_unique<Recordset>(context().connection);
        m_row->Open(u"Select * From %1 Where EId= %2"_s.arg(table).arg(id));
        screen.rules->AfterSave(context(), host(), screen, *m_row);
    }
    std::unique_ptr<Recordset> m_row;
    QVariant Scalar(const QString& sql) { return f->Scalar(sql); }
};

QTEST_GUILESS_MAIN(RegisterScreensTest)
#include "tst_registerscreens.moc"
