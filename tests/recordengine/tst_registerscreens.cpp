// The register screens as built from the schema: their field flags, buttons and options,
// and the rules the record engine runs for them, on a real temporary database.
#include "CustomizeSamples.h"
#include "FakeHost.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Schema.h"
#include "ScreenCatalogue.h"
#include "ScreenRules.h"
#include "SeedData.h"
#include "Settings.h"
#include "TestContext.h"

#include <QSignalSpy>
#include <QTest>

using namespace kivo;
using namespace kivo::test;

class RegisterScreensTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        m_row.reset();
        m_host.reset();
        m_test.reset();
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

    void optionButtons_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("field");
        QTest::newRow("product tax") << QStringLiteral("KvProduct") << 13;
        QTest::newRow("accounting deposit mode") << QStringLiteral("KvAccounting") << 3;
    }

    // The button steps through the field's options, each cut to the field's width, and comes
    // back to the first.
    void optionButtons()
    {
        QFETCH(QString, screen);
        QFETCH(int, field);
        const auto built = Build(screen);
        Press(*built, field);
        const QString first = built->Text(field);
        QStringList seen { first };
        for (Press(*built, field); built->Text(field) != first && seen.size() < 20; Press(*built, field))
            seen << built->Text(field);
        QVERIFY2(seen.size() > 1 && seen.size() < 20, qPrintable(seen.join(u'/')));
        for (const QString& text : seen) {
            QVERIFY(!text.isEmpty());
            QCOMPARE(seen.count(text), 1);
            QVERIFY(built->field(field).maxLength == 0 || text.size() <= built->field(field).maxLength);
        }
    }

    void colourSamples_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("foreground");

        // Colour numbers are red + 256 × green + 65536 × blue.
        QTest::newRow("back colour wraps after eight")
            << 2 << 9 << QStringLiteral("15923449") << QColor(0xF9, 0xF8, 0xF2) << QColor();
        QTest::newRow("text colour wraps after five")
            << 6 << 6 << QStringLiteral("8388736") << QColor() << QColor(128, 0, 128);
    }

    void colourSamples()
    {
        QFETCH(int, field);
        QFETCH(int, presses);
        const auto built = Build(QStringLiteral("KvCustomize"));
        // A press on another field first: the sample field starts again at its first sample.
        Press(*built, 7);
        for (int i = 0; i < presses; ++i)
            Press(*built, field);
        QTEST(built->Text(field), "value");
        QTEST(built->field(field).captionBackground, "background");
        QTEST(built->field(field).captionForeground, "foreground");
    }

    void samplePickThenStep()
    {
        const auto built = Build(QStringLiteral("KvCustomize"));
        CustomizeSamples::Pick(*built, CustomizeSamples::BackTextureField, 7);
        QCOMPARE(built->Text(3), QStringLiteral("14336204"));
        // The button carries on after the clicked swatch, wrapping to the first.
        Press(*built, 3);
        QCOMPARE(built->Text(3), QStringLiteral("14737632"));
        Press(*built, 3);
        QCOMPARE(built->Text(3), QStringLiteral("12106214"));
    }

    void fontPreview()
    {
        const auto built = Build(QStringLiteral("KvCustomize"));
        QSignalSpy changed(built.get(), &RecordScreen::changed);
        Press(*built, 4);
        Press(*built, 4);
        Press(*built, 4);
        QCOMPARE(built->Text(4), QStringLiteral("Georgia"));
        QCOMPARE(built->field(4).captionFont, QStringLiteral("Georgia"));
        Press(*built, 5);
        Press(*built, 5);
        QCOMPARE(built->field(5).captionFontSize, 11);
        QVERIFY(changed.count() >= 5);
    }

    void pickListButton()
    {
        const auto built = Build(QStringLiteral("KvProduct"));
        host().AnswerPick(QStringLiteral("2"), QStringLiteral("Grocery"));
        Press(*built, 4);
        QCOMPARE(host().CallsOf(QStringLiteral("PickFromList")),
            QStringList { QStringLiteral("PickFromList(GName, EId From kmGroup)") });
        QCOMPARE(built->Text(4), QStringLiteral("2"));
        QCOMPARE(built->field(4).hint, QStringLiteral("Grocery"));
        // Closing the picker without a choice leaves the field as it was.
        Press(*built, 4);
        QCOMPARE(built->Text(4), QStringLiteral("2"));
        // A field without a button does nothing.
        Press(*built, 3);
        QCOMPARE(host().CallsOf(QStringLiteral("PickFromList")).size(), 2);
        QCOMPARE(built->Text(3), QString());
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
        Database(TempDatabase::Content::Demo);
        context().connection.Execute(
            QStringLiteral(
                "Update ktProduct Set POpenQty=?, PPurchQty=?, PSaleQty=?, PCloseQty=99, PTranDate=Null "
                "Where EId=3"),
            { open, purchased, sold });
        const auto built = Build(QStringLiteral("KvProduct"));
        Saved(*built, QStringLiteral("ktProduct"), 3);

        QTEST(Scalar(QStringLiteral("Select PCloseQty From ktProduct Where EId=3")).toLongLong(), "close");
        QCOMPARE(Scalar(QStringLiteral("Select PTranDate From ktProduct Where EId=3")).toDate(),
            TempDatabase::FixedToday());
        QCOMPARE(Scalar(QStringLiteral("Select Count(*) From ktProduct Where PCloseQty=99")).toInt(), 0);
    }

    void administratorLogin_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");

        QTest::newRow("letter case of the administrator stays")
            << 1 << QStringLiteral("cHiEf") << QStringLiteral("cHiEf");
        QTest::newRow("renamed administrator") << 1 << QStringLiteral("boss") << QStringLiteral("Chief");
        QTest::newRow("other user renamed freely") << 2 << QStringLiteral("boss") << QStringLiteral("boss");
    }

    void administratorLogin()
    {
        QFETCH(int, id);
        QFETCH(QString, typed);
        Database(TempDatabase::Content::Demo);
        context().connection.Execute(QStringLiteral("Update kaUser Set ULogin=? Where EId=?"), { typed, id });
        QCOMPARE(Scalar(QStringLiteral("Select Count(*) From kaUser Where EId=%1").arg(id)).toInt(), 1);
        const auto built = Build(QStringLiteral("KvUser"));
        Saved(*built, QStringLiteral("kaUser"), id);
        QTEST(Scalar(QStringLiteral("Select ULogin From kaUser Where EId=%1").arg(id)).toString(), "stored");
    }

    void newUserIsSalesUser()
    {
        const auto built = Build(QStringLiteral("KvUser"));
        built->SetText(5, QStringLiteral("B"));
        RunRules(*built, QStringLiteral("DI"));
        QCOMPARE(built->Text(5), QStringLiteral("S"));
    }

    // Saving a settings screen reloads what the program runs with.
    void settingsScreensReloadOnSave()
    {
        LoadPreferences(context());
        LoadCustomize(context());
        QCOMPARE(context().ToolbarToggleCaption, QStringLiteral("+"));
        context().connection.Execute(
            QStringLiteral("Update kaEnterprise Set EName='Corner Store', EShort='Corner', "
                           "EPasscd='Open''Up', EEmail='shop@example.org', EAddress1='1 Main "
                           "St', EAddress2='Unit 2', ECity='Leeds', EState='WY', "
                           "ECountry='UK', EPhone='0113' Where EId=1"));
        context().connection.Execute(QStringLiteral("Update kaPreference Set PDefBill='L', PAmtRoun='0'"));
        context().connection.Execute(
            QStringLiteral("Update kaCustomize Set CToolShow='N', CTextFont='Georgia'"));

        Saved(*Build(QStringLiteral("KvEnterprise")), QStringLiteral("kaEnterprise"), 1);
        const LoginValues& v = context().login;
        QCOMPARE(v.EnterpriseShort, QStringLiteral("Corner"));
        QCOMPARE(v.EnterpriseAccessCode, QStringLiteral("Open'Up"));
        QCOMPARE(v.EnterpriseEmail, QStringLiteral("shop@example.org"));
        QCOMPARE(v.EnterpriseName, QStringLiteral("Corner Store"));
        QCOMPARE(v.EnterpriseAddress, QStringLiteral("1 Main St Unit 2 :: Leeds WY UK # 0113"));
        QCOMPARE(host().calls, QStringList { QStringLiteral("ShowEnterpriseShort(Corner)") });

        Saved(*Build(QStringLiteral("KvPreference")), QStringLiteral("kaPreference"), 1);
        QCOMPARE(context().preferences.PDefBill, QStringLiteral("L"));
        QCOMPARE(context().preferences.PAmtRoun, QStringLiteral("0"));

        Saved(*Build(QStringLiteral("KvCustomize")), QStringLiteral("kaCustomize"), 1);
        QCOMPARE(context().customization.CTextFont, QStringLiteral("Georgia"));
        QCOMPARE(context().ToolbarToggleCaption, QStringLiteral("-"));
        QCOMPARE(host().calls.mid(1), QStringList { QStringLiteral("SetupMainWindow()") });
    }

    void dashboardOnClose_data()
    {
        QTest::addColumn<QString>("screen");

        QTest::addColumn<QStringList>("refreshes");
        QTest::newRow("supplier") << QStringLiteral("KvSupplier")
                                  << QStringList { QStringLiteral("RefreshDashboard(3)") };
        QTest::newRow("group has no panel") << QStringLiteral("KvGroup") << QStringList {};
    }

    void dashboardOnClose()
    {
        QFETCH(QString, screen);
        const auto built = Build(screen);
        // Only closing refreshes the dashboard.
        for (const char* mode : { "DL", "DI", "DX" })
            RunRules(*built, QString::fromLatin1(mode));
        QCOMPARE(host().CallsOf(QStringLiteral("RefreshDashboard")), QStringList {});
        RunRules(*built, QStringLiteral("FC"));
        QTEST(host().CallsOf(QStringLiteral("RefreshDashboard")), "refreshes");
    }

    void lookupCaptions_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nameSql"); // the caption expected, empty for none

        QTest::newRow("product group") << QStringLiteral("KvProduct") << 4 << QStringLiteral("2")
                                       << QStringLiteral("Select GName From kmGroup Where EId=2");
        QTest::newRow("group that no longer exists")
            << QStringLiteral("KvProduct") << 4 << QStringLiteral("999") << QStringLiteral("");
        QTest::newRow("cash-book account") << QStringLiteral("KvAccounting") << 2 << QStringLiteral("1")
                                           << QStringLiteral("Select AName From kmAccount Where EId=1");
    }

    void lookupCaptions()
    {
        QFETCH(QString, screen);
        QFETCH(int, field);
        QFETCH(QString, id);
        QFETCH(QString, nameSql);
        Database(TempDatabase::Content::Demo);
        const QString expected = nameSql.isEmpty() ? QString() : Scalar(nameSql).toString();
        QVERIFY(nameSql.isEmpty() || !expected.isEmpty());
        const auto built = Build(screen);
        built->SetText(field, id);
        built->field(field).hint = QStringLiteral("stale");
        RunRules(*built, QStringLiteral("DL"));
        QCOMPARE(built->field(field).hint, expected);
    }

