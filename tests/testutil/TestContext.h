#pragma once

#include "ProgramContext.h"
#include "ScriptedMessages.h"
#include "TempDatabase.h"

namespace kivo::test {

// A context on a fresh temporary data folder (database, Arc/, Bin/, Doc/) with scripted
// messages and a fixed date on the error log, its connection open.
class TestContext {
public:
    explicit TestContext(TempDatabase::Content content = TempDatabase::Content::Defaults);

    // The error log's lines.
    QStringList ErrorLogLines() const;

    ScriptedMessages messages;
    TempDatabase database;
    ProgramContext context { messages };
};

} // namespace kivo::test
