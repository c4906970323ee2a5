#pragma once

#include <memory>
#include <QString>

namespace kivo {

class LineGrid;
class ProgramContext;
class RecordScreen;

// The line grid of a document screen (quote, order, bill, purchase) as the record engine
// sees it: emptied for a new document, shown with the record, recounted before an edit, saved
// and deleted with the document inside the document's transaction. Register screens have
// none. Saving and deleting keep the stock of the lines' products in step: bill lines are
// sales and purchase lines purchases, as StockPosting rules by screen and detail table.
//
// A line whose product no longer exists is reported through the error reporter and the rest
// goes on: its row is written or deleted all the same, and no stock moves for it.
class DocumentLines {
public:
    DocumentLines();
    virtual ~DocumentLines();
    DocumentLines(const DocumentLines&) = delete;
    DocumentLines& operator=(const DocumentLines&) = delete;

    // The grid the document's window shows; owned here, alive as long as the screen.
    LineGrid& Grid() const { return *m_grid; }

    // SetupLineGrid: an empty grid (one blank line) with the running totals at 0.
    virtual void Setup(ProgramContext&, RecordScreen&);
    // The stored lines of document id, read after the document's own fields are shown.
    virtual void Show(ProgramContext& context, RecordScreen& screen, const QString& id);
    // RecountLines: the running totals of the lines on screen, before Modify and Xerox.
    virtual void Recount(ProgramContext&, RecordScreen&);
    // Takes back the stored lines of document id (giving back a bill's sale, taking back a
    // purchase; dating the products on every screen) and removes them.
    virtual void Delete(ProgramContext& context, RecordScreen& screen, const QString& id);
    // SaveDocumentLines "Save": takes back the stored lines of document id, then writes the
    // lines on screen as its lines and posts them. A document with no line is left alone.
    virtual void Save(ProgramContext& context, RecordScreen& screen, const QString& id);
    // True when the document has no line: the save then lists "Products" as missing.
    virtual bool IsEmpty(const RecordScreen&) const;

private:
    std::unique_ptr<LineGrid> m_grid;
};

} // namespace kivo