private:
    // A fresh database per test, made when the test first needs one.
    TestContext& Database(TempDatabase::Content content = TempDatabase::Content::Defaults)
    {
        if (!m_test) {
            m_test = std::make_unique<TestContext>(content);
            m_host = std::make_unique<FakeHost>(m_test->context);
        }
        return *m_test;
    }
    ProgramContext& context() { return Database().context; }
    FakeHost& host()
    {
        Database();
        return *m_host;
    }

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<FakeHost> m_host;
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
        m_row->Open(QStringLiteral("Select * From %1 Where EId= %2").arg(table).arg(id));
        screen.rules->AfterSave(context(), host(), screen, *m_row);
    }
    // Runs a screen's rules for the moment the engine calls them at.
    void RunRules(RecordScreen& screen, const QString& mode)
    {
        ScreenRules& rules = *screen.rules;
        if (mode == u"DL")
            rules.AfterShow(context(), host(), screen);
        else if (mode == u"DI")
            rules.AfterClear(context(), host(), screen);
        else if (mode == u"DX")
            rules.AfterCopy(context(), host(), screen);
        else if (mode == u"FC")
            rules.OnClose(context(), host(), screen);
    }
    void Press(RecordScreen& screen, int field)
    {
        RecordEngine(context(), host()).PressListButton(screen, field);
    }
    std::unique_ptr<Recordset> m_row;
    QVariant Scalar(const QString& sql) { return context().connection.Scalar(sql); }
};

QTEST_GUILESS_MAIN(RegisterScreensTest)
#include "tst_registerscreens.moc"
