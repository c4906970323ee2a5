#include "TestContext.h"

#include "DatabasePassword.h"

#include <QDir>
#include <QFile>

namespace kivo::test {

TestContext::TestContext(TempDatabase::Content content)
    : database(content)
{
    QDir folder(database.folder());
    for (const char* sub : { "Arc", "Bin", "Doc" })
        folder.mkpath(QString::fromLatin1(sub));
    context.SetLocations(InitLocations(database.folder()));
    context.errors.SetClock([] { return TempDatabase::FixedToday(); });
    context.today = [] { return TempDatabase::FixedToday(); };
    context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
}

QStringList TestContext::ErrorLogLines() const
{
    QFile file(context.locations.ErrorLogFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace kivo::test
