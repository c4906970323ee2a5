#include "AdminOptions.h"

#include "DbError.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "StartupFiles.h"

#include <QFile>
#include <QFileInfo>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Options");
    return source;
}

} // namespace

AdminOptions::AdminOptions(ProgramContext& context)
    : m_context(context)
{
}

void AdminOptions::Click(int box)
{
    if (box < 0 || box > 1)
        return;
    chkField[box] = !chkField[box];
    if (!chkField[box] || !m_context.messages.Ask(QStringLiteral("Confirm Operation ?")))
        return;
    if (box == ClearBackups)
        TryStep(m_context.errors, [&] {
            ClearOldBackupFiles(
                m_context.locations.ArchiveFolder, m_context.locations.DatabaseName, m_context.Today());
        });
    else
        TryStep(m_context.errors, [&] { ClearErrorListing(m_context.locations.ErrorLogFile); });
    m_context.messages.Notice(QStringLiteral("Done !"));
    chkField[box] = false;
}

int ClearOldBackupFiles(const QString& archiveFolder, const QString& databaseName, const QDate& today)
{
    Locations locations;
    locations.ArchiveFolder = archiveFolder;
    locations.DatabaseName = databaseName;
    int deleted = 0;
    for (int i = 7; i <= 13; ++i) {
        QFile copy(ArchiveFileOf(locations, today.addDays(-i)));
        if (!copy.exists())
            continue;
        // A copy marked read-only is deleted all the same.
        copy.setPermissions(copy.permissions() | QFile::WriteOwner);
        if (!copy.remove())
            throw DbError(DbErrorNumber::FileError, Source(),
                QStringLiteral("Cannot delete '%1': %2").arg(copy.fileName(), copy.errorString()));
        ++deleted;
    }
    return deleted;
}

void ClearErrorListing(const QString& errorLogFile)
{
    QFile log(errorLogFile);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate) || log.write("\xFF\xFE", 2) != 2)
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("Cannot recreate the error listing '%1': %2")
                .arg(errorLogFile, log.errorString()));
}

} // namespace kivo
