#include "ProductQueryState.h"

#include "ErrorReporter.h"
#include "JetDialect.h"
#include "Money.h"
#include "ProgramContext.h"
#include "Recordset.h"

namespace kivo {

namespace {

QString Amount(const QVariant& value)
{
    if (value.isNull())
        return {};
    const std::optional<Money> amount = Money::FromDouble(value.toDouble());
    return amount ? amount->Format(QStringLiteral("#####0.00")) : value.toString();
}

} // namespace

ProductQueryState::ProductQueryState(ProgramContext& context)
    : m_context(context)
{
}

void ProductQueryState::Pick(const QString& code, const QString& name)
{
    fields[0] = code;
    hints[0] = name;
}

bool ProductQueryState::LookUp()
{
    bool found = false;
    TryStep(m_context.errors, [&] {
        Recordset product(m_context.connection);
        // One product by the PCode index; the first entered when a code is shared.
        product.Open(QStringLiteral("Select EId, PCode, PGId, PName, PSaleRate, PCloseQty, PSpecific, PTax, "
                                    "PActive From ktProduct Where PCode='")
            + SqlQuote(fields[0]) + QStringLiteral("' Order By EId"));
        if (product.Eof())
            return;
        found = true;
        fields[1] = product.Text(QStringLiteral("EId"));
        fields[2] = product.Text(QStringLiteral("PName"));
        fields[3] = product.Text(QStringLiteral("PTax"));
        fields[4] = product.Text(QStringLiteral("PGId"));
        fields[5] = Amount(product.Value(QStringLiteral("PSaleRate")));
        fields[6] = Amount(product.Value(QStringLiteral("PCloseQty")));
        fields[7] = product.Text(QStringLiteral("PActive"));
    });
    if (!found)
        return false;
    hints[4].clear();
    TryStep(m_context.errors, [&] {
        if (fields[4].trimmed().isEmpty())
            return;
        hints[4]
            = m_context.connection
                  .Scalar(QStringLiteral("Select GName From kmGroup Where EId=?"), { fields[4].toLongLong() })
                  .toString();
    });
    return true;
}

} // namespace kivo
