#include "ResourceInstaller.h"

#include "DbError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace kivo {

namespace {

const QString& ErrorSource()
{
    static const QString source = QStringLiteral("Kivo Admin");
    return source;
}

} // namespace

ResourceInstaller::ResourceInstaller(std::vector<Source> sources)
    : m_sources(std::move(sources))
{
}

ResourceInstaller ResourceInstaller::ForThisBuild()
{
    const QString root = QStringLiteral(KIVO_SOURCE_DIR);
    std::vector<Source> sources;
    sources.push_back({ root + QStringLiteral("/resources/help"), QStringLiteral("help"), {} });
    sources.push_back(
        { root + QStringLiteral("/src/reports/templates"), QString(), { QStringLiteral("*.Kvr") } });
    return ResourceInstaller(std::move(sources));
}

int ResourceInstaller::Install(const QString& binFolder) const
{
    int copied = 0;
    for (const Source& source : m_sources) {
        const QDir from(source.from);
        if (!from.exists())
            continue;
        const QDir to(QDir(binFolder).filePath(source.to));
        const auto flags
            = source.patterns.isEmpty() ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags;
        QDirIterator it(from.path(), source.patterns, QDir::Files, flags);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = to.filePath(from.relativeFilePath(file));
            if (QFileInfo::exists(target))
                continue;
            if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
                throw DbError(DbErrorNumber::FileError, ErrorSource(),
                    QStringLiteral("Cannot copy '%1' to '%2'").arg(file, target));
            ++copied;
        }
    }
    return copied;
}

} // namespace kivo
