#include "TempDatabase.h"

#include "DatabasePassword.h"
#include "Schema.h"
#include "SeedData.h"

#include <QDir>

namespace kivo::test {

TempDatabase::TempDatabase(Content content, const QDate& today)
{
    m_connection.Open(file(), DatabasePassword(), Connection::OpenMode::Create);
    Schema::Create(m_connection);
    SeedDefaults(m_connection, today);
    if (content == Content::Demo)
        SeedDemo(m_connection, today);
}

QString TempDatabase::file() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("Kivo.Kvd"));
}

} // namespace kivo::test
