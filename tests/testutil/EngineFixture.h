#pragma once

// Shared by the record engine tests: a screen built as the program builds it, and a context
// with a scripted main window and an engine whose "today" is the fixtures' fixed date.

#include "FakeHost.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenCatalogue.h"
#include "ScreenRules.h"
#include "SeedData.h"
#include "TestContext.h"

#include <functional>
#include <memory>

namespace kivo::test {

// Rules whose only step is the test's own after-save step, given the saved row.
class AfterSaveRules : public ScreenRules {
public:
    explicit AfterSaveRules(std::function<void(ProgramContext&, Recordset&)> step)
        : m_step(std::move(step))
    {
    }
    void AfterSave(ProgramContext& c, ScreenHost&, RecordScreen&, Recordset& row) override { m_step(c, row); }

private:
    std::function<void(ProgramContext&, Recordset&)> m_step;
};

// The screen that edits a table, built as the program builds it.
inline std::unique_ptr<RecordScreen> ScreenOf(const QString& table)
{
    for (const ScreenEntry& entry : ScreenCatalogue())
        if (entry.table == table)
            return BuildRecordScreen(entry.name);
    return nullptr;
}

struct EngineFixture {
    explicit EngineFixture(TempDatabase::Content content = TempDatabase::Content::Defaults)
        : test(content)
    {
        host.onCloseScreen = [this] {
            if (screen)
                engine.CloseRecordScreen(*screen);
        };
    }

    // Opens the screen of a table as the program builds it.
    RecordScreen& Open(const QString& table)
    {
        screen = ScreenOf(table);
        if (!screen)
            qFatal("no such record screen");
        engine.OpenRecordScreen(*screen);
        return *screen;
    }

    ProgramContext& context() { return test.context; }
    Connection& db() { return test.context.connection; }
    ScriptedMessages& messages() { return test.messages; }
    QVariant Scalar(const QString& sql) { return test.context.connection.Scalar(sql); }
    void Insert(const char* table, const QVariantList& values)
    {
        InsertRow(test.context.connection, QString::fromLatin1(table), values);
    }
    void Command(int number) { engine.RecordCommand(number); }

    TestContext test;
    FakeHost host { test.context };
    RecordEngine engine { test.context, host };
    std::unique_ptr<RecordScreen> screen;
};

} // namespace kivo::test
