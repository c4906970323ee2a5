#include "InquiryState.h"

#include "CriterionBuilder.h"
#include "Messages.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Session.h"

namespace kivo {

InquiryState::InquiryState(Session& session, ScreenHost& host)
    : m_session(session)
    , m_host(host)
{
}

void InquiryState::Open()
{
    Recordset& list = m_session.rsScreen;
    if (!list.IsOpen() || list.Bof() || list.Eof()) {
        m_session.messages.Notice(QStringLiteral("No Record !"));
        Close();
        return;
    }
    Recordset& rows = m_session.rsWork;
    rows.Close();
    TryStep(m_session.errors, [&] {
        rows.Open(QStringLiteral("Select * From ") + m_session.ScreenTable + QStringLiteral(" Where EId= ")
            + list.Text(QStringLiteral("EId")));
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
        m_session.messages.Notice(QStringLiteral("Invalid Criteria !"));
        return;
    }
    m_session.CriteriaSql = *criterion;
    Recordset& rows = m_session.rsWork;
    rows.Close();
    m_session.SqlText = QStringLiteral("Select Top %1 * From ").arg(RowLimit) + m_session.ScreenTable
        + QStringLiteral(" Where ") + *criterion;
    TryStep(m_session.errors, [&] { rows.Open(m_session.SqlText); });
    ShowRows();
    if (m_model.rowCount() >= RowLimit)
        m_session.messages.Notice(QStringLiteral("Records>100 !"));
    focusValue = true;
}

void InquiryState::ShowRows()
{
    m_model.Load(m_session.rsWork);
    tableLabel = QStringLiteral("Table:") + m_session.ScreenTable.mid(2);
    countLabel = QStringLiteral("Count:") + QString::number(m_model.rowCount());
}

void InquiryState::Choose(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    const QString id = m_model.Text(row, 0).trimmed();
    m_session.rsWork.Close();
    Recordset& list = m_session.rsScreen;
    TryStep(m_session.errors, [&] {
        list.MoveFirst();
        list.Find(QStringLiteral("EId = ") + id);
    });
    if (auto* screen = qobject_cast<RecordScreen*>(m_session.CurrentForm.data()))
        RecordEngine(m_session, m_host).ShowRecord(*screen);
    Close();
}

void InquiryState::Close()
{
    m_session.rsWork.Close();
    closed = true;
}

} // namespace kivo
