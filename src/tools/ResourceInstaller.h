#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

// Copies the files that a data folder's Bin/ ships with (the user guide, the report
// templates) from where the build keeps them. A source folder that does not exist is
// passed over: a data folder works without them and they can be installed later.
class ResourceInstaller {
public:
    struct Source {
        QString from; // folder to copy from
        QString to; // folder to copy into, relative to Bin/
        QStringList patterns; // file name patterns; empty for every file, sub-folders included
    };

    explicit ResourceInstaller(std::vector<Source> sources);

    // The sources of this build: the guide from resources/help/ and the report templates
    // from src/reports/templates/ of the source tree.
    static ResourceInstaller ForThisBuild();

    // Copies into binFolder; a file that is already there is kept, so a shop's edited
    // template is never overwritten. Returns the number of files copied; throws DbError
    // (FileError) when a file cannot be written.
    int Install(const QString& binFolder) const;

private:
    std::vector<Source> m_sources;
};

} // namespace kivo
