#include "Schema.h"

#include "Connection.h"
#include "PasswordHash.h"
#include "SqlFunctions.h"

namespace kivo {

namespace {

ColumnDef L(const char* name, const char* label, const char* code = "")
{
    return { QString::fromLatin1(name), ColumnKind::Long, 0, QString::fromLatin1(label),
        QString::fromLatin1(code) };
}
ColumnDef N(const char* name, const char* label, const char* code = "F", int width = 0)
{
    return { QString::fromLatin1(name), ColumnKind::Number, width, QString::fromLatin1(label),
        QString::fromLatin1(code) };
}
ColumnDef D(const char* name, const char* label, const char* code = "D")
{
    return { QString::fromLatin1(name), ColumnKind::Date, 0, QString::fromLatin1(label),
        QString::fromLatin1(code) };
}
ColumnDef T(const char* name, int width, const char* label, const char* code = "")
{
    return { QString::fromLatin1(name), ColumnKind::Text, width, QString::fromLatin1(label),
        QString::fromLatin1(code) };
}
ColumnDef F(const char* name, const char* label)
{
    return { QString::fromLatin1(name), ColumnKind::Flag, 1, QString::fromLatin1(label), QString() };
}

QStringList Names(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* n : names)
        list << QString::fromLatin1(n);
    return list;
}

// The four detail tables share one layout and differ only in their column prefix.
TableDef DetailTable(const char* name, char prefix)
{
    const QString p(QLatin1Char { prefix });
    auto col = [&](const char* suffix, ColumnKind kind, int width, const char* header) {
        return ColumnDef { p + QString::fromLatin1(suffix), kind, width, QString::fromLatin1(header),
            QString() };
    };
    TableDef table;
    table.name = QString::fromLatin1(name);
    table.master = false;
    table.columns = {
        { QStringLiteral("EId"), ColumnKind::Long, 0, QString(), QString() },
        { QStringLiteral("EDate"), ColumnKind::Date, 0, QString(), QString() },
        col("Del", ColumnKind::Text, 1, "Del"),
        col("PId", ColumnKind::Text, 15, "PCode"),
        col("PDesc", ColumnKind::Text, 25, "PName"),
        col("Qty", ColumnKind::Number, 0, "Qty"),
        col("Rate", ColumnKind::Number, 0, "Rate"),
        col("Value", ColumnKind::Number, 0, "Value"),
        col("Saving", ColumnKind::Number, 0, "Saving"),
        col("Gross", ColumnKind::Number, 0, "Gross"),
        col("Tax", ColumnKind::Text, 1, "Tax"),
    };
    table.indexes = QStringList { QStringLiteral("EId"), p + QStringLiteral("PId") };
    return table;
}

std::vector<TableDef> BuildTables()
{
    std::vector<TableDef> t;
    t.push_back({ QStringLiteral("ktProduct"), QStringLiteral("KvProduct"), true,
        { L("EId", "Product Id"), D("EDate", "Entry Date"), T("PCode", 15, "Product Code", "U"),
            T("PName", 25, "Product Name"), L("PGId", "Group", "M"), T("PUom", 5, "Unit"),
            N("PPurchRate", "Purchase Rate"), N("PSaleRate", "Sale Rate"), L("POpenQty", "Open Qty", "I"),
            L("PPurchQty", "Purchase Qty", "I"), L("PSaleQty", "Sale Qty", "I"),
            L("PCloseQty", "Close Qty", "I"), L("POrderQty", "Reorder Qty", "I"), T("PTax", 1, "Taxable"),
            D("PTranDate", "Transaction"), T("PSpecific", 20, "Specifics"),
            T("PLocation", 20, "Rack Location"), F("PActive", "Active"), T("PRemarks", 20, "Remarks") },
        Names({ "PCode", "PName", "PGId" }) });
    t.push_back({ QStringLiteral("ktCustomer"), QStringLiteral("KvCustomer"), true,
        { L("EId", "Customer Id"), D("EDate", "Entry Date"), T("CName", 20, "Name"),
            T("CAddress", 50, "Address"), T("CCity", 20, "City"), T("CState", 20, "State"),
            T("CCountry", 20, "Country"), T("CZipCode", 10, "Zip Code"), T("CPhone", 10, "Phone", "UF"),
            T("CEmail", 50, "Email Id"), T("CCode", 20, "Customer Code", "U"), F("CActive", "Active"),
            T("CRemarks", 20, "Remarks") },
        Names({ "CPhone", "CCode", "CName" }) });
    t.push_back({ QStringLiteral("ktSupplier"), QStringLiteral("KvSupplier"), true,
        { L("EId", "Supplier Id"), D("EDate", "Entry Date"), T("SCompany", 50, "Company", "U"),
            T("SPerson", 20, "Person"), T("SAddress", 50, "Address"), T("SCity", 20, "City"),
            T("SState", 20, "State"), T("SCountry", 20, "Country"), T("SZipCode", 10, "Zip Code"),
            T("SPhone", 20, "Phone"), T("SFax", 20, "Fax Number"), T("SEmail", 50, "Email Address"),
            T("SWebsite", 50, "Website"), T("SCode", 20, "Supplier Code", "U"), F("SActive", "Active"),
            T("SRemarks", 20, "Remarks") },
        Names({ "SCompany", "SCode" }) });
    t.push_back({ QStringLiteral("ktCoupon"), QStringLiteral("KvCoupon"), true,
        { L("EId", "Coupon Id"), D("EDate", "Entry Date"), T("CReference", 20, "Reference", "U"),
            T("CHead", 20, "Coupon Header"), T("CLine1", 30, "Coupon Line1"), T("CLine2", 30, "Coupon Line2"),
            T("CLine3", 30, "Coupon Line3"), T("CValid", 10, "Validity"), T("CRemarks", 20, "Remarks") },
        Names({ "CReference" }) });
    t.push_back({ QStringLiteral("ktBillMast"), QStringLiteral("KvBill"), true,
        { L("EId", "Bill Id"), D("EDate", "Entry Date"), L("BUId", "User", "M"),
            T("BReceipt", 20, "Receipt#"), L("BCId", "Customer", "M"), L("BDisPer", "Discount%"),
            L("BItems", "Items", "I"), N("BGross", "Gross Amt"), N("BDiscount", "Discount"),
            N("BTotal", "Total Amt"), N("BTax1", "Tax1"), N("BTax2", "Tax2"), N("BNett", "Nett Amt"),
            N("BCash", "Cash Pay"), N("BCredit", "Credit Pay"), N("BOther", "Other Pay"),
            N("BMisc", "Misc Pay"), N("BReturn", "Return Amt"), T("BOType", 10, "OType"),
            T("BMType", 10, "MType"), T("BRemarks", 20, "Remarks") },
        Names({ "EDate", "BCId", "BUId" }) });
    t.push_back({ QStringLiteral("ktQuotMast"), QStringLiteral("KvQuote"), true,
        { L("EId", "Quote Id"), D("EDate", "Entry Date"), L("QUId", "User", "M"),
            T("QRef", 20, "Reference#", "U"), L("QCId", "Customer", "M"), L("QDisPer", "Discount%", "I"),
            L("QItems", "Items", "I"), N("QGross", "Gross Amt"), N("QDiscount", "Discount"),
            N("QTotal", "Total Amt"), N("QTax1", "Tax1"), N("QTax2", "Tax2"), N("QNett", "Nett Amt"),
            T("QStatus", 1, "Quote Status"), T("QRemarks", 20, "Remarks") },
        Names({ "QRef", "EDate", "QCId" }) });
    t.push_back({ QStringLiteral("ktPurcMast"), QStringLiteral("KvPurchase"), true,
        { L("EId", "Purchase Id"), D("EDate", "Entry Date"), L("PUId", "User", "M"),
            T("PReceipt", 20, "Receipt#", "U"), L("PSId", "Supplier", "M"), L("PItems", "Items", "I"),
            N("PGross", "Gross Amt"), N("PTax", "Tax Paid"), N("PNett", "Nett Paid"),
            T("PPayType", 6, "Paid Type"), T("PRemarks", 20, "Remarks") },
        Names({ "PReceipt", "EDate" }) });
    t.push_back({ QStringLiteral("ktOrdrMast"), QStringLiteral("KvOrder"), true,
        { L("EId", "Order Id"), D("EDate", "Entry Date"), L("OUId", "User", "M"),
            T("ORef", 20, "Reference#", "U"), L("OSId", "Supplier", "M"), L("OItems", "Items", "I"),
            N("OGross", "Gross Amt"), T("OStatus", 1, "Order Status"), T("ORemarks", 20, "Remarks") },
        Names({ "ORef", "EDate" }) });
    t.push_back(DetailTable("ktBillDetl", 'B'));
    t.push_back(DetailTable("ktQuotDetl", 'Q'));
    t.push_back(DetailTable("ktPurcDetl", 'P'));
    t.push_back(DetailTable("ktOrdrDetl", 'O'));
    t.push_back({ QStringLiteral("ktAccounting"), QStringLiteral("KvAccounting"), true,
        { L("EId", "Accounting Id"), D("EDate", "Entry Date"), L("AAId", "Account", "M"),
            T("ADMode", 6, "Deposit Mode"), N("ADAmount", "Deposit Amt"), T("ADDetail", 10, "Deposit Detail"),
            T("AWMode", 6, "Withdraw Mode"), N("AWAmount", "Withdraw Amt"),
            T("AWDetail", 10, "Withdraw Detail"), T("ARemarks", 20, "Remarks") },
        Names({ "AAId", "EDate" }) });
    t.push_back({ QStringLiteral("kmGroup"), QStringLiteral("KvGroup"), true,
        { L("EId", "Group Id"), D("EDate", "Entry Date"), T("GName", 10, "Product Group", "U"),
            N("GSavePer", "Savings %"), T("GRemarks", 20, "Remarks") },
        Names({ "GName" }) });
    t.push_back({ QStringLiteral("kmPaytype"), QStringLiteral("KvPaytype"), true,
        { L("EId", "Paytype Id"), D("EDate", "Entry Date"), T("PName", 10, "Paytype Name", "U"),
            T("PRemarks", 20, "Remarks") },
        Names({ "PName" }) });
    t.push_back({ QStringLiteral("kmAccount"), QStringLiteral("KvAccount"), true,
        { L("EId", "Account Id"), D("EDate", "Entry Date"), T("AName", 10, "Account Name", "U"),
            N("AOpening", "Opening Amt", "F", 12), T("ARemarks", 20, "Remarks") },
        Names({ "AName" }) });
    t.push_back({ QStringLiteral("kaEnterprise"), QStringLiteral("KvEnterprise"), true,
        { L("EId", "Enterprise Id"), D("EDate", "Entry Date"), T("EName", 30, "Enterprise Name"),
            T("EShort", 15, "Short Name"), T("EDesc", 30, "Description"), T("EAddress1", 30, "Address Line1"),
            T("EAddress2", 30, "Address Line2"), T("ECity", 20, "City"), T("EState", 20, "State"),
            T("ECountry", 20, "Country"), T("EPhone", 20, "Phone"), T("EEmail", 50, "Email Id"),
            T("EWebsite", 50, "Website"), T("EPasscd", PasswordHash::StoredLength, "Access Code"),
            T("ERemarks", 20, "Remarks") },
        {} });
    t.push_back({ QStringLiteral("kaUser"), QStringLiteral("KvUser"), true,
        { L("EId", "User Id"), D("EDate", "Entry Date"), T("ULogin", 10, "LoginId", "U"),
            T("UPasscd", PasswordHash::StoredLength, "Password"), T("UHint", 10, "Hint"),
            T("UMode", 1, "Login Mode"), T("UName", 20, "User Name"), T("UAddress", 50, "Address"),
            T("UPhone", 20, "Phone"), T("UEmail", 50, "Email Id"), T("URemarks", 20, "Remarks") },
        Names({ "ULogin" }) });
    t.push_back({ QStringLiteral("kaPreference"), QStringLiteral("KvPreference"), true,
        { L("EId", "Preference Id"), D("EDate", "Entry Date"), T("PHeader", 35, "Bill Header"),
            T("PMessage1", 35, "Bill Message1"), T("PMessage2", 35, "Bill Message2"),
            T("PFooter", 250, "Bill Footer"), F("PStkChek", "Stock Check"), F("PRatEdit", "Rate Edit"),
            N("PDisPerc", "Discount %"), F("PDisEdit", "Discount Edit"), F("PGrpSave", "Group Savings"),
            N("PTaxPer1", "Tax1 %"), T("PTax1Name", 10, "Tax1 Label"), N("PTaxPer2", "Tax2 %"),
            T("PTax2Name", 10, "Tax2 Label"), T("PAmtRoun", 1, "Amt Roundoff"),
            T("PQtyDeci", 1, "Qty Decimal"), T("PDefBill", 1, "Bill Print"), T("PBilLogo", 1, "Logo Style"),
            T("PBilName", 10, "Bill Name"), F("PBilRema", "Remarks Print"), T("PRemarks", 20, "Remarks") },
        {} });
    t.push_back({ QStringLiteral("kaCustomize"), QStringLiteral("KvCustomize"), true,
        { L("EId", "Customize Id"), D("EDate", "Entry Date"), T("CBackColor", 10, "Back Color"),
            T("CTexTure", 10, "Back Texture"), T("CTextFont", 10, "Text Font"),
            T("CTextSize", 10, "Text Size"), T("CTextColor", 10, "Text Color"),
            F("CDefaScrn", "Default Screen"), F("CAdminDisp", "Enable Admin"),
            F("CModiPass", "Modify Password"), F("CAllowDele", "Allow Delete"),
            F("CDelePass", "Delete Password"), F("CShowDash", "Show Dashboard"),
            F("CToolShow", "Toolbar Labels"), T("CRemarks", 20, "Remarks") },
        {} });
    return t;
}

// A column's type, default and rule. The engine stores any value in any column; the CHECK
// makes each column refuse what its kind cannot hold, whoever writes the row. Each rule is
// named "<table>.<column>: <what the column takes>", which the connection turns into the
// message a user reads.
QString DeclaredType(const TableDef& table, const ColumnDef& column, int position)
{
    if (position == 0 && table.master)
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    const QString& c = column.name;
    QString type;
    QString takes;
    QString check;
    // Numbers start at 0, so a column that a screen never writes (the stock kept by posting)
    // holds a number from the first save on.
    switch (column.kind) {
    case ColumnKind::Long:
        type = QStringLiteral("INTEGER DEFAULT 0");
        takes = QStringLiteral("a whole number from -2147483648 to 2147483647");
        // The engine checks the value as written, before the column turns a text such as
        // "12" into a number; such a text is accepted, as it is stored as the number.
        check = QStringLiteral("%1 IS NULL OR (CASE typeof(%1) WHEN 'integer' THEN 1"
                               " WHEN 'real' THEN %1 = CAST(%1 AS INTEGER)"
                               " WHEN 'text' THEN (trim(%1) GLOB '[0-9]*' OR trim(%1) GLOB '[+-][0-9]*')"
                               " AND substr(trim(%1), 2) NOT GLOB '*[^0-9]*' ELSE 0 END"
                               " AND CAST(%1 AS INTEGER) BETWEEN -2147483648 AND 2147483647)")
                    .arg(c);
        break;
    case ColumnKind::Number:
        type = QStringLiteral("REAL DEFAULT 0");
        takes = QStringLiteral("a number");
        // A text is accepted when it is a plain decimal number ("-12.5"), which the column
        // stores as a number.
        check = QStringLiteral("%1 IS NULL OR CASE typeof(%1) WHEN 'integer' THEN 1 WHEN 'real' THEN 1"
                               " WHEN 'text' THEN length(trim(%1)) - length(ltrim(trim(%1), '+-')) <= 1"
                               " AND ltrim(trim(%1), '+-') GLOB '*[0-9]*'"
                               " AND ltrim(trim(%1), '+-') NOT GLOB '*[^0-9.]*'"
                               " AND ltrim(trim(%1), '+-') NOT GLOB '*.*.*' ELSE 0 END")
                    .arg(c);
        break;
    case ColumnKind::Date:
        // Dates are ISO text; date() gives back the same text only for a real day (with a
        // modifier it moves 02-30 on to March).
        type = QStringLiteral("DATE");
        takes = QStringLiteral("a date written YYYY-MM-DD");
        check = QStringLiteral("%1 IS NULL OR (typeof(%1) = 'text' AND date(%1, '+0 days') IS %1)").arg(c);
        break;
    case ColumnKind::Text:
    case ColumnKind::Flag:
        // Text compares without regard to case for every letter, as the program's look-ups and
        // uniqueness rules expect. The engine's length() counts characters: an emoji is one.
        type = QStringLiteral("TEXT(%1) COLLATE %2").arg(column.width).arg(QLatin1StringView(TextCollation));
        takes = column.width == 1 ? QStringLiteral("at most one character")
                                  : QStringLiteral("text of at most %1 characters").arg(column.width);
        check = QStringLiteral("%1 IS NULL OR length(%1) <= %2").arg(c).arg(column.width);
        break;
    }
    return QStringLiteral("%1 CONSTRAINT \"%2.%3: %4\" CHECK (%5)").arg(type, table.name, c, takes, check);
}

} // namespace

