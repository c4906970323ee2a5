#include "ProductSelectState.h"

#include "ErrorReporter.h"
#include "LineGrid.h"
#include "Messages.h"
#include "ProductLine.h"
#include "ProgramContext.h"
#include "Settings.h"

namespace kivo {

namespace {

// A typed number: "12,5" reads 12.5; nothing for text that is no number.
std::optional<Money> Number(const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return Money::FromText(text);
}

} // namespace

ProductSelectState::ProductSelectState(
    ProgramContext& context, LineGrid& grid, int callerCode, bool counter, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_grid(grid)
    , m_callerCode(callerCode)
    , m_counter(counter)
    , m_list(context.connection, context.errors, true)
{
}

void ProductSelectState::Open()
{
    TryStep(m_context.errors, [&] { m_groups.Load(m_context.connection); });
    TryStep(m_context.errors, [&] { m_list.Open(); });
    m_rateLocked = m_context.preferences.PRatEdit == u"N";
    m_step = Step::P;
    PCode.clear();
    Rate.clear();
    Qty = m_counter ? QStringLiteral("1") : QString();
    m_focus = Focus::List;
    emit changed();
}

void ProductSelectState::ChooseListItem(int row)
{
    if (row < 0 || row >= m_list.rowCount())
        return;
    PCode = m_list.CodeAt(row);
    m_step = Step::P;
    RunStep();
}

void ProductSelectState::RunStep()
{
    switch (m_step) {
    case Step::P:
        FindProduct();
        break;
    case Step::Q:
        CheckQuantity();
        break;
    case Step::R:
        AddLine();
        break;
    case Step::A:
        AddAtOnce();
        break;
    }
    emit changed();
}

void ProductSelectState::Notice(const QString& text)
{
    m_context.messages.Notice(text);
}

void ProductSelectState::FindProduct()
{
    const QString code = PCode.trimmed();
    if (code.isEmpty()) {
        m_focus = Focus::List;
        return;
    }
    m_product.reset();
    TryStep(m_context.errors, [&] { m_product = ProductLookup(m_context.connection).ActiveByCode(code); });
    if (!m_product) {
        Notice(QStringLiteral("Invalid Product !"));
        PCode.clear();
        m_focus = Focus::List;
        return;
    }
    Rate = m_product->RateFor(m_callerCode).ToText();
    m_step = Step::Q;
    m_focus = Focus::Qty;
}

void ProductSelectState::CheckQuantity()
{
    if (PCode.trimmed().isEmpty() || !m_product) {
        m_step = Step::P;
        m_focus = Focus::List;
        return;
    }
    const std::optional<Money> quantity = Number(Qty);
    if (!quantity || quantity->IsZero()) {
        Notice(QStringLiteral("Invalid Qty !"));
        Qty.clear();
        m_focus = Focus::Qty;
        return;
    }
    if (m_counter && m_context.preferences.PStkChek == u"Y" && *quantity > m_product->PCloseQty) {
        Notice(QStringLiteral("Available Stock- ") + m_product->PCloseQty.ToText());
        Qty.clear();
        m_focus = Focus::Qty;
        return;
    }
    m_step = Step::R;
    m_focus = Focus::Rate;
}

void ProductSelectState::AddLine()
{
    // The code box was changed after the product was found: start again from the code.
    if (!m_product || m_product->PCode.compare(PCode.trimmed(), Qt::CaseInsensitive) != 0) {
        m_step = Step::P;
        PCode.clear();
        m_focus = Focus::List;
        return;
    }
    const std::optional<Money> quantity = Number(Qty);
    if (!quantity) {
        m_step = Step::Q;
        Qty.clear();
        m_focus = Focus::Qty;
        return;
    }
    const std::optional<Money> rate = Number(Rate);
    if (!rate) {
        Rate.clear();
        m_focus = Focus::Rate;
        return;
    }
    const Preferences& shop = m_context.preferences;
    // The stock was checked against the typed quantity already, on the counter only.
    ProductLineRules rules = ProductLineRules::FromPreferences(QString(), shop.PGrpSave, shop.PAmtRoun);
    ProductLineResult result;
    TryStep(m_context.errors, [&] {
        result = AddProductLine(m_grid, *m_product, *quantity, *rate, m_callerCode, rules, m_groups);
    });
    if (result.Added())
        emit lineAdded(result.row);
    ResetForNext();
}

void ProductSelectState::AddAtOnce()
{
    m_product.reset();
    TryStep(m_context.errors,
        [&] { m_product = ProductLookup(m_context.connection).ActiveByCode(PCode.trimmed()); });
    if (!m_product) {
        Notice(QStringLiteral("Invalid Product !"));
        PCode.clear();
        m_step = Step::P;
        m_focus = Focus::List;
        return;
    }
    const Preferences& shop = m_context.preferences;
    ProductLineRules rules = ProductLineRules::FromPreferences(
        m_counter ? shop.PStkChek : QString(), shop.PGrpSave, shop.PAmtRoun);
    const Money quantity = Number(Qty).value_or(Money(1));
    const Money rate = Number(Rate).value_or(m_product->RateFor(m_callerCode));
    ProductLineResult result;
    TryStep(m_context.errors,
        [&] { result = AddProductLine(m_grid, *m_product, quantity, rate, m_callerCode, rules, m_groups); });
    if (!result.refusal.isEmpty())
        Notice(result.refusal);
    if (result.Added())
        emit lineAdded(result.row);
    ResetForNext();
}

void ProductSelectState::ResetForNext()
{
    PCode.clear();
    Qty = m_counter ? QStringLiteral("1") : QString();
    Rate.clear();
    m_product.reset();
    m_focus = Focus::List;
    m_step = Step::P;
}

} // namespace kivo
