#pragma once

#include "DocumentLines.h"
#include "Recordset.h"
#include "ScreenRules.h"

#include <memory>
#include <QColor>
#include <QObject>
#include <QString>
#include <vector>

namespace kivo {

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
    QString shownText; // the stored value as ShowText showed it; null for a new or copied record
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

// The state of an open register or document screen, without any widget: the record engine
// reads and writes it, the screen's window shows it and forwards the user's events. Besides
// the fields it keeps what the screen needs between commands: its browse list and position.
class RecordScreen : public QObject {
    Q_OBJECT
public:
    RecordScreen(QString name, QString caption, QObject* parent = nullptr);
    ~RecordScreen() override;

    QString name; // "KvProduct"
    QString caption; // "Product": window title, left pane and status bar
    QString table; // ScreenTable
    QString detailTable; // DetailTable, empty for registers
    QString screenKey; // command-state key: "Trar", "Tran", "Mast", ...
    int lastField = 0; // LastField
    int report = 0; // the report its Report command opens, 0 for none

    std::vector<Field> fields;
    bool frameEnabled = false; // frmMain: enabled while a record is being edited
    std::unique_ptr<ScreenRules> rules; // what this screen adds to the engine; never null
    std::unique_ptr<DocumentLines> lines; // the line grid of a document screen, null for registers

    // Kept between commands while the screen is open.
    std::unique_ptr<Recordset> list; // rsScreen: the ids of the table's records, in id order
    int recordTotal = 0; // RecordTotal: rows of the list, for the position label
    bool newRecordPending = false; // NewRecordPending: between Add or Xerox and Save or Cancel
    int choiceField = 0; // the field the option button stepped last
    int choicePosition = 0; // and the position it reached

    int FieldCount() const { return int(fields.size()); }
    Field& field(int i) { return fields.at(size_t(i)); }
    const Field& field(int i) const { return fields.at(size_t(i)); }
    // Sets txtField(i) as the program puts a value in (an option, a pick), cut to the field's
    // input limit in characters. A stored value is shown whole with ShowText instead.
    void SetText(int i, const QString& text);
    // Shows a stored value whole, however wide, and remembers it: a field the user did not
    // change is not written back, so showing a record never changes it (an amount shown
    // rounded to two places keeps its stored digits).
    void ShowText(int i, const QString& text)
    {
        Field& f = fields.at(size_t(i));
        f.text = text;
        f.shownText = text;
    }
    // For a new record or a copy: every field counts as changed and is written.
    void ForgetShownTexts()
    {
        for (Field& f : fields)
            f.shownText = QString();
    }
    QString Text(int i) const { return fields.at(size_t(i)).text; }

    // Tells the window to show the state again after the engine changed it.
    void NotifyChanged() { emit changed(); }

signals:
    void changed();
    // The engine asks the window to put the focus on the screen.
    void focusRequested();
};

} // namespace kivo
