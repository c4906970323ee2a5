#include "DocumentLines.h"

#include "DbError.h"
#include "ErrorNumbers.h"
#include "LineGrid.h"
#include "ProgramContext.h"
#include "RecordScreen.h"
#include "StockPosting.h"

namespace kivo {

namespace {

// A document id as the engine hands it over: the text of the list's EId.
qint64 DocumentId(const QString& id)
{
    bool ok = false;
    const qint64 value = id.trimmed().toLongLong(&ok);
    if (!ok)
        throw DbError(DbErrorNumber::NoCurrentRecord, QStringLiteral("DocumentLines"),
            QStringLiteral("No document to hold the lines (id \"%1\")").arg(id));
    return value;
}

// Each line whose product is gone: reported, and the routine goes on.
void ReportMissing(ProgramContext& context, const QStringList& codes)
{
    for (const QString& code : codes)
        context.errors.ReportError(DbErrorNumber::NoCurrentRecord, QStringLiteral("SaveDocumentLines"),
            QStringLiteral("No product with the code \"%1\": its stock was not moved").arg(code));
}

} // namespace

DocumentLines::DocumentLines()
    : m_grid(std::make_unique<LineGrid>())
{
}

DocumentLines::~DocumentLines() = default;

void DocumentLines::Setup(ProgramContext&, RecordScreen&)
{
    m_grid->Setup();
}

void DocumentLines::Show(ProgramContext& context, RecordScreen& screen, const QString& id)
{
    m_grid->Load(context.connection, screen.detailTable, DocumentId(id));
}

void DocumentLines::Recount(ProgramContext&, RecordScreen&)
{
    m_grid->Recount();
}

void DocumentLines::Delete(ProgramContext& context, RecordScreen& screen, const QString& id)
{
    if (m_grid->IsEmpty())
        return;
    StockPosting posting(context.connection, context.Today());
    ReportMissing(context,
        posting.TakeBack(screen.detailTable, DocumentId(id), StockPosting::TakeBackMove(screen.name)));
}

void DocumentLines::Save(ProgramContext& context, RecordScreen& screen, const QString& id)
{
    if (m_grid->IsEmpty())
        return;
    const qint64 document = DocumentId(id);
    // The lines carry the date of the saved document row, as the master holds it now.
    const QVariant stored = context.connection.Scalar(
        QStringLiteral("Select EDate From %1 Where EId=?").arg(screen.table), { document });
    const QDate date = stored.toDate();
    StockPosting posting(context.connection, context.Today());
    // Both steps are one unit: the old lines come back only if the new ones go in.
    Transaction unit(context.connection);
    QStringList missing
        = posting.TakeBack(screen.detailTable, document, StockPosting::TakeBackMove(screen.name));
    missing += posting.Write(screen.detailTable, document, date, m_grid->Lines(),
        StockPosting::PostMove(screen.name, screen.detailTable));
    unit.Commit();
    ReportMissing(context, missing);
}

bool DocumentLines::IsEmpty(const RecordScreen&) const
{
    return m_grid->IsEmpty();
}

} // namespace kivo
