#include "PayCaptions.h"

namespace kivo {

namespace {

// The remainder of a whole number by a whole divisor, with the sign of the number (-13
// by 10 is -3), as the till's arithmetic always took it.
Money Remainder(const Money& number, int divisor)
{
    const Money quotient = number / Money(divisor);
    Money whole = quotient.Rounded(0);
    if (!quotient.IsNegative() && whole > quotient)
        whole -= Money(1);
    else if (quotient.IsNegative() && whole < quotient)
        whole += Money(1);
    return number - whole * Money(divisor);
}

} // namespace

Money PayCaptions::NextTen(const Money& nett)
{
    return (nett + Money(10) - Remainder(nett.Rounded(0), 10)).Rounded(0);
}

Money PayCaptions::NextHundred(const Money& nett)
{
    const Money nextTen = NextTen(nett);
    return nextTen + Money(100) - Remainder(nextTen, 100);
}

QStringList PayCaptions::Initial()
{
    return { QStringLiteral("F1 CASH"), QStringLiteral("F2 CASH"), QStringLiteral("F3 CASH"),
        QStringLiteral("F4 CREDIT"), QStringLiteral(" F5 OTHER"), QStringLiteral(" F6 MISC") };
}

QStringList PayCaptions::ForNett(const Money& nett)
{
    const auto caption = [](const char* label, const Money& amount) -> QString {
        return QString::fromLatin1(label) + QStringLiteral("\n(") + amount.ToText() + u')';
    };
    return { caption("F1 CASH", nett), caption("F2 CASH", NextTen(nett)),
        caption("F3 CASH", NextHundred(nett)), caption("F4 CREDIT", nett), caption("F5 OTHER", nett),
        caption("F6 MISC", nett) };
}

} // namespace kivo
