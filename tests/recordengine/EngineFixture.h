#pragma once

// Shared by the record engine tests: a register screen built from the schema, and a session
// with a scripted main window and an engine whose "today" is the fixtures' fixed date.

#include "FakeHost.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Schema.h"
#include "SeedData.h"
#include "TestSession.h"

#include <memory>

namespace kivo::test {

// A register screen as the register screens build it: field i is column i with its label,
// descriptor and width; the id is read-only, and so are the product's stock columns.
inline std::unique_ptr<RecordScreen> SchemaScreen(const QString& tableName)
{
    struct Kind {
        const char* table;
        const char* key;
        int report;
    };
    static const Kind kinds[] = { { "ktProduct", "Trar", 41 }, { "kmGroup", "Mast", 0 },
        { "kaUser", "Traq", 0 }, { "kaEnterprise", "Admn", 0 }, { "ktBillMast", "Trao", 56 },
        { "ktQuotMast", "Trap", 60 }, { "ktOrdrMast", "Trap", 65 }, { "ktCustomer", "Tran", 51 } };
    const TableDef* table = Schema::Find(tableName);
    auto screen = std::make_unique<RecordScreen>(table->screen, table->screen.mid(2));
    screen->table = table->name;
    screen->lastField = table->LastField();
    for (const Kind& kind : kinds) {
        if (tableName == QLatin1String(kind.table)) {
            screen->screenKey = QString::fromLatin1(kind.key);
            screen->report = kind.report;
        }
    }
    for (int i = 0; i < int(table->columns.size()); ++i) {
        const ColumnDef& column = table->columns[size_t(i)];
        Field field;
        field.caption = column.label;
        field.descriptor = column.code;
        field.maxLength = column.width;
        field.readOnly = i == 0 || (table->name == u"ktProduct" && (i == 9 || i == 10 || i == 11 || i == 14));
        if (column.code == u"U" || column.code == u"UF" || column.code == u"V")
            field.column = column.name;
        screen->fields.push_back(field);
    }
    return screen;
}

struct EngineFixture {
    explicit EngineFixture(TempDatabase::Content content = TempDatabase::Content::Defaults)
        : test(content)
    {
        engine.SetClock([] { return TempDatabase::FixedToday(); });
        host.onCloseScreen = [this] {
            if (screen)
                engine.CloseRecordScreen(*screen);
        };
    }

    // Opens a screen built by SchemaScreen; its rules append each mode they are run with to `modes`.
    RecordScreen& Open(const QString& table)
    {
        screen = SchemaScreen(table);
        screen->rules = [this](Session&, ScreenHost&, RecordScreen&, const QString& mode) { modes << mode; };
        engine.OpenRecordScreen(*screen);
        return *screen;
    }

    Session& session() { return test.session; }
    ScriptedMessages& messages() { return test.messages; }
    QVariant Scalar(const QString& sql) { return test.session.connection.Scalar(sql); }
    void Insert(const char* table, const QVariantList& values)
    {
        InsertRow(test.session.connection, QString::fromLatin1(table), values);
    }
    void Command(int number) { engine.RecordCommand(number); }

    TestSession test;
    FakeHost host { test.session };
    RecordEngine engine { test.session, host };
    std::unique_ptr<RecordScreen> screen;
    QStringList modes;
};

} // namespace kivo::test
