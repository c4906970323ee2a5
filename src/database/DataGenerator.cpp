#include "DataGenerator.h"

#include "Connection.h"
#include "DocumentWriter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kivo {

namespace {

using namespace generation;

// How a quote or an order ends.
enum class Fate { Open, Done, Cancelled };

struct PlannedDocument {
    int day = 0; // made on this day of the history
    int doneDay = 0; // billed or purchased on this day
    Fate fate = Fate::Open;
};

// Spreads `total` over the days of the history, busier towards the weekend, so that the
// daily and monthly reports show a shape. The counts add up to `total` exactly.
std::vector<qint64> Spread(qint64 total, const Calendar& calendar)
{
    static const double Weekday[7] = { 0.9, 0.9, 1.0, 1.0, 1.2, 1.4, 0.6 }; // Monday first
    const int days = calendar.Days();
    std::vector<double> cumulative(size_t(days) + 1, 0.0);
    for (int d = 0; d < days; ++d)
        cumulative[size_t(d) + 1] = cumulative[size_t(d)] + Weekday[calendar.DayOfWeek(d) - 1];
    std::vector<qint64> counts(size_t(days), 0);
    qint64 given = 0;
    for (int d = 0; d < days; ++d) {
        const qint64 upTo = qint64(std::floor(double(total) * cumulative[size_t(d) + 1] / cumulative.back()));
        counts[size_t(d)] = std::max<qint64>(0, std::min(upTo, total) - given);
        given += counts[size_t(d)];
    }
    counts.back() += total - given;
    return counts;
}

// Documents made on random days with their fate. One whose day of billing or purchase would
// come after today is still open, as a shop's recent quotes and orders wait for an answer.
std::vector<PlannedDocument> PlanDocuments(
    qint64 count, int days, int donePercent, int cancelPercent, int minDelay, int maxDelay, Random& random)
{
    std::vector<PlannedDocument> plans(static_cast<size_t>(count));
    for (PlannedDocument& plan : plans) {
        plan.day = int(random.Below(days));
        const int roll = int(random.Below(100));
        plan.doneDay = plan.day + int(random.Between(minDelay, maxDelay));
        if (roll < cancelPercent)
            plan.fate = Fate::Cancelled;
        else if (roll < cancelPercent + donePercent && plan.doneDay < days)
            plan.fate = Fate::Done;
        else
            plan.fate = Fate::Open;
    }
    std::stable_sort(plans.begin(), plans.end(),
        [](const PlannedDocument& a, const PlannedDocument& b) { return a.day < b.day; });
    return plans;
}

// The days of the history one after the other, each as a shop lives it: goods come in, orders
// and quotes are made, due quotes are billed, the counter sells, and the cash book is written up.
void WriteHistory(DocumentWriter& writer, const Calendar& calendar, qint64 bills, Random& random)
{
    const std::vector<PlannedDocument> quotes
        = PlanDocuments(bills / 10, calendar.Days(), 60, 15, 0, 4, random);
    // Exactly `bills` bills: the quotes billed and the counter's.
    const qint64 billedQuotes = std::count_if(
        quotes.begin(), quotes.end(), [](const PlannedDocument& q) { return q.fate == Fate::Done; });
    const std::vector<qint64> counterBills = Spread(bills - billedQuotes, calendar);
    const std::vector<PlannedDocument> orders = PlanDocuments(
        std::max<qint64>(bills / 40, calendar.Days() / 7), calendar.Days(), 65, 15, 2, 10, random);
    const std::vector<qint64> purchases = Spread(std::max<qint64>(bills / 30, calendar.Days() / 3), calendar);

    // Quotes and orders waiting for their day of billing or purchase.
    std::unordered_map<int, std::vector<DocumentWriter::Quote>> quotesDue;
    std::unordered_map<int, std::vector<DocumentWriter::Order>> ordersDue;
    size_t nextQuote = 0;
    size_t nextOrder = 0;
    for (int day = 0; day < calendar.Days(); ++day) {
        writer.StartDay(day);
        // Goods arrive in the morning: orders due today, then the day's purchases.
        for (const DocumentWriter::Order& order : ordersDue[day])
            writer.PurchaseOrder(order);
        ordersDue.erase(day);
        writer.RestockPurchase();
        for (qint64 p = 0; p < purchases[size_t(day)]; ++p)
            writer.Purchase();
        for (; nextOrder < orders.size() && orders[nextOrder].day == day; ++nextOrder) {
            const PlannedDocument& plan = orders[nextOrder];
            DocumentWriter::Order order = writer.NewOrder();
            if (plan.fate == Fate::Done)
                ordersDue[plan.doneDay].push_back(std::move(order));
            else
                writer.WriteOrder(order, plan.fate == Fate::Cancelled ? 'C' : 'N');
        }
        for (; nextQuote < quotes.size() && quotes[nextQuote].day == day; ++nextQuote) {
            const PlannedDocument& plan = quotes[nextQuote];
            if (plan.fate == Fate::Done) {
                quotesDue[plan.doneDay].push_back(writer.NewQuote(true));
            } else {
                DocumentWriter::Quote quote = writer.NewQuote(false);
                writer.WriteQuote(quote, plan.fate == Fate::Cancelled ? 'C' : 'N');
            }
        }
        for (const DocumentWriter::Quote& quote : quotesDue[day])
            writer.BillQuote(quote);
        quotesDue.erase(day);
        for (qint64 b = 0; b < counterBills[size_t(day)]; ++b)
            writer.CounterBill(b, counterBills[size_t(day)]);
        writer.CloseDay();
    }
}

} // namespace

