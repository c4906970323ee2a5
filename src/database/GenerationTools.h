#pragma once

#include "Connection.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <sqlite3.h>

namespace kivo::generation {

// Random numbers from a fixed seed: splitmix64, small and the same on every platform and
// library (the standard distributions are not), so one seed always gives the same shop.
class Random {
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    {
    }
    quint64 Next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 <= result < n; 0 when n <= 1.
    qint64 Below(qint64 n) { return n <= 1 ? 0 : qint64(Next() % quint64(n)); }
    qint64 Between(qint64 low, qint64 high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    // Low numbers more often than high ones: a few products and customers make most sales.
    qint64 Skewed(qint64 n) { return std::min(Below(n), Below(n)); }

private:
    quint64 m_state;
};

// The days of the history: day 0 is the first, day Days() - 1 is today. Dates are handled
// as Julian day numbers and written as the ISO text that date columns hold.
class Calendar {
public:
    Calendar(const QDate& today, int days)
        : m_today(today.toJulianDay())
        , m_days(days)
    {
    }
    int Days() const { return m_days; }
    qint64 Today() const { return m_today; }
    qint64 Julian(int day) const { return m_today - m_days + 1 + day; }
    // 1 is Monday.
    int DayOfWeek(int day) const { return QDate::fromJulianDay(Julian(day)).dayOfWeek(); }
    // The shop's registers were set up before the history begins; products were entered
    // over the sixty days after that.
    qint64 Opening() const { return Julian(0) - 61; }

    using Text = std::array<char, 11>;
    static Text DateText(qint64 julian)
    {
        int year, month, day;
        QDate::fromJulianDay(julian).getDate(&year, &month, &day);
        Text text {};
        std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", year, month, day);
        return text;
    }
    // "YYMM-DD", the date part of the program's receipt numbers.
    static QByteArray ReceiptDate(qint64 julian)
    {
        int year, month, day;
        QDate::fromJulianDay(julian).getDate(&year, &month, &day);
        char text[16];
        std::snprintf(text, sizeof text, "%02d%02d-%02d", year % 100, month, day);
        return QByteArray(text);
    }

private:
    qint64 m_today;
    int m_days;
};

// One prepared statement written again and again with new values: an insert of whole rows
// into a table, values bound in column order, or any statement of parameters. Bind, Write,
// bind the next row: far cheaper than a recordset per row.
class BoundStatement {
public:
    BoundStatement(Connection& connection, const char* table, int columns)
        : m_connection(connection)
        , m_columns(columns)
    {
        QString sql = QStringLiteral("INSERT INTO %1 VALUES (?").arg(QLatin1StringView(table));
        for (int i = 1; i < columns; ++i)
            sql += QStringLiteral(",?");
        m_statement = connection.Prepare(sql + u')');
    }
    // A statement of `parameters` bound values (an update).
    BoundStatement(Connection& connection, const QString& engineSql, int parameters)
        : m_connection(connection)
        , m_statement(connection.Prepare(engineSql))
        , m_columns(parameters)
    {
    }

    BoundStatement& Int(qint64 value)
    {
        sqlite3_bind_int64(m_statement.get(), ++m_bound, value);
        return *this;
    }
    // Amounts are kept in hundredths and stored as the number the screens show.
    BoundStatement& Money(qint64 hundredths)
    {
        sqlite3_bind_double(m_statement.get(), ++m_bound, double(hundredths) / 100.0);
        return *this;
    }
    BoundStatement& Real(double value)
    {
        sqlite3_bind_double(m_statement.get(), ++m_bound, value);
        return *this;
    }
    BoundStatement& Text(const char* text)
    {
        sqlite3_bind_text(m_statement.get(), ++m_bound, text, -1, SQLITE_TRANSIENT);
        return *this;
    }
    BoundStatement& Text(const QByteArray& text)
    {
        sqlite3_bind_text(m_statement.get(), ++m_bound, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    BoundStatement& Date(qint64 julian) { return Text(Calendar::DateText(julian).data()); }
    BoundStatement& Null()
    {
        sqlite3_bind_null(m_statement.get(), ++m_bound);
        return *this;
    }

    // Writes the bound row; throws DbError when the engine refuses it.
    void Write()
    {
        if (m_bound != m_columns)
            throw DbError(DbErrorNumber::BadStatement, Connection::ErrorSource(),
                QStringLiteral("A generated row has %1 values for %2 columns").arg(m_bound).arg(m_columns));
        m_bound = 0;
        const int rc = sqlite3_step(m_statement.get());
        sqlite3_reset(m_statement.get());
        if (rc != SQLITE_DONE)
            m_connection.ThrowEngineError(rc, Connection::ErrorSource());
    }

private:
    Connection& m_connection;
    StatementHandle m_statement;
    int m_columns;
    int m_bound = 0;
};

// Takes a table's look-up indexes away for a bulk load and builds them again afterwards:
// an index built once from the finished table is far quicker than one grown row by row in
// random order. Rebuild() must be called before the transaction commits; if the load fails
// instead, rolling back brings the indexes back with everything else.
class DeferredIndexes {
public:
    DeferredIndexes(Connection& connection, const char* table)
        : m_connection(connection)
    {
        const StatementHandle statement = connection.Prepare(
            QStringLiteral(
                "SELECT name, sql FROM sqlite_master WHERE type='index' AND tbl_name=? AND sql IS NOT NULL "
                "ORDER BY name"),
            { QString::fromLatin1(table) });
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            m_names << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
            m_statements << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 1)));
        }
        if (rc != SQLITE_DONE)
            connection.ThrowEngineError(rc, Connection::ErrorSource());
        for (const QString& name : m_names)
            connection.ExecuteRaw(QStringLiteral("DROP INDEX \"%1\"").arg(name));
    }
    void Rebuild()
    {
        for (const QString& statement : m_statements)
            m_connection.ExecuteRaw(statement);
        m_statements.clear();
    }

private:
    Connection& m_connection;
    QStringList m_names;
    QStringList m_statements;
};

} // namespace kivo::generation
