#pragma once

#include "ScreenHost.h"

#include <optional>
#include <QString>
#include <QStringList>

namespace kivo {

class ProgramContext;

// The list picker's state, without any widget: one line per row of "Select " + ListSource,
// the shown value and its key in two padded columns, and the choice, which the caller reads
// as its answer (the key for its field, the name for the field's hint).
class ListPickerState {
public:
    static constexpr int NameWidth = 28;
    static constexpr int KeyWidth = 16;

    // ListSource: what the list shows, "GName, EId From kmGroup".
    ListPickerState(ProgramContext& context, QString ListSource);

    // Reads the list. An empty result leaves no lines and no headings.
    void Open();
    // Tab, Enter, Space or a double click: takes the selected line as the pick and closes.
    // With no lines it only closes.
    void Choose();
    // Escape or "Close": closes without a pick.
    void Close();

    // "name" padded to 28, a blank, "key" padded to 16.
    static QString Line(const QString& name, const QString& key);
    static QString NameOf(const QString& line);
    static QString KeyOf(const QString& line);

    QStringList lines; // lstList
    QString headings[2]; // lblField(0) and lblField(1): the result's first two column names
    int selected = -1;
    bool closed = false;
    std::optional<ListPick> pick; // the answer; none when closed without a choice

private:
    ProgramContext& m_context;
    QString m_source;
};

} // namespace kivo