DataGenerator::DataGenerator(Connection& connection, const Settings& settings)
    : m_connection(connection)
    , m_settings(settings)
{
    // Customer codes repeat after a year, and a history needs a day.
    m_settings.days = std::clamp(m_settings.days, 1, 366);
}

DataGenerator::Counts DataGenerator::Run()
{
    Counts counts;
    Transaction transaction(m_connection);
    ShopState shop(m_connection, m_settings.seed);
    const Calendar calendar(m_settings.today, m_settings.days);

    // A big load goes much faster with room for the tables' pages in memory and with the
    // indexes of the tables that grow most built afterwards.
    const QVariant cacheSize = m_connection.Scalar(QStringLiteral("PRAGMA cache_size"));
    m_connection.ExecuteRaw(QStringLiteral("PRAGMA cache_size=-65536"));
    std::vector<std::unique_ptr<DeferredIndexes>> deferred;
    auto rowCount = [this](const char* table) {
        return m_connection.Scalar(QStringLiteral("Select Count(*) From ") + QLatin1StringView(table))
            .toLongLong();
    };
    if (m_settings.products > rowCount("ktProduct"))
        deferred.push_back(std::make_unique<DeferredIndexes>(m_connection, "ktProduct"));
    if (m_settings.customers > rowCount("ktCustomer"))
        deferred.push_back(std::make_unique<DeferredIndexes>(m_connection, "ktCustomer"));
    if (m_settings.bills > rowCount("ktBillMast"))
        for (const char* table : { "ktBillMast", "ktBillDetl", "ktQuotMast", "ktQuotDetl", "ktPurcMast",
                 "ktPurcDetl", "ktOrdrMast", "ktOrdrDetl", "ktAccounting" })
            deferred.push_back(std::make_unique<DeferredIndexes>(m_connection, table));

    shop.LoadSettings();
    shop.EnsureRegisters(calendar);
    counts.suppliers = shop.AddSuppliers(5 + m_settings.products / 20000, calendar);
    counts.products = shop.PlanProducts(m_settings.products);
    qint64 customers = m_settings.customers;
    // A bill needs a customer: a folder without any gets a few.
    if (m_settings.bills > 0 && rowCount("ktCustomer") == 0)
        customers = std::max<qint64>(customers, 10);
    counts.customers = shop.AddCustomers(customers, calendar);

    DocumentWriter writer(shop, calendar);
    if (m_settings.bills > 0 && shop.ActiveProductCount() > 0)
        WriteHistory(writer, calendar, m_settings.bills, shop.random);
    shop.WriteProducts(calendar);
    for (const std::unique_ptr<DeferredIndexes>& indexes : deferred)
        indexes->Rebuild();
    m_connection.ExecuteRaw(QStringLiteral("PRAGMA cache_size=") + QString::number(cacheSize.toLongLong()));
    counts.bills = writer.bills;
    counts.quotes = writer.quotes;
    counts.purchases = writer.purchases;
    counts.orders = writer.orders;
    counts.entries = writer.entries;
    transaction.Commit();
    return counts;
}

} // namespace kivo
