#include "TestSession.h"

#include "DatabasePassword.h"

#include <QDir>
#include <QFile>

namespace kivo::test {

TestSession::TestSession(TempDatabase::Content content)
    : database(content)
{
    QDir folder(database.folder());
    for (const char* sub : { "Arc", "Bin", "Doc" })
        folder.mkpath(QString::fromLatin1(sub));
    session.SetLocations(InitLocations(database.folder()));
    session.errors.SetClock([] { return TempDatabase::FixedToday(); });
    session.connection.Open(session.locations.DatabaseFile(), DatabasePassword());
}

QStringList TestSession::ErrorLogLines() const
{
    QFile file(session.locations.ErrorLogFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace kivo::test
