#include "ListPickerState.h"

#include "ErrorReporter.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "TextPad.h"

namespace kivo {

ListPickerState::ListPickerState(ProgramContext& context, QString ListSource)
    : m_context(context)
    , m_source(std::move(ListSource))
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
    Recordset list(m_context.connection);
    lines.clear();
    headings[0].clear();
    headings[1].clear();
    selected = -1;
    TryStep(m_context.errors, [&] {
        list.Open(QStringLiteral("Select ") + m_source);
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
        pick = ListPick { KeyOf(line), NameOf(line) };
    }
    Close();
}

void ListPickerState::Close()
{
    closed = true;
}

} // namespace kivo
