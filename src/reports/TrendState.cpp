#include "TrendState.h"

#include "DateText.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "ValueText.h"

namespace kivo {

namespace {

// The line table and its columns for each mode.
struct ModeColumns {
    const char16_t* table;
    const char16_t* description;
    const char16_t* quantity;
    const char16_t* value;
    const char16_t* product;
};

const ModeColumns Columns[] = {
    { u"ktBillDetl", u"BPDesc", u"Sum(BQty)", u"Sum(BGross)", u"a.BPId" },
    { u"ktPurcDetl", u"PPDesc", u"Sum(PQty)", u"Sum(PGross)", u"a.PPId" },
};

QString GridText(const QVariant& value)
{
    // Totals read as the other grids show amounts: two decimals.
    if (value.typeId() == QMetaType::Double)
        return FormatNumber(value.toDouble());
    return ValueText(value);
}

} // namespace

TrendState::TrendState(ProgramContext& context)
    : m_context(context)
{
}

void TrendState::Open()
{
    cmbTrend = Sales;
    SetStart(m_context.Today());
    SetEnd(m_context.Today());
}

void TrendState::SetStart(const QDate& date)
{
    monSel1 = date;
    txtTrend1 = ShortDate(date);
}

void TrendState::SetEnd(const QDate& date)
{
    monSel2 = date;
    txtTrend2 = ShortDate(date);
}

QString TrendState::Criterion(const QDate& start, const QDate& end)
{
    return QStringLiteral("Between ") + SqlDate(start) + QStringLiteral(" And ") + SqlDate(end)
        + QStringLiteral(" ) ");
}

QString TrendState::GridStatement(int grid, Mode mode, const QString& criterion)
{
    const ModeColumns& m = Columns[mode == Purchase ? 1 : 0];
    const QString D = QString::fromUtf16(m.description);
    const QString Q = QString::fromUtf16(m.quantity);
    const QString V = QString::fromUtf16(m.value);
    const QString T = QString::fromUtf16(m.table);
    const QString P = QString::fromUtf16(m.product);
    const QString& C = criterion;
    switch (grid) {
    case 0:
        return QStringLiteral("Select Top 10 ") + D + QStringLiteral(" As PName, ") + Q
            + QStringLiteral(" As PQty") + QStringLiteral(" From ") + T
            + QStringLiteral(" Where 1=1 And ( EDate ") + C + QStringLiteral(" Group By ") + D
            + QStringLiteral(" Order by ") + Q + QStringLiteral(" Desc");
    case 1:
        return QStringLiteral("Select Top 10 ") + D + QStringLiteral(" As PName, ") + V
            + QStringLiteral(" As PGross") + QStringLiteral(" From ") + T
            + QStringLiteral(" Where 1=1 And ( EDate ") + C + QStringLiteral(" Group By ") + D
            + QStringLiteral(" Order by ") + V + QStringLiteral(" Desc");
    default: {
        const bool byQuantity = grid == 2;
        const QString total = byQuantity ? Q : V;
        return QStringLiteral("Select Top 5 GName, ") + total
            + (byQuantity ? QStringLiteral(" As GQty From ") : QStringLiteral(" As GGross From ")) + T
            + QStringLiteral(" a,") + QStringLiteral(" ktProduct b, kmGroup c Where ") + P
            + QStringLiteral("=b.PCode And b.PGId=c.EId And ") + QStringLiteral(" ( a.EDate ") + C
            + QStringLiteral(" Group By GName Order By ") + total + QStringLiteral(" Desc");
    }
    }
}

bool TrendState::View(const std::function<void(int grid)>& filled)
{
    if (monSel1 > monSel2) {
        m_context.messages.Notice(QStringLiteral("Invalid Range !"));
        return false;
    }
    CriteriaSql = Criterion(monSel1, monSel2);
    for (int i = 0; i < GridCount; ++i) {
        Grid& grid = m_grids[size_t(i)];
        grid = Grid();
        SqlText = GridStatement(i, cmbTrend, CriteriaSql);
        Recordset rows(m_context.connection);
        TryStep(m_context.errors, [&] {
            rows.Open(SqlText);
            for (int c = 0; c < rows.FieldCount(); ++c)
                grid.headings << rows.Field(c).name;
            for (; !rows.Eof(); rows.MoveNext()) {
                QStringList texts;
                QVariantList values;
                for (int c = 0; c < rows.FieldCount(); ++c) {
                    values << rows.Value(c);
                    texts << GridText(values.last());
                }
                grid.texts.push_back(texts);
                grid.values.push_back(values);
            }
        });
        if (filled)
            filled(i);
    }
    return true;
}

} // namespace kivo
