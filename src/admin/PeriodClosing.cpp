#include "PeriodClosing.h"

#include "Connection.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "StartupFiles.h"

#include <QFileInfo>

namespace kivo {

PeriodClosing::PeriodClosing(ProgramContext& context)
    : m_context(context)
    , m_closingName(ClosingFileName(context.locations, context.Today()))
{
    txtClose = QStringLiteral("!!! CLOSING TO BE DONE AT BEGINNING OF DAY !!!\n"
                              "Stock can be closed Monthly/Quarterly/Yearly\n"
                              "--------------------------------------------\n"
                              "* Moves Close Qty to Open Qty *\n"
                              "* Zero-out Sale Qty,Purchase Qty *\n"
                              "* Remove Billing,Quote,Purchase,Order,Accounting *");
    lblField[0] = QStringLiteral("CLOSE DB:") + m_closingName;
}

QString PeriodClosing::ClosingFile() const
{
    return m_context.locations.ArchiveFolder + m_closingName;
}

void PeriodClosing::Opened()
{
    m_context.messages.Notice(QStringLiteral("Access-Code Required !"));
}

void PeriodClosing::Ok(const std::function<bool()>& askAccess, const std::function<void()>& shown)
{
    Messages& messages = m_context.messages;
    const QString closingFile = ClosingFile();
    const QString archive = TodaysArchiveFile(m_context.locations, m_context.Today());
    if (QFileInfo::exists(closingFile)) {
        messages.Notice(QStringLiteral("Closing Already Done !"));
        return;
    }
    if (!messages.Ask(QStringLiteral("All Users Logged Out ?"))
        || !messages.Ask(QStringLiteral("Confirm Closing ?")))
        return;
    if (!askAccess())
        return;
    if (!messages.Ask(QStringLiteral("Are You Sure ?")))
        return;
    const auto show = [&](const QString& text) {
        lblField[1] = text;
        if (shown)
            shown();
    };
    progressVisible = true;
    show(QStringLiteral("Processing..."));
    // All or nothing: a failure is reported and the period stays open, whole.
    if (!TryStep(m_context.errors, [&] { CloseStockPeriod(m_context.connection, m_context.Today(), show); }))
        return;
    messages.Notice(QStringLiteral("Closing Done !"));
    // The copy taken at the start of the day becomes the archive of the closed period.
    TryStep(m_context.errors, [&] {
        if (!QFileInfo::exists(archive))
            throw DbError(ErrorNumber::FileNotFound, QStringLiteral("Kivo Closing"),
                QStringLiteral("The day's archive copy '%1' was not found").arg(archive));
        RenameOver(archive, closingFile);
    });
    messages.Notice(QStringLiteral("Shutting Down...\nDB Refresh Required !"));
    endProgram = true;
}

namespace {

void RollAndDelete(
    Connection& connection, const QDate& today, const std::function<void(const QString&)>& progress)
{
    Transaction transaction(connection);
    progress(QStringLiteral("Products.."));
    const int products = connection.Execute(
        QStringLiteral(
            "Update ktProduct Set POpenQty = PCloseQty, PPurchQty = 0, PSaleQty = 0, PTranDate = ?"),
        { today });
    progress(QStringLiteral("Products..") + QString::number(products));
    struct Group {
        const char16_t* progress;
        std::initializer_list<const char16_t*> tables;
    };
    const Group groups[] = {
        { u"Processing Billing.....", { u"ktBillMast", u"ktBillDetl" } },
        { u"Processing Quotes......", { u"ktQuotMast", u"ktQuotDetl" } },
        { u"Processing Purchases...", { u"ktPurcMast", u"ktPurcDetl" } },
        { u"Processing Orders......", { u"ktOrdrMast", u"ktOrdrDetl" } },
        { u"Processing Accounting..", { u"ktAccounting" } },
    };
    // With no condition the engine empties each table and its indexes whole instead of
    // removing the rows one by one.
    for (const Group& group : groups) {
        progress(QString::fromUtf16(group.progress));
        for (const char16_t* table : group.tables)
            connection.Execute(QStringLiteral("Delete * From ") + QString::fromUtf16(table));
    }
    transaction.Commit();
}

} // namespace

void CloseStockPeriod(
    Connection& connection, const QDate& today, const std::function<void(const QString&)>& progress)
{
    // Two engine settings for the closing only, which cost most of its time on a large shop:
    // - secure deletion would overwrite every page the deletions free, a write of the whole
    //   document history. The freed pages stay encrypted with the database's key, the same
    //   history is kept whole in the closed period's archive copy, and the next start's
    //   compaction drops the free pages from the file;
    // - the column rules would be checked again on every product row although the roll writes
    //   only the row's own closing quantity (under the same whole-number rule), zeros and a
    //   date.
    // The previous settings come back whatever happens, so that no later statement runs
    // without its rules.
    const bool secureDelete = connection.Scalar(QStringLiteral("PRAGMA secure_delete")).toInt() != 0;
    const auto restore = [&] {
        connection.ExecuteRaw(QStringLiteral("PRAGMA ignore_check_constraints = OFF; PRAGMA secure_delete = ")
            + (secureDelete ? QStringLiteral("ON") : QStringLiteral("OFF")));
    };
    connection.ExecuteRaw(QStringLiteral("PRAGMA secure_delete = OFF; PRAGMA ignore_check_constraints = ON"));
    try {
        RollAndDelete(connection, today, progress);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

} // namespace kivo
