#pragma once

#include "ReportCatalogue.h"
#include "ReportLayout.h"

#include <memory>

namespace kivo {

class Connection;
class ProgramContext;
class ReportRows;
class TableRows;

// What a report's template receives besides its rows: the named parameters of each kind of
// report, and the coupon sheet that Coupon Print prints instead of its rows.
class ReportInputs {
public:
    // pEntName and pFilter.
    static ReportLayout::Parameters Standard(const ProgramContext& context, const QString& filterText);
    // The enterprise lines and the preference row's bill texts, read by column position; the
    // logo style and remarks flag for the bill, quote and gift receipt prints, the bill name for
    // Bill Print (L). No pFilter: a document print names its document itself. Throws DbError
    // when the preference row cannot be read or the quantity decimals are not a whole number.
    static ReportLayout::Parameters Document(ProgramContext& context, int code);
    // The standard parameters with the two tax rates and labels. Throws DbError as Document.
    static ReportLayout::Parameters Tax(ProgramContext& context, const QString& filterText);

    // Every row of `coupons` CouponCopies times over, columns 0 to 8 under the coupon table's
    // column names, held in memory only: printing coupons stores nothing.
    static std::unique_ptr<TableRows> CouponSheet(Connection& connection, const ReportRows& coupons);
    static constexpr int CouponCopies = 24;
};

} // namespace kivo
