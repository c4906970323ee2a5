#pragma once

#include <functional>
#include <QColor>
#include <QObject>
#include <QString>
#include <vector>

namespace kivo {

class Session;
class ScreenHost;
class RecordScreen;

// One field of a record screen: its design (fixed when the screen is built from the
// schema) and its run-time state (what the window shows). Field i shows column i of the
// screen's table.
struct Field {
    // Design.
    QString caption; // lblField(i)
    QString descriptor; // D, I, F, N, U, UF, V, M, P, S, or empty for plain text
    int maxLength = 0; // input limit; text put in by the program is cut to it too (0: no limit)
    bool readOnly = false; // never saved by the engine (the id, stock kept by posting)
    QString column; // U, UF, V: the column of the uniqueness test; S: the default value
    QString button; // cmdList(i): "" none, "<" steps the options, "+" opens a pick list
    QString pickSource; // for "+": what the list picker lists ("GName, EId From kmGroup")
    bool masked = false; // typed characters shown as "x" (passwords, access code)

    // Run-time state.
    QString text; // txtField(i)
    QString hint; // lblList(i): options "Yes/No", a note, or the name behind an id
    bool typeable = true;
    bool visible = true;
    bool buttonEnabled = true;
    bool buttonVisible = true;
    bool hintVisible = true;
    QString picture; // P: the picture file shown, empty for none
    // Previews of the customize screen: the caption's colours and font (invalid/empty: as designed).
    QColor captionBackground;
    QColor captionForeground;
    QString captionFont;
    int captionFontSize = 0;
};

// The rules a screen adds to the engine at fixed moments: "DL" after a record is shown,
// "DI" after the screen is cleared for a new record, "DS" after a save (the saved row still
// in rsWork), "DX" after a Xerox copy, "FC" when the screen closes.
using ScreenRulesHook = std::function<void(Session&, ScreenHost&, RecordScreen&, const QString& mode)>;

// The state of an open register or document screen, without any widget: the record engine
// reads and writes it, the screen's window shows it and forwards the user's events. It is
// the session's CurrentForm while it is open.
class RecordScreen : public QObject {
    Q_OBJECT
public:
    RecordScreen(QString name, QString caption, QObject* parent = nullptr);

    QString name; // "KvProduct"
    QString caption; // "Product": window title, left pane and status bar
    QString table; // ScreenTable
    QString detailTable; // DetailTable, empty for registers
    QString screenKey; // command-state key: "Trar", "Tran", "Mast", ...
    int lastField = 0; // LastField
    int report = 0; // the report its Report command opens, 0 for none

    std::vector<Field> fields;
    bool frameEnabled = false; // frmMain: enabled while a record is being edited
    ScreenRulesHook rules;

    int FieldCount() const { return int(fields.size()); }
    Field& field(int i) { return fields.at(size_t(i)); }
    const Field& field(int i) const { return fields.at(size_t(i)); }
    // Sets txtField(i), cut to the field's input limit.
    void SetText(int i, const QString& text);
    QString Text(int i) const { return fields.at(size_t(i)).text; }

    // Runs the screen's rules for a mode (no rules: nothing).
    void RunRules(Session& session, ScreenHost& host, const QString& mode);

    // Tells the window to show the state again after the engine changed it.
    void NotifyChanged() { emit changed(); }

signals:
    void changed();
    // The engine asks the window to put the focus on the screen.
    void focusRequested();
};

} // namespace kivo
