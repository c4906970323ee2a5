#include "ShopState.h"

#include "SeedData.h"
#include "ShopVocabulary.h"

#include <cmath>
#include <unordered_map>

namespace kivo::generation {

namespace Words = ShopVocabulary;

namespace {

// Runs a query and hands each row's statement to `row`.
template <typename RowFunction> void ForEachRow(Connection& connection, const char* sql, RowFunction row)
{
    const StatementHandle statement = connection.Prepare(QString::fromLatin1(sql));
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
        row(statement.get());
    if (rc != SQLITE_DONE)
        connection.ThrowEngineError(rc, Connection::ErrorSource());
}

QByteArray ColumnText(sqlite3_stmt* statement, int column)
{
    return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
        sqlite3_column_bytes(statement, column));
}

qint32 Hundredths(double amount)
{
    return qint32(std::llround(amount * 100.0));
}

} // namespace

ShopState::ShopState(Connection& connection, quint64 seed)
    : connection(connection)
    , random(seed)
    , m_seed(seed)
{
}

qint64 ShopState::NextId(const char* table)
{
    // Ids are never reused: the engine's sequence remembers deleted rows too.
    const QString name = QLatin1StringView(table);
    const qint64 highest
        = connection.Scalar(QStringLiteral("Select IfNull(Max(EId), 0) From ") + name).toLongLong();
    const qint64 sequence
        = connection
              .Scalar(
                  QStringLiteral("Select IfNull(Max(seq), 0) From sqlite_sequence Where name=?"), { name })
              .toLongLong();
    return std::max(highest, sequence) + 1;
}

void ShopState::LoadSettings()
{
    ForEachRow(connection,
        "SELECT PAmtRoun, PTaxPer1, PTaxPer2, PGrpSave, PDisPerc, PDisEdit FROM kaPreference ORDER BY EId "
        "LIMIT 1",
        [this](sqlite3_stmt* s) {
            // Amounts are kept in hundredths, so two digits is the finest rounding there is.
            amountDigits = std::clamp(ColumnText(s, 0).trimmed().toInt(), 0, 2);
            tax1Percent = sqlite3_column_double(s, 1);
            tax2Percent = sqlite3_column_double(s, 2);
            groupSavings = ColumnText(s, 3).trimmed().toUpper() == "Y";
            // The bill keeps its discount percent as a whole number.
            discountPercent = int(std::lround(sqlite3_column_double(s, 4)));
            discountEditable = ColumnText(s, 5).trimmed().toUpper() != "N";
        });
}

void ShopState::EnsureRegisters(const Calendar& calendar)
{
    const qint64 opened = calendar.Opening() - 30;
    ForEachRow(connection, "SELECT EId, GSavePer FROM kmGroup ORDER BY EId", [this](sqlite3_stmt* s) {
        m_groups.push_back({ sqlite3_column_int64(s, 0), sqlite3_column_double(s, 1) });
    });
    if (m_groups.empty()) {
        BoundStatement group(connection, "kmGroup", 5);
        qint64 id = NextId("kmGroup");
        for (const Words::GroupSample& g : Words::Groups) {
            group.Int(id).Date(opened).Text(g.name).Real(g.savePercent).Text(g.remarks).Write();
            m_groups.push_back({ id++, g.savePercent });
        }
    }

    ForEachRow(connection, "SELECT PName FROM kmPaytype ORDER BY EId",
        [this](sqlite3_stmt* s) { m_payTypes.push_back(ColumnText(s, 0)); });
    if (m_payTypes.empty()) {
        BoundStatement payType(connection, "kmPaytype", 4);
        qint64 id = NextId("kmPaytype");
        const char* const payTypes[][2] = { { "Card", "Debit or credit card" }, { "Wallet", "Phone wallet" },
            { "Voucher", "Gift voucher" } };
        for (const auto& p : payTypes) {
            payType.Int(id++).Date(opened).Text(p[0]).Text(p[1]).Write();
            m_payTypes.push_back(p[0]);
        }
    }

    ForEachRow(connection, "SELECT EId FROM kmAccount ORDER BY EId",
        [this](sqlite3_stmt* s) { m_accounts.push_back(sqlite3_column_int64(s, 0)); });
    if (m_accounts.empty()) {
        BoundStatement account(connection, "kmAccount", 5);
        qint64 id = NextId("kmAccount");
        struct {
            const char* name;
            double opening;
            const char* remarks;
        } const accounts[] = { { "Cash Box", 150.0, "Counter float" }, { "Bank", 2500.0, "Current account" },
            { "Petty Cash", 50.0, "Small expenses" } };
        for (const auto& a : accounts) {
            account.Int(id).Date(opened).Text(a.name).Real(a.opening).Text(a.remarks).Write();
            m_accounts.push_back(id++);
        }
    }

    std::vector<qint64> users;
    ForEachRow(connection, "SELECT EId, UMode FROM kaUser ORDER BY EId", [&](sqlite3_stmt* s) {
        const qint64 id = sqlite3_column_int64(s, 0);
        users.push_back(id);
        const QByteArray mode = ColumnText(s, 1).trimmed().toUpper();
        (mode == "S" ? m_cashiers : m_buyers).push_back(id);
    });
    // The counter is worked by sales users; a shop without any gets two.
    if (m_cashiers.empty()) {
        BoundStatement user(connection, "kaUser", 11);
        qint64 id = NextId("kaUser");
        for (int n = 1; n <= 2; ++n) {
            const QByteArray number = QByteArray::number(n);
            user.Int(id)
                .Date(opened)
                .Text("Cashier" + number)
                .Text(SeedSecret(QByteArray("sales" + number).constData(), PasswordHash::LetterCase::Ignore)
                          .toUtf8())
                .Text("counter")
                .Text("S");
            user.Text("Cashier " + number).Text("-").Text("-").Text("-").Text("Counter shift").Write();
            m_cashiers.push_back(id++);
        }
    }
    if (m_buyers.empty())
        m_buyers = users.empty() ? m_cashiers : users;
}

