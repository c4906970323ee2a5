#include "ReportInputs.h"

#include "DbError.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "ReportRows.h"

#include <limits>

namespace kivo {

namespace {

// Preference columns by position.
enum PreferenceColumn {
    PHeader = 2,
    PMessage1 = 3,
    PMessage2 = 4,
    PFooter = 5,
    PTax1Name = 12,
    PTax2Name = 14,
    PBilName = 19,
    PBilRema = 20,
};

// The preference row's texts: a Null reads as "".
class PreferenceRow {
public:
    explicit PreferenceRow(Connection& connection)
        : m_rs(connection)
    {
        m_rs.Open(QStringLiteral("Select * From kaPreference"));
        if (m_rs.Eof())
            throw DbError(DbErrorNumber::NoCurrentRecord, QStringLiteral("KvReport"),
                QStringLiteral("The preference row is missing."));
    }
    QString Text(int column) const { return m_rs.Text(column); }

private:
    Recordset m_rs;
};

qlonglong QuantityDecimals(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw DbError(ErrorNumber::TypeMismatch, QStringLiteral("KvReport"),
            QStringLiteral("The quantity decimals preference \"%1\" is not a whole number.").arg(text));
    return value;
}

} // namespace

ReportLayout::Parameters ReportInputs::Standard(const ProgramContext& context, const QString& filterText)
{
    return { { QStringLiteral("pEntName"), context.login.EnterpriseShort },
        { QStringLiteral("pFilter"), filterText } };
}

ReportLayout::Parameters ReportInputs::Document(ProgramContext& context, int code)
{
    const PreferenceRow row(context.connection);
    ReportLayout::Parameters p;
    p.insert(QStringLiteral("pEntName"), context.login.EnterpriseShort);
    p.insert(QStringLiteral("pHeader"), row.Text(PHeader));
    p.insert(QStringLiteral("pMessage1"), row.Text(PMessage1));
    p.insert(QStringLiteral("pMessage2"), row.Text(PMessage2));
    p.insert(QStringLiteral("pFooter"), row.Text(PFooter));
    p.insert(QStringLiteral("pTax1Name"), row.Text(PTax1Name));
    p.insert(QStringLiteral("pTax2Name"), row.Text(PTax2Name));
    p.insert(QStringLiteral("pEntLin1"), context.login.EnterpriseName);
    p.insert(QStringLiteral("pEntLin2"), context.login.EnterpriseAddress);
    p.insert(QStringLiteral("pQtyDec"), QuantityDecimals(context.preferences.PQtyDeci));
    // The customer-facing prints carry the logo and, when the shop wants it, the remarks.
    if (code == 56 || code == 57 || code == 80 || code == 60) {
        p.insert(QStringLiteral("pEntLogo"), context.preferences.PBilLogo);
        p.insert(QStringLiteral("pBilRema"), row.Text(PBilRema));
    }
    if (code == 57)
        p.insert(QStringLiteral("pBilName"), row.Text(PBilName));
    return p;
}

ReportLayout::Parameters ReportInputs::Tax(ProgramContext& context, const QString& filterText)
{
    const PreferenceRow row(context.connection);
    ReportLayout::Parameters p = Standard(context, filterText);
    p.insert(QStringLiteral("pTaxPer1"), context.preferences.PTaxPer1);
    p.insert(QStringLiteral("pTaxPer2"), context.preferences.PTaxPer2);
    p.insert(QStringLiteral("pTax1Name"), row.Text(PTax1Name));
    p.insert(QStringLiteral("pTax2Name"), row.Text(PTax2Name));
    return p;
}

std::unique_ptr<TableRows> ReportInputs::CouponSheet(Connection& connection, const ReportRows& coupons)
{
    // The coupon table's columns, from a statement that selects no row.
    Recordset shape(connection);
    shape.Open(QStringLiteral("Select * From ktCoupon Where 1=2"));
    QStringList names;
    for (int c = 0; c < shape.FieldCount(); ++c)
        names << shape.Field(c).name;
    const int copied = std::min({ 9, int(names.size()), coupons.ColumnCount() });

    std::vector<QVariantList> rows;
    rows.reserve(size_t(coupons.RowCount()) * CouponCopies);
    for (int r = 0; r < coupons.RowCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < copied; ++c)
            row << coupons.Value(r, c);
        for (int copy = 0; copy < CouponCopies; ++copy)
            rows.push_back(row);
    }
    return std::make_unique<TableRows>(names, std::move(rows));
}

} // namespace kivo
