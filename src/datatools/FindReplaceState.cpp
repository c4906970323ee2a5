#include "FindReplaceState.h"

#include "DateText.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "TableListing.h"

namespace kivo {

namespace {

QVariant AsParameter(const StoredValue& value)
{
    switch (value.kind) {
    case StoredKind::Integer:
        return value.integer;
    case StoredKind::Real:
        return value.real;
    case StoredKind::Text:
        return value.text;
    default:
        return {};
    }
}

} // namespace

FindReplaceState::FindReplaceState(ProgramContext& context, std::function<bool()> askAccessCode)
    : m_context(context)
    , m_askAccessCode(std::move(askAccessCode))
    , m_columns(context.connection)
    , m_rows(context.connection)
{
    tables = context.locations.ImportTables;
}

void FindReplaceState::Open()
{
    table = 0;
    LoadColumns();
    m_context.messages.Notice(QStringLiteral("Access-Code Required !"));
}

void FindReplaceState::LoadColumns()
{
    m_model.Clear();
    m_rows.Close();
    countLabel = QStringLiteral(".");
    gridTip.clear();
    fieldNames.clear();
    m_fields.clear();
    m_columns.Close();
    if (table < 0 || table >= tables.size())
        return;
    m_fields = TableListing::ReadColumns(m_context, m_columns, tables.at(table), SqlText);
    if (m_fields.empty())
        return;
    for (const FieldInfo& info : m_fields)
        fieldNames << info.name;
    crita = 0;
    op = 0;
    field = 0;
    LeaveField();
}

void FindReplaceState::LeaveField()
{
    if (m_columns.IsOpen() && !m_columns.Eof() && field >= 0 && size_t(field) < m_fields.size())
        valueWidth = m_fields[size_t(field)].definedSize;
}

void FindReplaceState::Find()
{
    if (!m_columns.IsOpen() || m_columns.Eof() || fieldNames.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    const std::optional<QString> criterion
        = TableListing::Criterion(m_context, m_fields, crita, op, txtCrita);
    if (!criterion)
        return;
    SqlText = QStringLiteral("Select * From kt") + tables.at(table) + QStringLiteral(" Where ") + *criterion;
    m_model.Clear();
    m_rows.Close();
    m_criterion.clear();
    m_criterion = *criterion;
    ReadRows();
    if (!m_rows.IsOpen())
        m_criterion.clear();
    m_context.messages.Notice(QStringLiteral("Total Records: ") + QString::number(m_count));
}

void FindReplaceState::ReadRows()
{
    // The grid shows the first rows, one past the limit ("Partial Record List"); Replace
    // changes every row the criterion finds.
    m_rows.Close();
    m_count = 0;
    TableListing::OpenPage(m_context, m_rows, tables.at(table), m_criterion, SqlText, PreviewLimit, m_count);
    ShowRows();
}

void FindReplaceState::ShowRows()
{
    m_model.Load(m_rows);
    TableListing::Labels(m_count, PreviewLimit, countLabel, gridTip);
}

void FindReplaceState::Replace()
{
    if (!m_rows.IsOpen()) {
        m_context.messages.Notice(QStringLiteral("Find Records !"));
        return;
    }
    if (m_count == 0) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    if (field <= 0 || size_t(field) >= m_fields.size()) {
        m_context.messages.Notice(QStringLiteral("Invalid Field !"));
        return;
    }
    const QString typed = txtField.trimmed();
    if (typed.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("No Text !"));
        return;
    }
    const FieldInfo& target = m_fields[size_t(field)];
    const bool number = target.type == FieldLong || target.type == FieldDouble;
    if ((number && !IsNumeric(typed)) || (target.type == FieldDate && !ParseShortDate(typed).isValid())) {
        m_context.messages.Notice(QStringLiteral("Invalid Text !"));
        return;
    }
    if (!m_context.messages.Ask(QStringLiteral("Confirm Replace ?")))
        return;
    if (!m_askAccessCode || !m_askAccessCode())
        return;
    frameEnabled = false;
    QString value = txtField.left(valueWidth);
    if (number)
        value.replace(u',', u'.');
    // Every found row at once: the rows of the last find are those its criterion selects.
    TryStep(m_context.errors, [&] {
        const QVariant parameter = AsParameter(ConvertForField(target, value));
        Transaction transaction(m_context.connection);
        m_context.connection.Execute(QStringLiteral("Update kt") + tables.at(table) + QStringLiteral(" Set ")
                + target.name + QStringLiteral("=? Where ") + m_criterion,
            { parameter });
        transaction.Commit();
    });
    ReadRows();
    frameEnabled = true;
    m_context.messages.Notice(QStringLiteral("Record(s) Replaced !"));
    // The model keeps the rows it has read; a new Find is needed before the next Replace.
    m_rows.Close();
}

void FindReplaceState::Close()
{
    m_model.Clear();
    m_rows.Close();
    m_columns.Close();
    closed = true;
}

} // namespace kivo
