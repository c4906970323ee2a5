#include "ShopVocabulary.h"

#include <cstdio>
#include <iterator>
#include <span>

namespace kivo::ShopVocabulary {

namespace {

template <typename T, size_t N> const T& Pick(const T (&list)[N], quint64 number)
{
    return list[number % N];
}

// Spreads the bits of a number, so that neighbouring numbers pick unrelated words.
quint64 Mix(quint64 x)
{
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

struct Kind {
    std::span<const char* const> nouns;
    std::span<const char* const> sizes;
    std::span<const char* const> units;
    int taxablePercent;
};

const char* const Qualities[] = { "Organic", "Classic", "Premium", "Value", "Fresh", "Golden", "Royal",
    "Natural", "Select", "Country", "Family", "Everyday", "Harvest", "Simply", "Finest", "Homestyle" };

const char* const GroceryNouns[] = { "Rice", "Flour", "Sugar", "Lentils", "Oats", "Pasta", "Beans", "Tea",
    "Coffee", "Honey", "Jam", "Cereal", "Crackers", "Biscuits", "Noodles", "Chickpeas", "Olive Oil",
    "Peanuts", "Raisins", "Couscous" };
const char* const GrocerySizes[] = { "250g", "500g", "1kg", "2kg", "5kg", "100g", "750g", "x6" };
const char* const GroceryUnits[] = { "Pack", "Bag", "Box", "Pcs" };

const char* const DairyNouns[] = { "Milk", "Butter", "Cheddar", "Yoghurt", "Cream", "Eggs", "Mozzarella",
    "Feta", "Kefir", "Custard", "Ricotta", "Brie" };
const char* const DairySizes[] = { "1L", "2L", "500ml", "250g", "400g", "x6", "x12", "125g" };
const char* const DairyUnits[] = { "Pcs", "Pack", "Box" };

const char* const HouseholdNouns[] = { "Dish Soap", "Detergent", "Towels", "Trash Bags", "Sponges", "Cleaner",
    "Foil", "Bleach", "Gloves", "Candles", "Matches", "Wipes", "Batteries", "Bulbs" };
const char* const HouseholdSizes[] = { "500ml", "1L", "x4", "x10", "x20", "30m", "3kg", "x6" };
const char* const HouseholdUnits[] = { "Pcs", "Pack", "Box", "Set" };

const char* const StationeryNouns[] = { "Copy Paper", "Pens", "Notebook", "Pencils", "Stapler",
    "Sticky Notes", "Markers", "Envelopes", "Scissors", "Glue", "Folders", "Erasers", "Ruler" };
const char* const StationerySizes[] = { "A4", "A5", "x10", "x12", "x50", "x3", "30cm", "Blue" };
const char* const StationeryUnits[] = { "Pack", "Box", "Pcs", "Set" };

const char* const ApparelNouns[] = { "Socks", "Gloves", "Beanie", "Apron", "T-Shirt", "Vest", "Cap", "Scarf",
    "Slippers", "Pyjamas", "Poncho", "Belt" };
const char* const ApparelSizes[] = { "S", "M", "L", "XL", "Size 42", "Size 39", "One Size" };
const char* const ApparelUnits[] = { "Pcs", "Pair", "Set", "Pack" };

const Kind KindTable[Kinds] = {
    { GroceryNouns, GrocerySizes, GroceryUnits, 20 },
    { DairyNouns, DairySizes, DairyUnits, 10 },
    { HouseholdNouns, HouseholdSizes, HouseholdUnits, 95 },
    { StationeryNouns, StationerySizes, StationeryUnits, 95 },
    { ApparelNouns, ApparelSizes, ApparelUnits, 90 },
};

const char* const Specifics[] = { "Standard", "Large", "Small", "Assorted", "Family size", "Refill",
    "Multipack", "Own brand", "Imported", "Local" };
const char* const ProductRemarkTexts[]
    = { "Regular stock", "Fast mover", "Slow mover", "Seasonal", "New line", "Reorder weekly" };

const char* const FirstNames[]
    = { "Anna", "Ravi", "Clara", "Tomas", "Grace", "Lena", "Omar", "Sofia", "Jonas", "Mei", "Peter", "Nadia",
          "Ivan", "Ruth", "Sam", "Aisha", "Leo", "Hana", "Marek", "Elif", "Diego", "Ingrid", "Kofi", "Yuki" };
const char* const LastNames[] = { "Berg", "Menon", "Novak", "Weller", "Okafor", "Fischer", "Haddad", "Rossi",
    "Lind", "Chen", "Hale", "Kerr", "Petrov", "Dale", "Brook", "Khan", "Moreau", "Sato", "Nowak", "Demir",
    "Silva", "Larsen", "Mensah", "Ito" };
const char* const Streets[]
    = { "Station Road", "Orchard Lane", "High Street", "Mill Close", "Kings Avenue", "Church Walk",
          "Park Terrace", "Bridge Street", "Willow Court", "London Road", "Queens Drive", "Market Square" };
const char* const Cities[] = { "Millbrook", "Eastfield", "Ashby", "Northgate", "Riverside", "Oakham" };
const char* const States[] = { "Westshire", "Northmoor", "Eastvale" };
const char* const PersonRemarks[]
    = { "Regular", "Pays by card", "Weekly order", "Loyalty card", "Occasional", "Prefers email" };

const char* const CompanyFirst[] = { "Greenway", "Northgate", "Riverside", "Summit", "Oakfield", "Harbour",
    "Bluebell", "Westbrook", "Kingsley", "Meridian" };
const char* const CompanySecond[]
    = { "Foods", "Trading", "Supplies", "Wholesale", "Distributors", "Imports" };

const char* const BillRemarkTexts[]
    = { "-", "Thank you", "Regular", "Gift wrap", "Paid exact", "Delivered", "Collected", "Counter" };

} // namespace

ProductSample Product(int kind, quint64 number)
{
    const Kind& k = KindTable[kind % Kinds];
    const quint64 h = Mix(number);
    char name[26];
    std::snprintf(name, sizeof name, "%s %s %s", Pick(Qualities, h), k.nouns[(h >> 8) % k.nouns.size()],
        k.sizes[(h >> 16) % k.sizes.size()]);
    return { QByteArray(name), k.units[(h >> 24) % k.units.size()], Pick(Specifics, h >> 32),
        int((h >> 40) % 100) < k.taxablePercent };
}

const char* ProductRemarks(quint64 number)
{
    return Pick(ProductRemarkTexts, Mix(number));
}

PersonSample Person(quint64 number, qint64 id)
{
    const quint64 h = Mix(number);
    const char* first = Pick(FirstNames, h);
    const char* last = Pick(LastNames, h >> 8);
    char name[21];
    std::snprintf(name, sizeof name, "%s %s", first, last);
    char address[51];
    std::snprintf(address, sizeof address, "%d %s", int((h >> 16) % 180) + 1, Pick(Streets, h >> 24));
    char zip[11];
    std::snprintf(zip, sizeof zip, "%c%c%d %d%c%c", 'A' + int((h >> 32) % 26), 'A' + int((h >> 37) % 26),
        int((h >> 42) % 9) + 1, int((h >> 46) % 10), 'A' + int((h >> 50) % 26), 'A' + int((h >> 55) % 26));
    char email[51];
    std::snprintf(email, sizeof email, "%s.%s%lld@example.com", first, last, static_cast<long long>(id));
    return { QByteArray(name), QByteArray(address), Pick(Cities, h >> 28), Pick(States, h >> 29),
        QByteArray(zip), QByteArray(email).toLower(), Pick(PersonRemarks, h >> 36) };
}

QByteArray Company(qint64 index)
{
    const qint64 firsts = qint64(std::size(CompanyFirst));
    const qint64 seconds = qint64(std::size(CompanySecond));
    // Every pair of words once (the second word shifts with each round of first words), then
    // the pairs again with a number.
    QByteArray name(CompanyFirst[index % firsts]);
    name.append(' ').append(CompanySecond[(index / firsts + index) % seconds]);
    if (index >= firsts * seconds)
        name.append(' ').append(QByteArray::number(index / (firsts * seconds) + 1));
    return name;
}

const char* BillRemarks(quint64 number)
{
    return Pick(BillRemarkTexts, Mix(number));
}

} // namespace kivo::ShopVocabulary
