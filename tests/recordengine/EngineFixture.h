#pragma once

// Shared by the record engine tests: a screen built as the program builds it, and a context
// with a scripted main window and an engine whose "today" is the fixtures' fixed date.

#include "FakeHost.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Schema.h"
#include "ScreenCatalogue.h"
#include "ScreenRules.h"
#include "SeedData.h"
#include "TestContext.h"

#include <functional>
#include <memory>

namespace kivo::test {

// Wraps a screen's own rules and notes each moment the engine runs them ("DL", "DI", "DS",
// "DX", "FC"), so tests see when the engine calls the rules as well as what they do.
class RecordingRules : public ScreenRules {
public:
    RecordingRules(std::unique_ptr<ScreenRules> inner, QStringList& modes)
        : m_inner(std::move(inner))
        , m_modes(modes)
    {
    }
    void AfterShow(ProgramContext& c, ScreenHost& h, RecordScreen& s) override
    {
        m_modes << QStringLiteral("DL");
        m_inner->AfterShow(c, h, s);
    }
    void AfterClear(ProgramContext& c, ScreenHost& h, RecordScreen& s) override
    {
        m_modes << QStringLiteral("DI");
        m_inner->AfterClear(c, h, s);
    }
    void AfterSave(ProgramContext& c, ScreenHost& h, RecordScreen& s, Recordset& row) override
    {
        m_modes << QStringLiteral("DS");
        m_inner->AfterSave(c, h, s, row);
    }
    void AfterCopy(ProgramContext& c, ScreenHost& h, RecordScreen& s) override
    {
        m_modes << QStringLiteral("DX");
        m_inner->AfterCopy(c, h, s);
    }
    void OnClose(ProgramContext& c, ScreenHost& h, RecordScreen& s) override
    {
        m_modes << QStringLiteral("FC");
        m_inner->OnClose(c, h, s);
    }
    QString Refusal(const RecordScreen& s, int operation) const override
    {
        return m_inner->Refusal(s, operation);
    }
    int ReportCode(const ProgramContext& c, int designed) const override
    {
        return m_inner->ReportCode(c, designed);
    }
    bool PressListButton(ProgramContext& c, ScreenHost& h, RecordScreen& s, int index) override
    {
        return m_inner->PressListButton(c, h, s, index);
    }
    bool ShowsColourSamples() const override { return m_inner->ShowsColourSamples(); }

private:
    std::unique_ptr<ScreenRules> m_inner;
    QStringList& m_modes;
};

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

    // Opens the screen of a table as the program builds it; each moment its rules run is
    // noted in `modes`.
    RecordScreen& Open(const QString& table)
    {
        screen = ScreenOf(table);
        screen->rules = std::make_unique<RecordingRules>(std::move(screen->rules), modes);
        engine.OpenRecordScreen(*screen);
        return *screen;
    }

    ProgramContext& context() { return test.context; }
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
    QStringList modes;
};

} // namespace kivo::test