qint64 ShopState::AddSuppliers(qint64 wanted, const Calendar& calendar)
{
    ForEachRow(connection, "SELECT EId FROM ktSupplier ORDER BY EId",
        [this](sqlite3_stmt* s) { m_suppliers.push_back(sqlite3_column_int64(s, 0)); });
    const qint64 existing = qint64(m_suppliers.size());
    if (existing >= wanted)
        return 0;
    BoundStatement supplier(connection, "ktSupplier", 16);
    qint64 id = NextId("ktSupplier");
    for (qint64 n = existing; n < wanted; ++n, ++id) {
        const Words::PersonSample person = Words::Person(m_seed ^ quint64(id) << 20, id);
        const QByteArray company = Words::Company(n);
        const QByteArray phone = "01632 " + QByteArray::number(960000 + id % 40000);
        const QByteArray web = "www." + company.left(company.indexOf(' ')).toLower() + ".example";
        const QByteArray code = "SUP-" + QByteArray::number(id).rightJustified(5, '0');
        supplier.Int(id).Date(calendar.Opening() - 30).Text(company).Text(person.name).Text(person.address);
        supplier.Text(person.city).Text(person.state).Text(Words::Country).Text(person.zip).Text(phone);
        supplier.Text(phone)
            .Text("orders@" + web.mid(4))
            .Text(web)
            .Text(code)
            .Text("Y")
            .Text("Weekly delivery");
        supplier.Write();
        m_suppliers.push_back(id);
    }
    return wanted - existing;
}

