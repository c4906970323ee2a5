#pragma once

#include <functional>
#include <QDate>
#include <QString>

namespace kivo {

class Connection;
class ProgramContext;

// The period closing's state: the notice, "CLOSE DB:" with the name the closed period is
// archived under, the progress text, and the work behind the start button.
class PeriodClosing {
public:
    explicit PeriodClosing(ProgramContext& context);

    // On opening: "Access-Code Required !".
    void Opened();
    // The start button: the checks and questions in order, the access code, then the closing.
    // `askAccess` shows the access-code prompt; `shown` paints the progress text.
    void Ok(const std::function<bool()>& askAccess, const std::function<void()>& shown = {});

    QString ClosingFile() const; // ArchiveFolder + the closing name

    QString txtClose; // the notice
    QString lblField[2]; // "CLOSE DB:" + name; progress
    bool progressVisible = false;
    bool endProgram = false; // the closing is done: the program ends

private:
    ProgramContext& m_context;
    QString m_closingName;
};

// Carries every product's closing quantity over as its opening quantity, zeroes the period's
// purchase and sale quantities, dates the products `today` and deletes every bill, quote,
// purchase, order and accounting entry: all in one transaction, so that a failure or a crash
// leaves the period open and whole. `progress` receives the texts as the work goes on.
// Throws DbError (after rolling back).
void CloseStockPeriod(
    Connection& connection, const QDate& today, const std::function<void(const QString&)>& progress);

} // namespace kivo
