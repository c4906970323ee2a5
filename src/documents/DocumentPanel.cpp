#include "DocumentPanel.h"

#include "Messages.h"
#include "PanelRules.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"

#include <optional>

namespace kivo {

DocumentPanel::DocumentPanel(
    ProgramContext& context, RecordEngine& engine, RecordScreen& screen, int statusField, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_engine(engine)
    , m_screen(screen)
    , m_statusField(statusField)
{
    m_screen.rules = std::make_unique<PanelRules>(std::move(m_screen.rules), [this] { Close(); });
}

void DocumentPanel::Close()
{
    if (!m_open)
        return;
    m_open = false;
    emit changed();
}

bool DocumentPanel::MayOpen(const QString& saveFirst, const QString& processed) const
{
    if (m_screen.Text(0) == NewRecordText()) {
        m_context.messages.Notice(saveFirst);
        return false;
    }
    if (m_screen.Text(m_statusField) != u"N") {
        m_context.messages.Notice(processed);
        return false;
    }
    return true;
}

bool DocumentPanel::ValidateWithPanel(int lastPanelField)
{
    const int lastField = m_screen.lastField;
    m_screen.lastField = lastPanelField;
    const bool valid = m_engine.ValidateRecord(m_screen);
    m_screen.lastField = lastField;
    return valid;
}

bool DocumentPanel::SaveWithStatus(const QString& status, const std::function<void()>& write)
{
    const QString before = m_screen.Text(m_statusField);
    m_screen.SetText(m_statusField, status);
    bool done = false;
    {
        std::optional<Transaction> unit;
        done = TryStep(m_context.errors, [&] { unit.emplace(m_context.connection); })
            && m_engine.SaveRecord(m_screen) && TryStep(m_context.errors, [&] {
                   if (write)
                       write();
                   unit->Commit();
               });
    }
    if (!done) {
        m_screen.SetText(m_statusField, before);
        m_screen.NotifyChanged();
    }
    return done;
}

bool DocumentPanel::Cancel()
{
    if (!m_open)
        return false;
    if (!m_engine.ValidateRecord(m_screen))
        return false;
    if (!m_context.messages.Ask(QStringLiteral("Confirm Cancelation ?")))
        return false;
    if (!SaveWithStatus(QStringLiteral("C"), {}))
        return false;
    m_engine.ShowRecord(m_screen);
    return true;
}

void DocumentPanel::ReportUnmovedStock(const QStringList& codes)
{
    for (const QString& code : codes)
        m_context.errors.ReportError(DbErrorNumber::NoCurrentRecord, QStringLiteral("SaveDocumentLines"),
            QStringLiteral("No product with the code \"%1\": its stock was not moved").arg(code));
}

} // namespace kivo
