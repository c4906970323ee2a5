#pragma once

#include <QString>

namespace kivo {

class ProgramContext;

// The product query card (KvPQuery) without its window: a read-only look at one product,
// found by its code through the PCode index (active or not). Field i is txtField(i): 0 code,
// 1 id, 2 name, 3 taxable, 4 group (its name in the hint), 5 sale rate and 6 stock formatted
// "#####0.00", 7 active. Hint 0 is the picked product's name.
class ProductQueryState {
public:
    static constexpr int FieldCount = 8;

    explicit ProductQueryState(ProgramContext& context);

    // The list picker's answer: the code into field 0, the name beside it.
    void Pick(const QString& code, const QString& name);
    // Shows the product whose code field 0 holds; when there is none the card keeps what it
    // showed. Returns whether a product was found.
    bool LookUp();

    QString fields[FieldCount];
    QString hints[FieldCount]; // lblList(i): 0 the picked name, 4 the group's name

private:
    ProgramContext& m_context;
};

} // namespace kivo
