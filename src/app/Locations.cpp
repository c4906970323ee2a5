#include "Locations.h"

#include <QDir>

namespace kivo {

Locations InitLocations(const QString& appFolder)
{
    Locations l;
    QString folder = QDir::cleanPath(QDir(appFolder).absolutePath());
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    l.AppFolder = folder;
    l.DatabaseName = QStringLiteral("Kivo.Kvd");
    l.ArchiveFolder = folder + QStringLiteral("/Arc/");
    l.BinFolder = folder + QStringLiteral("/Bin/");
    l.DocFolder = folder + QStringLiteral("/Doc/");
    l.HelpFile = l.BinFolder + QStringLiteral("help/index.html");
    l.ErrorLogFile = l.DocFolder + QStringLiteral("Kivo.Err");
    l.ImportTables = { QStringLiteral("Product"), QStringLiteral("Coupon"), QStringLiteral("Customer"),
        QStringLiteral("Supplier") };
    l.ExportTables = l.ImportTables;
    l.ExportTables << QStringLiteral("BillMast") << QStringLiteral("PurcMast");
    return l;
}

QString AppFolderFromArguments(const QStringList& arguments, const QString& executableFolder)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--app-folder" && i + 1 < arguments.size())
            return arguments[i + 1];
        if (arguments[i].startsWith(u"--app-folder="))
            return arguments[i].mid(13);
    }
    return executableFolder;
}

} // namespace kivo
