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

void CloseStockPeriod(
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
    for (const Group& group : groups) {
        progress(QString::fromUtf16(group.progress));
        for (const char16_t* table : group.tables)
            connection.Execute(QStringLiteral("Delete * From ") + QString::fromUtf16(table));
    }
    transaction.Commit();
}

} // namespace kivo
