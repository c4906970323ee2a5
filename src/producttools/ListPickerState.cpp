#include "ListPickerState.h"

#include "ErrorReporter.h"
#include "RecordScreen.h"
#include "Session.h"
#include "TextPad.h"

namespace kivo {

ListPickerState::ListPickerState(Session& session, ReportPickTarget* reportTarget)
    : m_session(session)
    , m_reportTarget(reportTarget)
{
}

QString ListPickerState::Line(const QString& name, const QString& key)
{
    return PadText(name, NameWidth) + u' ' + PadText(key, KeyWidth);
}

QString ListPickerState::NameOf(const QString& line)
{
    return line.left(NameWidth).trimmed();
}

QString ListPickerState::KeyOf(const QString& line)
{
    return line.right(KeyWidth).trimmed();
}

void ListPickerState::Open()
{
    Recordset& list = m_session.rsList1;
    list.Close();
    lines.clear();
    headings[0].clear();
    headings[1].clear();
    selected = -1;
    m_session.SqlText = QStringLiteral("Select ") + m_session.ListSource;
    TryStep(m_session.errors, [&] {
        list.Open(m_session.SqlText);
        if (list.Bof() && list.Eof())
            return;
        // A source of one column lists names with empty keys rather than failing.
        const bool hasKey = list.FieldCount() > 1;
        for (list.MoveFirst(); !list.Eof(); list.MoveNext())
            lines << Line(list.Text(0), hasKey ? list.Text(1) : QString());
        headings[0] = list.Field(0).name;
        headings[1] = hasKey ? list.Field(1).name : QString();
        selected = 0;
    });
}

void ListPickerState::Choose()
{
    if (selected >= 0 && selected < lines.size()) {
        const QString& line = lines.at(selected);
        const QString name = NameOf(line);
        const QString key = KeyOf(line);
        if (m_session.CallerCode == ReportCaller) {
            if (m_reportTarget)
                m_reportTarget->TakeListPick(name, key);
        } else if (auto* form = qobject_cast<RecordScreen*>(m_session.CurrentForm.data())) {
            const int index = m_session.CallerCode;
            if (index >= 0 && index < form->FieldCount()) {
                form->field(index).hint = name;
                form->SetText(index, key);
                form->NotifyChanged();
            }
        }
    }
    Close();
}

void ListPickerState::Close()
{
    m_session.rsList1.Close();
    closed = true;
}

} // namespace kivo
