#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace kivo {

class Connection;

// How a document's lines move the stock columns of ktProduct: a bill line is a sale
// (PSaleQty up, PCloseQty down), a purchase line a purchase (PPurchQty and PCloseQty up);
// quote and order lines move no quantity.
enum class StockMove { None, Sale, Purchase };

// Writes and takes back the stored lines of one document in its detail table (ktBillDetl,
// ktQuotDetl, ktPurcDetl, ktOrdrDetl) and keeps the stock of their products in step, so that
// PCloseQty stays POpenQty + PPurchQty - PSaleQty. Quantities move as whole units, rounded
// half to even. Each product is found by its code through the PCode index and updated by its
// id. Every call is one unit inside the caller's transaction (a savepoint when the caller
// holds one): a failure leaves nothing of the call behind and is thrown as DbError.
//
// This layer knows no window: the record engine's line grid hands the lines over and reports
// what comes back.
class StockPosting {
public:
    // One line as the grid holds it, detail columns 2 to 10. Numbers are the grid's texts; a
    // decimal comma is read as a point.
    struct Line {
        QString marker, code, name, quantity, rate, value, saving, gross, tax;
    };

    StockPosting(Connection& connection, const QDate& today);

    // Takes back the stored lines of document id: undoes `move` for each, dates each line's
    // product today (whatever the move), and deletes the lines. Returns the codes of lines
    // whose product no longer exists; their rows go all the same.
    QStringList TakeBack(const QString& detailTable, qint64 id, StockMove move);
    // Stores `lines` as the lines of document id dated `date` and posts each by `move`,
    // dating its product today; with StockMove::None no product is touched at all. Returns the
    // codes of lines whose product no longer exists; their rows are stored all the same.
    QStringList Write(const QString& detailTable, qint64 id, const QDate& date,
        const std::vector<Line>& lines, StockMove move);

    // What taking back a document's old lines does on screen `screen`: the bill view gives the
    // sale back, the purchase screen takes the purchase back; other screens only date.
    static StockMove TakeBackMove(const QString& screen);
    // What writing lines to `detailTable` from `screen` posts: bill lines from the counter or
    // from a quote being billed are sales; purchase lines from the purchase screen or from an
    // order being purchased are purchases; a quote or order saved as such posts nothing.
    static StockMove PostMove(const QString& screen, const QString& detailTable);

    // A line quantity in whole units, half to even (2.5 gives 2, 3.5 gives 4), held within
    // the range of the stock columns.
    static qint64 Units(double quantity);
    static qint64 Units(const QString& quantity);

private:
    // Moves the product with code `code` by `units` of `move`; false when there is none.
    bool Move(const QString& code, StockMove move, qint64 units);

    Connection& m_connection;
    QDate m_today;
};

} // namespace kivo
