#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace kivo {

// Words for generated shop data: product, customer and supplier names that read like a
// small shop's, built from a number so that the same number always gives the same text.
// Every text fits the column it is written to; all of it is plain ASCII, so a byte is a
// character.
namespace ShopVocabulary {

// Kinds of goods; a product group takes the kind of its position among the groups.
inline constexpr int Kinds = 5;

// The group names and savings percentages made for a database that has no groups.
struct GroupSample {
    const char* name;
    double savePercent;
    const char* remarks;
};
inline constexpr GroupSample Groups[Kinds] = {
    { "Grocery", 5.0, "Dry goods" },
    { "Dairy", 2.5, "Chilled cabinet" },
    { "Household", 7.5, "Cleaning and kitchen" },
    { "Stationery", 10.0, "School and office" },
    { "Apparel", 0.0, "No savings" },
};

// A product of a kind, chosen by `number`.
struct ProductSample {
    QByteArray name; // at most 25 characters
    const char* unit; // one of the unit option list
    const char* specific;
    bool taxable;
};
ProductSample Product(int kind, quint64 number);
const char* ProductRemarks(quint64 number);

// A customer chosen by `number`.
struct PersonSample {
    QByteArray name; // at most 20 characters
    QByteArray address; // at most 50
    const char* city;
    const char* state;
    QByteArray zip; // at most 10
    QByteArray email; // at most 50
    const char* remarks;
};
PersonSample Person(quint64 number, qint64 id);
inline constexpr const char* Country = "United Kingdom";

// A supplier company name, unique for each `index` (at most 50 characters).
QByteArray Company(qint64 index);

// Bill remarks as cashiers type them.
const char* BillRemarks(quint64 number);

} // namespace ShopVocabulary

} // namespace kivo
