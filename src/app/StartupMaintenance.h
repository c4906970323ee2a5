#pragma once

#include "Locations.h"
#include "StartupFiles.h"

#include <functional>
#include <QByteArray>
#include <QDate>
#include <QString>

namespace kivo {

// Where the maintenance shows how far it is: a step label and a line of dots. `Busy` is called
// often during long file work so that the window stays responsive.
class MaintenanceProgress {
public:
    virtual ~MaintenanceProgress() = default;
    virtual void ShowStep(const QString& label) = 0;
    virtual void AddDot() = 0;
    virtual void Busy() { }
};

// The start-up maintenance, on the closed database file while the copy holds the lock file.
// Every start: "Verify..." (a log left beside the database that is not its own is set aside)
// and "Loading..". The day's first start, when the day's archive copy is not there yet, also
// runs "Checks..." (the lock file of a copy that was killed has been taken over), "Repair..."
// (a compaction cut short after the old file went: the compaction file becomes the database),
// "Compact.." (the database exported into the compaction file with the same key, which then
// replaces the database in one rename) and "Archive.." (a whole copy of the compacted file into
// Arc/). Any failure ends the work: the caller shows "Application In-Use, Try Later" and the
// program ends. Nothing is changed in a file that did not open cleanly.
class StartupMaintenance {
public:
    StartupMaintenance(
        const Locations& locations, const QDate& today, QString key, QByteArray staleRecord = {});

    // Runs the steps; false on a failure, with the reason in failure.
    bool Run(MaintenanceProgress& progress);
    // The first step alone (kivo-admin runs it before it opens the file): a log beside the
    // database that is not its own is set aside. True when one was; throws DbError when the
    // database reads whole neither with the log nor without it.
    bool SetAsideForeignLogs();

    const StartupFiles& files() const { return m_files; }
    bool fullRun = false; // the day's first start
    QString failure;

    // Called between the file operations of the day's first start; tests use it to stop the
    // work at chosen points.
    std::function<void(const QString& operation)> onOperation;

private:
    void Dots(MaintenanceProgress& progress, int count);
    // A log left by a copy that wrote nothing down about the database (a tool cut short) is
    // kept only when the database reads whole with it.
    bool CheckUnrecordedLog();
    void Repair();
    void Compact(MaintenanceProgress& progress);
    void Archive();
    void Operation(const QString& name);

    Locations m_locations;
    StartupFiles m_files;
    QString m_key;
    QByteArray m_staleRecord;
};

// Exports an open database's content into `target` (a new file, replaced if present) with the
// same key and cipher settings; `busy` is called while it runs. Throws DbError.
class Connection;
void ExportDatabase(
    Connection& source, const QString& target, const QString& key, const std::function<void()>& busy);

} // namespace kivo
