#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace kivo {

class ProgramContext;

// The options screen's state: two check boxes, each an action once it is ticked and confirmed.
// A click that ticks a box asks "Confirm Operation ?"; on Yes the action runs, "Done !" is
// shown and the box is cleared; on No the box stays ticked and the next click clears it with no
// action.
class AdminOptions {
public:
    enum Box { ClearBackups = 0, ClearErrors = 1 };

    explicit AdminOptions(ProgramContext& context);

    // A click on box 0 or 1.
    void Click(int box);

    bool chkField[2] = { false, false };

private:
    ProgramContext& m_context;
};

// Deletes the daily archive copies named 7 to 13 days before `today`; the last six days' and
// anything older stay. Returns how many were deleted. Throws DbError when one cannot be deleted.
int ClearOldBackupFiles(const QString& archiveFolder, const QString& databaseName, const QDate& today);
// Recreates the error log as an empty Unicode text file (UTF-16 with its byte-order mark).
// Throws DbError when it cannot be written.
void ClearErrorListing(const QString& errorLogFile);

} // namespace kivo
