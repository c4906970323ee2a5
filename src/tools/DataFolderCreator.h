#pragma once

#include <QDate>
#include <QString>

namespace kivo {

class ResourceInstaller;

// Sets up a new data folder: Arc/, Bin/ (with the files it ships with), Doc/ and the
// encrypted database Kivo.Kvd with its tables and first rows. The database is built under
// a temporary name beside its final one and renamed into place only when it is complete,
// so an interrupted set-up never leaves a half-made Kivo.Kvd for the program to open.
class DataFolderCreator {
public:
    enum class Content { Defaults, Demo };

    explicit DataFolderCreator(const QString& folder);

    QString DatabaseFile() const;
    // An existing database is never replaced.
    bool DatabaseExists() const;

    // Creates the folder (and its parents) and everything in it; `today` dates the first
    // rows. Throws DbError on any failure, leaving no database file behind.
    void Create(Content content, const QDate& today, const ResourceInstaller& resources) const;

private:
    QString WorkFile() const;
    void CreateFolders() const;
    void BuildDatabase(const QString& file, Content content, const QDate& today) const;

    QString m_folder;
};

} // namespace kivo