qint64 ShopState::PlanProducts(qint64 count)
{
    std::unordered_map<qint64, qint16> groupIndex;
    for (size_t g = 0; g < m_groups.size(); ++g)
        groupIndex[m_groups[g].eid] = qint16(g);

    ForEachRow(connection,
        "SELECT EId, PCode, PName, PGId, PPurchRate, PSaleRate, PCloseQty, POrderQty, PTax, PActive "
        "FROM ktProduct ORDER BY EId",
        [&](sqlite3_stmt* s) {
            Product p;
            p.eid = sqlite3_column_int64(s, 0);
            const auto group = groupIndex.find(sqlite3_column_int64(s, 3));
            p.group = group == groupIndex.end() ? -1 : group->second;
            p.purchaseRate = Hundredths(sqlite3_column_double(s, 4));
            p.saleRate = Hundredths(sqlite3_column_double(s, 5));
            p.available = qint32(sqlite3_column_int64(s, 6));
            p.reorder = qint32(sqlite3_column_int64(s, 7));
            p.tax = ColumnText(s, 8).trimmed().toUpper() == "T" ? 'T' : 'N';
            p.active = ColumnText(s, 9).trimmed().toUpper() == "Y";
            p.existing = true;
            m_existingCodes.push_back(ColumnText(s, 1));
            m_existingNames.push_back(ColumnText(s, 2));
            products.push_back(p);
        });

    const qint64 firstId = NextId("ktProduct");
    products.reserve(products.size() + size_t(count));
    for (qint64 n = 0; n < count; ++n) {
        Product p;
        p.eid = firstId + n;
        p.group = qint16(random.Below(qint64(m_groups.size())));
        const Words::ProductSample sample = Words::Product(Kind(p), m_seed ^ quint64(p.eid));
        p.purchaseRate = qint32(50 + random.Skewed(5950));
        // Sale prices end in 9, a quarter to three fifths above cost.
        const qint64 marked = p.purchaseRate * random.Between(125, 160) / 100;
        p.saleRate = qint32((marked + 9) / 10 * 10 - 1);
        p.opening = qint32(random.Between(5, 60));
        p.available = p.opening;
        p.reorder = qint32(random.Between(2, 15));
        p.tax = sample.taxable ? 'T' : 'N';
        p.active = random.Chance(98);
        products.push_back(p);
    }
    for (size_t i = 0; i < products.size(); ++i)
        if (products[i].active)
            m_active.push_back(qint32(i));
    return count;
}

int ShopState::Kind(const Product& product) const
{
    return product.group < 0 ? 0 : product.group % Words::Kinds;
}

QByteArray ShopState::Code(qint32 product) const
{
    const Product& p = products[size_t(product)];
    if (p.existing)
        return m_existingCodes[size_t(product)];
    char code[16];
    std::snprintf(code, sizeof code, "P%07lld", static_cast<long long>(p.eid));
    return QByteArray(code);
}

QByteArray ShopState::Name(qint32 product) const
{
    const Product& p = products[size_t(product)];
    if (p.existing)
        return m_existingNames[size_t(product)];
    return Words::Product(Kind(p), m_seed ^ quint64(p.eid)).name;
}

double ShopState::SavePercent(qint32 product) const
{
    const Product& p = products[size_t(product)];
    return p.group < 0 ? 0.0 : m_groups[size_t(p.group)].savePercent;
}

qint64 ShopState::AddCustomers(qint64 count, const Calendar& calendar)
{
    ForEachRow(connection, "SELECT EId FROM ktCustomer ORDER BY EId",
        [this](sqlite3_stmt* s) { m_customers.push_back(sqlite3_column_int64(s, 0)); });
    m_newCustomers = count;
    m_newCustomersBy.assign(size_t(calendar.Days()), 0);
    if (count == 0)
        return 0;
    m_firstNewCustomer = NextId("ktCustomer");
    // Customers come in over the history, or over a longer span when there are many: the
    // counter's customer code ("C", month and day of entry, the phone's last four digits)
    // stays unique while no day brings more than 9,000.
    const qint64 span = std::clamp<qint64>((count + 8999) / 9000, calendar.Days(), 366);
    const qint64 first = calendar.Today() - span + 1;
    BoundStatement customer(connection, "ktCustomer", 13);
    for (qint64 n = 0; n < count; ++n) {
        const qint64 id = m_firstNewCustomer + n;
        const qint64 entered = first + n * span / count;
        const int historyDay = int(entered - calendar.Julian(0));
        if (historyDay < calendar.Days())
            ++m_newCustomersBy[size_t(std::max(historyDay, 0))];
        // Distinct from every phone of earlier runs: the number grows with the id.
        char phone[24];
        std::snprintf(phone, sizeof phone, "07%08lld", static_cast<long long>(20000000 + id % 80000000));
        const QDate date = QDate::fromJulianDay(entered);
        char code[32];
        std::snprintf(code, sizeof code, "C%02d%02d%s", date.month(), date.day(), phone + 6);
        customer.Int(id).Date(entered);
        // One in five came in at the counter, where only the phone is asked for.
        if (random.Chance(20)) {
            for (int c = 0; c < 6; ++c)
                customer.Text("-");
            customer.Text(phone).Text("-").Text(code).Text("Y").Text("-");
        } else {
            const Words::PersonSample p = Words::Person(m_seed ^ quint64(id), id);
            customer.Text(p.name).Text(p.address).Text(p.city).Text(p.state).Text(Words::Country).Text(p.zip);
            customer.Text(phone).Text(p.email).Text(code).Text(random.Chance(97) ? "Y" : "N").Text(p.remarks);
        }
        customer.Write();
    }
    for (size_t d = 1; d < m_newCustomersBy.size(); ++d)
        m_newCustomersBy[d] += m_newCustomersBy[d - 1];
    return count;
}

