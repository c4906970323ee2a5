#pragma once

#include "DatabasePassword.h"
#include "ProgramContext.h"
#include "ScriptedMessages.h"
#include "TempDatabase.h"

#include <QDir>
#include <QFile>

namespace kivo::test {

// A context on a fresh temporary data folder (database, Arc/, Bin/, Doc/) with scripted
// messages and a fixed date on the error log, its connection open.
class TestContext {
public:
    explicit TestContext(TempDatabase::Content content = TempDatabase::Content::Defaults)
        : database(content)
    {
        for (const char* sub : { "Arc", "Bin", "Doc" })
            QDir(database.folder()).mkpath(QString::fromLatin1(sub));
        context.SetLocations(InitLocations(database.folder()));
        context.errors.SetClock([] { return TempDatabase::FixedToday(); });
        context.today = [] { return TempDatabase::FixedToday(); };
        context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
    }

    // The error log's lines.
    QStringList ErrorLogLines() const
    {
        QFile file(context.locations.ErrorLogFile);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    ScriptedMessages messages;
    TempDatabase database;
    ProgramContext context { messages };
};

} // namespace kivo::test
