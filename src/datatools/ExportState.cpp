#include "ExportState.h"

#include "Connection.h"
#include "DateText.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "TableListing.h"
#include "WorkbookWriter.h"

#include <QElapsedTimer>
#include <QHash>
#include <sqlite3.h>

namespace kivo {

namespace {

constexpr int ProgressEveryMs = 50;

} // namespace

ExportState::ExportState(ProgramContext& context)
    : m_context(context)
    , m_columns(context.connection)
    , m_rows(context.connection)
{
    tables = context.locations.ExportTables;
}

void ExportState::ClearListing()
{
    m_model.Clear();
    m_rows.Close();
    m_listing.clear();
    m_count = 0;
    countLabel = QStringLiteral(".");
    gridTip.clear();
}

void ExportState::LoadColumns()
{
    ClearListing();
    fieldNames.clear();
    selected.clear();
    m_columns.Close();
    m_fields.clear();
    if (table < 0 || table >= tables.size())
        return;
    m_fields = TableListing::ReadColumns(m_context, m_columns, tables.at(table), SqlText);
    if (m_fields.empty())
        return;
    for (const FieldInfo& info : m_fields)
        fieldNames << info.name;
    selected.assign(size_t(fieldNames.size()), false);
    if (!selected.empty())
        selected[0] = true;
    crita = 0;
    op = 0;
}

void ExportState::SelectAll()
{
    selected.assign(size_t(fieldNames.size()), true);
}

void ExportState::List()
{
    if (!m_columns.IsOpen() || m_columns.Eof() || fieldNames.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    const std::optional<QString> criterion
        = TableListing::Criterion(m_context, m_fields, crita, op, txtCrita);
    if (!criterion)
        return;
    CriteriaSql = *criterion;
    QString statement = QStringLiteral("Select EId");
    for (qsizetype i = 0; i < fieldNames.size(); ++i)
        if (selected[size_t(i)])
            statement += u", " + fieldNames.at(i);
    statement += QStringLiteral(" From kt") + tables.at(table) + QStringLiteral(" Where ") + CriteriaSql;
    SqlText = statement;

    ClearListing();
    // The grid shows the first rows, one past the limit ("Partial Record List"), so a listing of
    // a million rows costs a count and a page; Export writes every row of the statement.
    int count = 0;
    if (!TableListing::OpenPage(
            m_context, m_rows, tables.at(table), CriteriaSql, SqlText, PreviewLimit, count))
        return;
    m_listing = SqlText;
    m_count = count;
    m_model.Load(m_rows);
    TableListing::Labels(count, PreviewLimit, countLabel, gridTip);
    m_context.messages.Notice(QStringLiteral("Total Records: ") + QString::number(count));
}

void ExportState::ChooseFile(const QString& dialogResult)
{
    txtFile
        = dialogResult.compare(QStringLiteral("*.Xls"), Qt::CaseInsensitive) == 0 ? QString() : dialogResult;
}

void ExportState::Export(const std::function<void(const QString&)>& progress)
{
    if (m_listing.isEmpty() || !m_rows.IsOpen()) {
        m_context.messages.Notice(QStringLiteral("List Records !"));
        return;
    }
    if (m_count == 0) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    const QString file = txtFile.trimmed();
    if (file.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("Select File !"));
        return;
    }
    if (!m_context.messages.Ask(QStringLiteral("Confirm Export ?")))
        return;
    frameEnabled = false;

    // The grid reads the listing as it scrolls, so the export steps through the listing's
    // statement on its own, a row at a time: memory stays flat however many rows there are.
    std::vector<int> types;
    for (int c = 0; c < m_rows.FieldCount(); ++c)
        types.push_back(m_rows.Field(c).type);
    TryStep(m_context.errors, [&] {
        Connection& connection = m_context.connection;
        StatementHandle rows = connection.Prepare(connection.Translate(m_listing));
        sqlite3_stmt* statement = rows.get();
        WorkbookWriter writer(file);
        writer.SetColumnWidths(ColumnWidth);
        const int columns = sqlite3_column_count(statement);
        for (int c = 0; c < columns; ++c)
            writer.WriteText(0, c, QString::fromUtf8(sqlite3_column_name(statement, c)));
        int counter = 0;
        QHash<QString, QString> shortDates;
        QElapsedTimer sinceShown;
        sinceShown.start();
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER:
                case SQLITE_FLOAT:
                    writer.WriteNumber(counter + 1, c, sqlite3_column_double(statement, c));
                    break;
                case SQLITE_TEXT: {
                    const QString text
                        = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                            sqlite3_column_bytes(statement, c));
                    // Dates are kept as ISO text; the sheet gets them in the short date form. A
                    // listing holds few distinct days, so each is turned into its form once.
                    if (c < int(types.size()) && types[size_t(c)] == FieldDate) {
                        auto known = shortDates.constFind(text);
                        if (known == shortDates.cend()) {
                            if (shortDates.size() > 4096)
                                shortDates.clear();
                            const QDate date = ParseShortDate(text);
                            known = shortDates.insert(text, date.isValid() ? ShortDate(date) : text);
                        }
                        writer.WriteText(counter + 1, c, *known);
                    } else {
                        writer.WriteText(counter + 1, c, text);
                    }
                    break;
                }
                default:
                    break; // an empty cell
                }
            }
            ++counter;
            if (progress && sinceShown.elapsed() >= ProgressEveryMs) {
                progressLabel = QString::number(counter) + QStringLiteral("..");
                progress(progressLabel);
                sinceShown.restart();
            }
        }
        if (rc != SQLITE_DONE)
            connection.ThrowEngineError(rc, QStringLiteral("KvExport"));
        progressLabel = QString::number(counter) + QStringLiteral("..");
        if (progress)
            progress(progressLabel);
        writer.Close();
    });
    m_context.messages.Notice(QStringLiteral("Done !"));
    Close();
}

void ExportState::Close()
{
    m_model.Clear();
    m_rows.Close();
    m_columns.Close();
    closed = true;
}

} // namespace kivo