int TableDef::ColumnIndex(const QString& column) const
{
    for (int i = 0; i < int(columns.size()); ++i)
        if (columns[size_t(i)].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const std::vector<TableDef>& Schema::Tables()
{
    static const std::vector<TableDef> tables = BuildTables();
    return tables;
}

const TableDef* Schema::Find(const QString& table)
{
    for (const TableDef& t : Tables())
        if (t.name.compare(table, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList Schema::IndexStatements(const TableDef& table)
{
    QStringList statements;
    // Plain indexes only: uniqueness is checked when a record is saved, and some flows keep a
    // duplicate on purpose until the user corrects it.
    for (const QString& column : table.indexes)
        statements
            << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_%1_%2 ON %1 (%2)").arg(table.name, column);
    // A screen browses "Select EId, EDate From" its table: this index answers it alone.
    if (table.master)
        statements
            << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_%1_browse ON %1 (EId, EDate)").arg(table.name);
    return statements;
}

QString Schema::CreateStatement(const TableDef& table)
{
    QStringList columns;
    for (int i = 0; i < int(table.columns.size()); ++i) {
        const ColumnDef& column = table.columns[size_t(i)];
        columns << column.name + u' ' + DeclaredType(table, column, i);
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
}

void Schema::Create(Connection& connection)
{
    Transaction transaction(connection);
    for (const TableDef& table : Tables()) {
        connection.ExecuteRaw(CreateStatement(table));
        for (const QString& index : IndexStatements(table))
            connection.ExecuteRaw(index);
    }
    connection.ExecuteRaw(QStringLiteral("PRAGMA user_version = %1").arg(Version));
    transaction.Commit();
    connection.RefreshSchema();
}

} // namespace kivo
