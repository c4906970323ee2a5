#pragma once

#include "ScriptedMessages.h"
#include "Session.h"
#include "TempDatabase.h"

namespace kivo::test {

// A session on a fresh temporary data folder (database, Arc/, Bin/, Doc/) with scripted
// messages and a fixed date on the error log, its connection open.
class TestSession {
public:
    explicit TestSession(TempDatabase::Content content = TempDatabase::Content::Defaults);

    // The error log's lines.
    QStringList ErrorLogLines() const;

    ScriptedMessages messages;
    TempDatabase database;
    Session session { messages };
};

} // namespace kivo::test
