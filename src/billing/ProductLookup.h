#pragma once

#include "Money.h"

#include <optional>
#include <QString>

namespace kivo {

class Connection;

// The columns of one product that a document line needs.
struct ProductRecord {
    qint64 EId = 0;
    QString PName;
    QString PCode;
    std::optional<qint64> PGId; // none when the product has no group
    Money PPurchRate;
    Money PSaleRate;
    Money PCloseQty;
    QString PTax;

    // The rate a line offers: the sale rate on the sale side (CallerCode 1: billing and
    // quotes), the purchase rate on the purchase side.
    Money RateFor(int callerCode) const { return callerCode == 1 ? PSaleRate : PPurchRate; }
};

// Finds one product by its code through the PCode index, with one prepared statement kept by
// the connection: the counter's scans and the product selection never read the product table
// to find a product. The code is compared as the database compares text (without regard to
// letter case); when several products share a code, the first entered (lowest EId) is the one.
class ProductLookup {
public:
    explicit ProductLookup(Connection& connection);

    // Any product, active or not (the counter finds inactive products too). Nothing for an
    // unknown or blank code. A database failure is thrown as DbError.
    std::optional<ProductRecord> ByCode(const QString& code) const;
    // Only a product whose PActive is "Y" (the product selection lists active products only).
    std::optional<ProductRecord> ActiveByCode(const QString& code) const;

private:
    std::optional<ProductRecord> Find(const QString& code, bool activeOnly) const;

    Connection& m_connection;
};

} // namespace kivo
