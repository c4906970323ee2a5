#pragma once

#include "Connection.h"

#include <QDate>
#include <QTemporaryDir>

namespace kivo::test {

// A fresh encrypted database in a temporary folder, with the schema and the rows a new
// database starts with (and, on request, the demo shop). Removed when it goes out of scope.
class TempDatabase {
public:
    enum class Content { Defaults, Demo };
    explicit TempDatabase(Content content = Content::Defaults, const QDate& today = FixedToday());

    // Opened on first use: deriving the key is most of what opening costs, and a test that
    // works through a test context's own connection never needs this one.
    Connection& connection();
    QString folder() const { return m_dir.path(); }
    QString file() const;

    // The date the fixtures treat as today, so that nothing depends on the wall clock.
    static QDate FixedToday() { return QDate(2026, 3, 5); }

private:
    QTemporaryDir m_dir;
    Connection m_connection;
};

} // namespace kivo::test
