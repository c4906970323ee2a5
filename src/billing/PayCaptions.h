#pragma once

#include "Money.h"

#include <QStringList>

namespace kivo {

// The counter's six pay buttons (F1 to F6) and the cash amounts they suggest.
class PayCaptions {
public:
    // The nett rounded to a whole number (halves to even), taken up to the next ten: always
    // strictly above a round ten, so 120.00 suggests 130, 123.40 130, 129.60 140.
    static Money NextTen(const Money& nett);
    // NextTen taken up to the next hundred, again strictly above it: 123.40 suggests 200,
    // 195.00 300.
    static Money NextHundred(const Money& nett);

    // The captions before any amount is known; F5 and F6 start with a blank.
    static QStringList Initial();
    // The captions for a nett amount: the label, a line break and the amount in parentheses,
    // in its plain form ("F1 CASH\n(123.4)"): F1 the nett, F2 NextTen, F3 NextHundred, F4 to
    // F6 the nett again.
    static QStringList ForNett(const Money& nett);
};

} // namespace kivo
