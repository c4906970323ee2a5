#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace kivo {

class ProgramContext;
class RecordEngine;
class RecordScreen;

// What the quote's billing panel and the order's purchase panel share: a panel over a
// document's screen state that opens on a saved, open document, is checked together with the
// document, and turns it into another document by saving it with a new status and writing the
// other document as one unit. Showing any document closes the panel.
class DocumentPanel : public QObject {
    Q_OBJECT
public:
    bool IsOpen() const { return m_open; }
    // Products can be added and lines removed only while the panel is closed.
    bool LinesEditable() const { return !m_open; }
    // Hides the panel (a document shown or cleared).
    void Close();

signals:
    void changed();
    void focusRequested(int field);

protected:
    // Has the screen close the panel whenever a document is shown or cleared. The screen must
    // outlive this.
    DocumentPanel(ProgramContext& context, RecordEngine& engine, RecordScreen& screen, int statusField,
        QObject* parent);

    // False, after `saveFirst` on a new document or `processed` on one no longer open.
    bool MayOpen(const QString& saveFirst, const QString& processed) const;
    // The document's own checks, run with the panel's fields up to `lastPanelField` as well.
    bool ValidateWithPanel(int lastPanelField);
    // The document saved with `status` as it stands on the screen, and then `write` (which may
    // be empty), all of it or none of it; on a failure the screen keeps its old status.
    bool SaveWithStatus(const QString& status, const std::function<void()>& write);
    // "Cancel X": the document's own checks, "Confirm Cancelation ?", and the document saved as
    // cancelled. True when cancelled.
    bool Cancel();
    // The lines whose product no longer exists, so their stock was not moved.
    void ReportUnmovedStock(const QStringList& codes);

    ProgramContext& m_context;
    RecordEngine& m_engine;
    RecordScreen& m_screen;
    bool m_open = false;

private:
    int m_statusField;
};

} // namespace kivo
