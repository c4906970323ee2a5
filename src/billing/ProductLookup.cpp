#include "ProductLookup.h"

#include "Connection.h"

#include <sqlite3.h>

namespace kivo {

namespace {

QString ColumnText(sqlite3_stmt* statement, int column)
{
    const void* text = sqlite3_column_text16(statement, column);
    if (!text)
        return {};
    return QString::fromUtf16(
        static_cast<const char16_t*>(text), sqlite3_column_bytes16(statement, column) / 2);
}

// A stored number as the decimal the program shows for it; no value counts 0.
Money ColumnAmount(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return Money(static_cast<long long>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return Money::FromDouble(sqlite3_column_double(statement, column)).value_or(Money());
    case SQLITE_NULL:
        return Money();
    default:
        return Money::FromText(ColumnText(statement, column)).value_or(Money());
    }
}

} // namespace

ProductLookup::ProductLookup(Connection& connection)
    : m_connection(connection)
{
}

std::optional<ProductRecord> ProductLookup::ByCode(const QString& code) const
{
    return Find(code, false);
}

std::optional<ProductRecord> ProductLookup::ActiveByCode(const QString& code) const
{
    return Find(code, true);
}

std::optional<ProductRecord> ProductLookup::Find(const QString& code, bool activeOnly) const
{
    if (code.trimmed().isEmpty())
        return std::nullopt;
    // PCode carries the program's text collation, so its index answers "=" as the
    // database compares text; the EId order picks the first of a shared code.
    static const QString all = QStringLiteral(
        "SELECT EId, PName, PCode, PGId, PPurchRate, PSaleRate, PCloseQty, PTax FROM ktProduct "
        "WHERE PCode=?1 ORDER BY EId LIMIT 1");
    static const QString active = QStringLiteral(
        "SELECT EId, PName, PCode, PGId, PPurchRate, PSaleRate, PCloseQty, PTax FROM ktProduct "
        "WHERE PCode=?1 AND PActive='Y' ORDER BY EId LIMIT 1");
    CachedStatement statement = m_connection.StatementAsWritten(activeOnly ? active : all);
    sqlite3_stmt* s = statement.get();
    BindValue(s, 1, code);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return std::nullopt;
    if (rc != SQLITE_ROW)
        m_connection.ThrowEngineError(rc, QStringLiteral("ProductLookup"));
    ProductRecord product;
    product.EId = sqlite3_column_int64(s, 0);
    product.PName = ColumnText(s, 1);
    product.PCode = ColumnText(s, 2);
    if (sqlite3_column_type(s, 3) != SQLITE_NULL)
        product.PGId = sqlite3_column_int64(s, 3);
    product.PPurchRate = ColumnAmount(s, 4);
    product.PSaleRate = ColumnAmount(s, 5);
    product.PCloseQty = ColumnAmount(s, 6);
    product.PTax = ColumnText(s, 7);
    return product;
}

} // namespace kivo
