#include "ExportState.h"

#include "CriterionBuilder.h"
#include "DateText.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "WorkbookWriter.h"

#include <QElapsedTimer>

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
    countLabel = QStringLiteral(".");
    gridTip.clear();
}

void ExportState::LoadColumns()
{
    ClearListing();
    fieldNames.clear();
    selected.clear();
    m_fieldTypes.clear();
    m_columns.Close();
    if (table < 0 || table >= tables.size())
        return;
    SqlText = QStringLiteral("Select Top 1 * From kt") + tables.at(table);
    TryStep(m_context.errors, [&] { m_columns.Open(SqlText); });
    if (!m_columns.IsOpen())
        return;
    if (m_columns.Eof()) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    for (int c = 0; c < m_columns.FieldCount(); ++c) {
        const FieldInfo& info = m_columns.Field(c);
        if (info.name.contains(QStringLiteral("Passcd"), Qt::CaseInsensitive))
            continue;
        fieldNames << info.name;
        m_fieldTypes.push_back(info.type);
    }
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
    const QStringList& operators = CriterionBuilder::Operators();
    const int column = qBound(0, crita, int(fieldNames.size()) - 1);
    const std::optional<QString> criterion = CriterionBuilder::Build(fieldNames.at(column),
        m_fieldTypes[size_t(column)], operators.value(op, operators.first()), txtCrita);
    if (!criterion) {
        m_context.messages.Notice(QStringLiteral("Invalid Criteria !"));
        return;
    }
    CriteriaSql = *criterion;
    QString statement = QStringLiteral("Select EId");
    for (qsizetype i = 0; i < fieldNames.size(); ++i)
        if (selected[size_t(i)])
            statement += u", " + fieldNames.at(i);
    statement += QStringLiteral(" From kt") + tables.at(table) + QStringLiteral(" Where ") + CriteriaSql;
    SqlText = statement;

    ClearListing();
    if (!TryStep(m_context.errors, [&] { m_rows.Open(SqlText); }))
        return;
    m_listing = SqlText;
    const int count = m_rows.RecordCount();
    m_model.Load(m_rows);
    if (count <= PreviewLimit) {
        countLabel = QString::number(count);
        gridTip.clear();
    } else {
        countLabel = QStringLiteral(">1000");
        gridTip = QStringLiteral("Partial Record List");
    }
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
    if (m_rows.RecordCount() == 0) {
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

    // The grid reads the listing as it scrolls, so the export walks its own copy of it.
    Recordset rows(m_context.connection);
    TryStep(m_context.errors, [&] {
        rows.Open(m_listing);
        WorkbookWriter writer(file);
        writer.SetColumnWidths(ColumnWidth);
        const int columns = rows.FieldCount();
        std::vector<int> types;
        for (int c = 0; c < columns; ++c) {
            writer.WriteText(0, c, rows.Field(c).name);
            types.push_back(rows.Field(c).type);
        }
        int counter = 0;
        QElapsedTimer sinceShown;
        sinceShown.start();
        for (; !rows.Eof(); rows.MoveNext()) {
            for (int c = 0; c < columns; ++c) {
                const QVariant value = rows.Value(c);
                if (value.isNull())
                    continue;
                switch (value.typeId()) {
                case QMetaType::LongLong:
                case QMetaType::Double:
                    writer.WriteNumber(counter + 1, c, value.toDouble());
                    break;
                case QMetaType::QDate:
                    writer.WriteText(counter + 1, c, ShortDate(value.toDate()));
                    break;
                default:
                    if (types[size_t(c)] == FieldDate)
                        writer.WriteText(counter + 1, c, ShortDate(ParseShortDate(value.toString())));
                    else
                        writer.WriteText(counter + 1, c, value.toString());
                }
            }
            ++counter;
            if (progress && sinceShown.elapsed() >= ProgressEveryMs) {
                progressLabel = QString::number(counter) + QStringLiteral("..");
                progress(progressLabel);
                sinceShown.restart();
            }
        }
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
