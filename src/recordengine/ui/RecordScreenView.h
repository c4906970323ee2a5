#pragma once

#include <QWidget>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;
class QTableView;

namespace kivo {

class ProgramContext;
class RecordEngine;
class RecordScreen;

// The one window of every register screen: it shows a RecordScreen and forwards what the
// user does. Inside the frame frmMain (enabled only while a record is edited) each field
// is a row of caption lblField(i), value box txtField(i), button cmdList(i) and hint
// lblList(i); a screen with many fields is laid out in two columns. Typed text goes
// straight back into the screen's state; the "<" and "+" buttons go to the engine's
// PressListButton. A document screen also shows its line grid, whose "x" removes a line
// while the document is edited. Escape asks the program to run Exit. The customize screen also shows its
// colour samples, which can be clicked. The screen's state must outlive the view.
class RecordScreenView : public QWidget {
    Q_OBJECT
public:
    // The value box colour while it has the focus.
    static QColor FocusColour() { return QColor(255, 192, 192); }

    RecordScreenView(
        ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QWidget* parent = nullptr);

    RecordScreen& screen() const { return m_screen; }
    QGroupBox* frame() const { return m_frame; }
    QLineEdit* valueBox(int i) const { return m_rows.at(size_t(i)).box; }
    QLabel* caption(int i) const { return m_rows.at(size_t(i)).caption; }
    QPushButton* button(int i) const { return m_rows.at(size_t(i)).button; }
    QLabel* hint(int i) const { return m_rows.at(size_t(i)).hint; }
    // Whether the fields stand in two columns.
    bool TwoColumns() const { return m_twoColumns; }
    // grdMain: a document screen's line grid below its fields; nullptr on a register.
    QTableView* lineGrid() const { return m_lines; }

    // Shows the screen's state again (connected to RecordScreen::changed).
    void Refresh();

signals:
    // Escape: the program runs the record command Exit (17).
    void exitRequested();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Row {
        QLabel* caption = nullptr;
        QLineEdit* box = nullptr;
        QPushButton* button = nullptr;
        QLabel* hint = nullptr;
        QWidget* samples = nullptr; // the customize screen's colour samples
    };

    void BuildRows();
    QWidget* BuildSamples(int field);
    void ShowPreview(int i);
    void FocusFirstField();
    void BuildLineGrid();
    // A click, or Enter, on the "x" of a line while the document is edited: RemoveLine,
    // after "Remove Product ?".
    void RemoveLine(int row);
    bool eventFilter(QObject* watched, QEvent* event) override;

    ProgramContext& m_context;
    RecordEngine& m_engine;
    RecordScreen& m_screen;
    QGroupBox* m_frame;
    QFrame* m_line;
    QTableView* m_lines = nullptr;
    std::vector<Row> m_rows;
    bool m_twoColumns = false;
    bool m_appearanceApplied = false;
};

} // namespace kivo
