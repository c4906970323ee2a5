#include "InquiryState.h"

#include "CriterionBuilder.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"

namespace kivo {

InquiryState::InquiryState(ProgramContext& context, RecordEngine& engine, RecordScreen& screen)
    : m_context(context)
    , m_engine(engine)
    , m_screen(screen)
    , m_rows(context.connection)
{
}

void InquiryState::Open()
{
    Recordset* list = m_screen.list.get();
    if (!list || !list->IsOpen() || list->Bof() || list->Eof()) {
        m_context.messages.Notice(QStringLiteral("No Record !"));
        Close();
        return;
    }
    Recordset& rows = m_rows;
    rows.Close();
    TryStep(m_context.errors, [&] {
        rows.Open(QStringLiteral("Select * From ") + m_screen.table + QStringLiteral(" Where EId= ")
            + list->Text(QStringLiteral("EId")));
    });
    fieldNames.clear();
    m_fieldTypes.clear();
    if (rows.IsOpen()) {
        for (int c = 0; c < rows.FieldCount(); ++c) {
            const FieldInfo& info = rows.Field(c);
            if (info.name.contains(QStringLiteral("Passcd"), Qt::CaseInsensitive))
                continue;
            fieldNames << info.name;
            m_fieldTypes.push_back(info.type);
        }
    }
    field = 0;
    op = 0;
    ShowRows();
}

void InquiryState::LookUp()
{
    if (field < 0 || field >= fieldNames.size())
        return;
    const QStringList& operators = CriterionBuilder::Operators();
    const QString oper = operators.value(op, operators.first());
    const std::optional<QString> criterion
        = CriterionBuilder::Build(fieldNames.at(field), m_fieldTypes[size_t(field)], oper, txtInqry);
    if (!criterion) {
        m_context.messages.Notice(QStringLiteral("Invalid Criteria !"));
        return;
    }
    Recordset& rows = m_rows;
    rows.Close();
    const QString SqlText = QStringLiteral("Select Top %1 * From ").arg(RowLimit) + m_screen.table
        + QStringLiteral(" Where ") + *criterion;
    TryStep(m_context.errors, [&] { rows.Open(SqlText); });
    ShowRows();
    if (m_model.rowCount() >= RowLimit)
        m_context.messages.Notice(QStringLiteral("Records>100 !"));
    focusValue = true;
}

void InquiryState::ShowRows()
{
    m_model.Load(m_rows);
    tableLabel = QStringLiteral("Table:") + m_screen.table.mid(2);
    countLabel = QStringLiteral("Count:") + QString::number(m_model.rowCount());
}

void InquiryState::Choose(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    const QString id = m_model.Text(row, 0).trimmed();
    m_rows.Close();
    Recordset& list = *m_screen.list;
    TryStep(m_context.errors, [&] {
        list.MoveFirst();
        list.Find(QStringLiteral("EId = ") + id);
    });
    m_engine.ShowRecord(m_screen);
    Close();
}

void InquiryState::Close()
{
    m_rows.Close();
    closed = true;
}

} // namespace kivo