qint64 ShopState::PickCustomer(int day)
{
    const qint64 existing = qint64(m_customers.size());
    qint64 eligible = existing + m_newCustomersBy[size_t(day)];
    if (eligible == 0)
        eligible = CustomerCount();
    const qint64 n = random.Skewed(eligible);
    return n < existing ? m_customers[size_t(n)] : m_firstNewCustomer + (n - existing);
}

void ShopState::Queue(qint32 product)
{
    Product& p = products[size_t(product)];
    if (!p.queued && p.available <= p.reorder) {
        p.queued = true;
        reorderQueue.push_back(product);
    }
}

void ShopState::Sell(qint32 product, qint32 quantity, int day)
{
    Product& p = products[size_t(product)];
    p.sold += quantity;
    p.available -= quantity;
    p.lastDay = day;
    Queue(product);
}

void ShopState::Promise(qint32 product, qint32 quantity)
{
    products[size_t(product)].available -= quantity;
    Queue(product);
}

void ShopState::Deliver(qint32 product, qint32 quantity, int day)
{
    Product& p = products[size_t(product)];
    p.sold += quantity;
    p.lastDay = day;
}

void ShopState::Receive(qint32 product, qint32 quantity, int day)
{
    Product& p = products[size_t(product)];
    p.purchased += quantity;
    p.available += quantity;
    p.lastDay = day;
}

void ShopState::WriteProducts(const Calendar& calendar)
{
    BoundStatement insert(connection, "ktProduct", 19);
    BoundStatement update(connection,
        QStringLiteral("UPDATE ktProduct SET PPurchQty=IfNull(PPurchQty,0)+?, PSaleQty=IfNull(PSaleQty,0)+?, "
                       "PCloseQty=IfNull(PCloseQty,0)+?, PTranDate=Max(IfNull(PTranDate,''),?) WHERE EId=?"),
        5);
    qint64 newIndex = 0;
    qint64 newCount = 0;
    for (const Product& p : products)
        newCount += p.existing ? 0 : 1;
    for (size_t i = 0; i < products.size(); ++i) {
        const Product& p = products[i];
        if (p.existing) {
            if (p.lastDay >= 0)
                update.Int(p.purchased)
                    .Int(p.sold)
                    .Int(p.purchased - p.sold)
                    .Date(calendar.Julian(p.lastDay))
                    .Int(p.eid)
                    .Write();
            continue;
        }
        // Entered over the sixty days before the history; a product never moved keeps its
        // entry date as its last transaction, as a product saved on its screen does.
        const qint64 entered = calendar.Opening() + 1 + newIndex++ * 60 / newCount;
        const Words::ProductSample sample = Words::Product(Kind(p), m_seed ^ quint64(p.eid));
        char location[32];
        std::snprintf(
            location, sizeof location, "Aisle %d Shelf %d", int(p.eid % 12) + 1, int(p.eid / 12 % 6) + 1);
        insert.Int(p.eid)
            .Date(entered)
            .Text(Code(qint32(i)))
            .Text(sample.name)
            .Int(m_groups[size_t(p.group)].eid);
        insert.Text(sample.unit).Money(p.purchaseRate).Money(p.saleRate).Int(p.opening).Int(p.purchased);
        insert.Int(p.sold)
            .Int(p.opening + p.purchased - p.sold)
            .Int(p.reorder)
            .Text(p.tax == 'T' ? "T" : "N");
        insert.Date(p.lastDay >= 0 ? calendar.Julian(p.lastDay) : entered)
            .Text(sample.specific)
            .Text(location);
        insert.Text(p.active ? "Y" : "N").Text(Words::ProductRemarks(quint64(p.eid) ^ m_seed)).Write();
    }
}

} // namespace kivo::generation
