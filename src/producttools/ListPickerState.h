#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

class Session;

// The report screen receives a list pick into its own fields (lblList caption and txtRepo1)
// rather than into a record screen's; it implements this and hands itself to the picker.
class ReportPickTarget {
public:
    virtual ~ReportPickTarget() = default;
    virtual void TakeListPick(const QString& name, const QString& key) = 0;
};

// The list picker's state, without any widget: one line per row of "Select " + ListSource,
// the shown value and its key in two padded columns, and the choice that writes the name
// and the key into the caller's fields. CallerCode 99 is the report screen; any other
// value is the field of CurrentForm that receives the key (and, as its hint, the name).
class ListPickerState {
public:
    static constexpr int NameWidth = 28;
    static constexpr int KeyWidth = 16;
    static constexpr int ReportCaller = 99;

    explicit ListPickerState(Session& session, ReportPickTarget* reportTarget = nullptr);

    // Reads the list into rsList1. An empty result leaves no lines and no headings.
    void Open();
    // Tab, Enter, Space or a double click: writes the selected line into the caller's fields
    // and closes. With no lines it only closes.
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

private:
    Session& m_session;
    ReportPickTarget* m_reportTarget;
};

} // namespace kivo
