#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

// Where every file of a data folder lives. Computed once at start from the application
// folder and fixed for the run. The three folder values end in "/".
struct Locations {
    QString AppFolder; // without a trailing "/"
    QString DatabaseName; // "Kivo.Kvd"
    QString ArchiveFolder; // AppFolder + "/Arc/"
    QString BinFolder; // AppFolder + "/Bin/"
    QString DocFolder; // AppFolder + "/Doc/"
    QString HelpFile; // the user guide, BinFolder + "help/index.html"
    QString ErrorLogFile; // DocFolder + "Kivo.Err"
    QStringList ImportTables; // tables offered by import and find-and-replace
    QStringList ExportTables; // tables offered by export, shown on the dashboard

    QString DatabaseFile() const { return AppFolder + u'/' + DatabaseName; }
};

Locations InitLocations(const QString& appFolder);

// The application folder for this run: the executable's folder, or DIR when the program is
// started with "--app-folder DIR". No other argument and no environment variable is read.
QString AppFolderFromArguments(const QStringList& arguments, const QString& executableFolder);

} // namespace kivo
