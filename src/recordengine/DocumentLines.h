#pragma once

#include <QString>

namespace kivo {

class ProgramContext;
class RecordScreen;

// The line grid of a document screen (quote, order, bill, purchase) as the record engine
// sees it: shown with the record, recounted before an edit, saved and deleted with the
// document inside the document's transaction. Register screens have none. This base keeps
// no lines: the counter's line grid and its stock posting take its place.
class DocumentLines {
public:
    virtual ~DocumentLines() = default;

    // The lines of document id, read after the document's own fields are shown.
    virtual void Show(ProgramContext&, RecordScreen&, const QString&) { }
    // The running totals of the lines on screen, before Modify and Xerox.
    virtual void Recount(ProgramContext&, RecordScreen&) { }
    // Removes the stored lines of document id (reversing their stock where lines move it).
    virtual void Delete(ProgramContext&, RecordScreen&, const QString&) { }
    // Writes the lines on screen as the lines of document id.
    virtual void Save(ProgramContext&, RecordScreen&, const QString&) { }
    // True when the document has no line: the save then lists "Products" as missing.
    virtual bool IsEmpty(const RecordScreen&) const { return false; }
};

} // namespace kivo
