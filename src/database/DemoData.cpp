#include "SeedData.h"

#include "Connection.h"
#include "DataGenerator.h"
#include "ShopVocabulary.h"

#include <vector>

namespace kivo {

namespace {

QVariant S(const char* text)
{
    return QVariant(QString::fromUtf8(text));
}

struct DemoProduct {
    const char* name;
    int group; // index into Groups
    const char* unit;
    double purchaseRate;
    double saleRate;
    int opened;
    int reorder;
    char tax; // 'T' taxable, 'N' not
    const char* specific;
    const char* remarks;
    bool active = true;
};

// Opening stock and reorder levels; what was bought and sold comes from the shop's history.
const DemoProduct Products[] = {
    { "Basmati Rice 5kg", 0, "Bag", 8.40, 11.95, 40, 20, 'N', "Long grain", "Fast mover" },
    { "Whole Wheat Flour 2kg", 0, "Bag", 2.10, 2.99, 30, 15, 'N', "Stone ground", "Fast mover" },
    { "Brown Sugar 1kg", 0, "Pack", 1.35, 1.89, 25, 10, 'N', "Cane", "Regular stock" },
    { "Sea Salt 500g", 0, "Pack", 0.45, 0.79, 40, 10, 'N', "Fine", "Regular stock" },
    { "Red Lentils 1kg", 0, "Pack", 1.60, 2.29, 20, 10, 'N', "Split", "Reorder weekly" },
    { "Rolled Oats 1kg", 0, "Box", 1.20, 1.85, 18, 8, 'N', "Wholegrain", "Regular stock" },
    { "Olive Oil 1L", 0, "Pcs", 5.80, 7.99, 12, 6, 'T', "Extra virgin", "Glass bottle" },
    { "Sunflower Oil 2L", 0, "Pcs", 3.90, 5.49, 15, 6, 'T', "Refined", "Regular stock" },
    { "Green Tea 100 Bags", 0, "Box", 2.30, 3.49, 24, 6, 'T', "Sencha", "Slow mover" },
    { "Ground Coffee 250g", 0, "Pack", 3.10, 4.75, 20, 10, 'T', "Medium roast", "Fast mover" },
    { "Spaghetti 500g", 0, "Pack", 0.70, 1.15, 60, 20, 'N', "Durum wheat", "Fast mover" },
    { "Tomato Passata 700g", 0, "Pcs", 0.85, 1.39, 36, 12, 'N', "Glass jar", "Reorder weekly" },
    { "Fresh Milk 1L", 1, "Pcs", 0.62, 0.99, 30, 20, 'N', "Whole", "Daily delivery" },
    { "Salted Butter 250g", 1, "Pcs", 1.70, 2.45, 20, 10, 'N', "Block", "Regular stock" },
    { "Cheddar Cheese 400g", 1, "Pack", 3.20, 4.49, 12, 6, 'N', "Mature", "Regular stock" },
    { "Plain Yoghurt 500g", 1, "Pcs", 0.95, 1.49, 18, 12, 'N', "Natural", "Short shelf life" },
    { "Double Cream 300ml", 1, "Pcs", 1.10, 1.65, 10, 4, 'N', "Fresh", "Short shelf life" },
    { "Free Range Eggs x12", 1, "Box", 2.40, 3.25, 24, 12, 'N', "Large", "Fast mover" },
    { "Mozzarella 125g", 1, "Pack", 0.80, 1.29, 15, 8, 'N', "Ball", "Regular stock" },
    { "Cottage Cheese 300g", 1, "Pcs", 1.05, 1.59, 8, 4, 'N', "Low fat", "Slow mover" },
    { "Dish Soap 750ml", 2, "Pcs", 1.25, 1.99, 24, 6, 'T', "Lemon", "Regular stock" },
    { "Laundry Powder 3kg", 2, "Box", 6.50, 8.99, 10, 4, 'T', "Non-bio", "Heavy item" },
    { "Kitchen Towels x4", 2, "Pack", 2.20, 3.29, 20, 8, 'T', "Two ply", "Bulky" },
    { "Trash Bags 50L x20", 2, "Pack", 1.80, 2.79, 25, 8, 'T', "Drawstring", "Regular stock" },
    { "Sponge Scourers x6", 2, "Pack", 0.90, 1.49, 30, 10, 'T', "Non-scratch", "Slow mover" },
    { "Glass Cleaner 500ml", 2, "Pcs", 1.40, 2.19, 12, 5, 'T', "Spray", "Regular stock" },
    { "Aluminium Foil 30m", 2, "Pcs", 1.95, 2.89, 14, 5, 'T', "30 cm wide", "Regular stock" },
    { "Bleach 1L", 2, "Pcs", 0.75, 1.19, 20, 6, 'T', "Thick", "Keep upright" },
    { "Rubber Gloves Medium", 2, "Pair", 0.95, 1.69, 15, 6, 'T', "Size M", "Regular stock" },
    { "Candles Unscented", 2, "Set", 3.40, 5.50, 8, 2, 'T', "Set of 6", "Discontinued", false },
    { "A4 Copy Paper 500", 3, "Pack", 3.60, 5.25, 20, 10, 'T', "80 gsm", "Fast mover" },
    { "Ballpoint Pens Blue x10", 3, "Pack", 1.10, 1.99, 30, 10, 'T', "Medium tip", "Regular stock" },
    { "Spiral Notebook A5", 3, "Pcs", 0.85, 1.49, 40, 10, 'T', "Ruled", "School season" },
    { "Pencils HB x12", 3, "Box", 1.30, 2.20, 20, 6, 'T', "With eraser", "Regular stock" },
    { "Stapler Desktop", 3, "Pcs", 3.75, 5.99, 6, 2, 'T', "Full strip", "Slow mover" },
    { "Sticky Notes 76mm x6", 3, "Pack", 2.15, 3.45, 12, 4, 'T', "Yellow", "Reorder now" },
    { "Highlighters x4", 3, "Set", 1.70, 2.75, 15, 5, 'T', "Assorted", "Regular stock" },
    { "Envelopes C5 x50", 3, "Box", 2.90, 4.40, 10, 3, 'T', "Self seal", "Slow mover" },
    { "Scissors 21cm", 3, "Pcs", 1.60, 2.65, 8, 3, 'T', "Steel", "Regular stock" },
    { "Glue Stick 40g", 3, "Pcs", 0.60, 1.05, 25, 8, 'T', "Washable", "School season" },
    { "Cotton Socks x3", 4, "Pack", 2.80, 4.99, 20, 8, 'T', "Size 39-42", "Regular stock" },
    { "Work Gloves Leather", 4, "Pair", 4.20, 6.95, 10, 3, 'T', "One size", "Slow mover" },
    { "Rain Poncho", 4, "Pcs", 2.50, 4.25, 12, 3, 'T', "Clear", "Seasonal", false },
    { "Wool Beanie", 4, "Pcs", 3.10, 5.49, 15, 5, 'T', "Charcoal", "Winter line" },
    { "Canvas Apron", 4, "Pcs", 4.60, 7.50, 6, 2, 'T', "Navy", "Slow mover" },
    { "Flip Flops Size 42", 4, "Pair", 2.20, 3.99, 10, 4, 'T', "Black", "Summer line" },
    { "T-Shirt White L", 4, "Pcs", 3.00, 5.95, 20, 6, 'T', "Cotton", "Regular stock" },
    { "Thermal Vest M", 4, "Pcs", 5.40, 8.95, 8, 3, 'T', "Grey", "Reorder now" },
    { "Baseball Cap", 4, "Pcs", 2.75, 4.95, 12, 4, 'T', "Adjustable", "Regular stock" },
    { "Pyjama Set Cotton M", 4, "Set", 8.50, 13.95, 6, 2, 'T', "Striped", "Gift line" },
};

struct DemoCustomer {
    const char* name;
    const char* address;
    const char* city;
    const char* zip;
    const char* phone;
    const char* email;
    const char* remarks;
};

const DemoCustomer Customers[] = {
    { "Anna Berg", "12 Station Road", "Millbrook", "MB1 4RT", "0711200101", "anna.berg@example.com",
        "Regular" },
    { "Ravi Menon", "4 Orchard Lane", "Millbrook", "MB2 7HA", "0711200102", "ravi.menon@example.com",
        "Pays by card" },
    { "Clara Novak", "88 High Street, Flat 3", "Eastfield", "EF3 1QD", "0711200103", "clara.n@example.com",
        "Weekly order" },
    { "Tomas Weller", "7 Mill Close", "Eastfield", "EF1 9LS", "0711200104", "t.weller@example.com",
        "Regular" },
    { "Grace Okafor", "21 Kings Avenue", "Millbrook", "MB4 2JP", "0711200105", "grace.okafor@example.com",
        "Wholesale buyer" },
    { "Lena Fischer", "3 Church Walk", "Ashby", "AS2 6EW", "0711200106", "lena.f@example.com",
        "Prefers email" },
    { "Omar Haddad", "56 Park Terrace", "Ashby", "AS1 3NB", "0711200107", "omar.haddad@example.com",
        "Regular" },
    { "Sofia Rossi", "19 Bridge Street", "Millbrook", "MB1 8GZ", "0711200108", "sofia.rossi@example.com",
        "Loyalty card" },
    { "Jonas Lindqvist", "2 Willow Court", "Eastfield", "EF2 5TT", "0711200109", "jonas.l@example.com",
        "Occasional" },
    { "Mei Chen", "140 London Road", "Millbrook", "MB3 0XY", "0711200110", "mei.chen@example.com",
        "Pays by wallet" },
};

struct DemoSupplier {
    const char* company;
    const char* person;
    const char* address;
    const char* city;
    const char* zip;
    const char* phone;
    const char* fax;
    const char* email;
    const char* website;
    const char* code;
    const char* remarks;
};

const DemoSupplier Suppliers[] = {
    { "Greenfield Foods Wholesale", "Peter Hale", "Unit 4, Riverside Estate", "Eastfield", "EF9 2AA",
        "01632 960101", "01632 960102", "orders@greenfield.example", "www.greenfield.example", "SUP-GRF",
        "Delivers Mondays" },
    { "Meadow Dairy Co-operative", "Ruth Dale", "Meadow Farm, Long Lane", "Ashby", "AS7 4DF", "01632 960201",
        "01632 960202", "sales@meadowdairy.example", "www.meadowdairy.example", "SUP-MDC", "Daily delivery" },
    { "Brightline Household Supply", "Ivan Petrov", "9 Trade Park", "Millbrook", "MB8 1CP", "01632 960301",
        "01632 960302", "trade@brightline.example", "www.brightline.example", "SUP-BHS", "Monthly account" },
    { "Paperworks Office Supplies", "Nadia Kerr", "31 Mill Street", "Millbrook", "MB2 3PW", "01632 960401",
        "01632 960402", "hello@paperworks.example", "www.paperworks.example", "SUP-POS", "Free delivery" },
    { "Fairweather Textiles", "Sam Brook", "Dock Road 5", "Eastfield", "EF6 8NT", "01632 960501",
        "01632 960502", "orders@fairweather.example", "www.fairweather.example", "SUP-FWT",
        "Seasonal ranges" },
};

const char* const State = "Westshire";
const char* const Country = "United Kingdom";

qint64 InsertMaster(Connection& connection, const char* table, QVariantList values)
{
    // The database numbers master rows itself.
    values.prepend(QVariant());
    InsertRow(connection, QString::fromLatin1(table), values);
    return connection.LastInsertId();
}

} // namespace

void SeedDemo(Connection& connection, const QDate& today)
{
    // The shop opened four months ago and has three months of history; every date is
    // counted back from today so that the demo looks the same whenever it is created.
    const QDate opened = today.addDays(-120);
    Transaction transaction(connection);

    std::vector<qint64> groupIds;
    for (const ShopVocabulary::GroupSample& g : ShopVocabulary::Groups)
        groupIds.push_back(
            InsertMaster(connection, "kmGroup", { opened, S(g.name), g.savePercent, S(g.remarks) }));

    int n = 0;
    for (const DemoProduct& p : Products) {
        const QString code = QStringLiteral("P%1").arg(1001 + n);
        const QString location = QStringLiteral("Aisle %1 Shelf %2").arg(p.group + 1).arg(n % 4 + 1);
        // Products were entered over the first weeks, before the history; the history moves
        // their stock and their transaction date.
        const QDate entered = opened.addDays(n % 20);
        InsertMaster(connection, "ktProduct",
            { entered, code, S(p.name), groupIds[size_t(p.group)], S(p.unit), p.purchaseRate, p.saleRate,
                p.opened, 0, 0, p.opened, p.reorder, QString(QLatin1Char(p.tax)), entered, S(p.specific),
                location, p.active ? S("Y") : S("N"), S(p.remarks) });
        ++n;
    }

    n = 0;
    for (const DemoCustomer& c : Customers) {
        // The code as the counter makes it: "C", month and day of entry, the phone's last four digits.
        const QDate entered = today.addDays(-100 + 9 * n);
        const QString phone = S(c.phone).toString();
        const QString code = u'C' + entered.toString(QStringLiteral("MMdd")) + phone.right(4);
        InsertMaster(connection, "ktCustomer",
            { entered, S(c.name), S(c.address), S(c.city), S(State), S(Country), S(c.zip), phone, S(c.email),
                code, S("Y"), S(c.remarks) });
        ++n;
    }

    for (const DemoSupplier& s : Suppliers)
        InsertMaster(connection, "ktSupplier",
            { opened, S(s.company), S(s.person), S(s.address), S(s.city), S(State), S(Country), S(s.zip),
                S(s.phone), S(s.fax), S(s.email), S(s.website), S(s.code), S("Y"), S(s.remarks) });

    InsertMaster(connection, "kmPaytype", { opened, S("Card"), S("Debit or credit card") });
    InsertMaster(connection, "kmPaytype", { opened, S("Wallet"), S("Phone wallet") });
    InsertMaster(connection, "kmPaytype", { opened, S("Voucher"), S("Gift voucher") });

    InsertMaster(connection, "kmAccount", { opened, S("Cash Box"), 150.0, S("Counter float") });
    InsertMaster(connection, "kmAccount", { opened, S("Bank"), 2500.0, S("Current account") });
    InsertMaster(connection, "kmAccount", { opened, S("Petty Cash"), 50.0, S("Small expenses") });

    // Two cashiers: sales mode, so they see the counter and not the back office.
    InsertMaster(connection, "kaUser",
        { opened, S("Maria"), SeedSecret("sales1", PasswordHash::LetterCase::Ignore), S("first"), S("S"),
            S("Maria Lind"), S("5 Elm Row, Millbrook"), S("0711300201"), S("maria.lind@example.com"),
            S("Morning shift") });
    InsertMaster(connection, "kaUser",
        { opened.addDays(30), S("Tom"), SeedSecret("sales2", PasswordHash::LetterCase::Ignore), S("second"),
            S("S"), S("Tom Ashworth"), S("18 Quay Street, Ashby"), S("0711300202"),
            S("tom.ashworth@example.com"), S("Evening shift") });

    // Taxes, so that the bills and the tax columns of the reports show them.
    connection.Execute(QStringLiteral("Update kaPreference Set PTaxPer1=5, PTaxPer2=2"));

    // About eight bills a day over the three months, with their quotes, orders, purchases and
    // cash book.
    DataGenerator::Settings history;
    history.today = today;
    history.days = 91;
    history.bills = 720;
    DataGenerator(connection, history).Run();

    transaction.Commit();
}

} // namespace kivo
