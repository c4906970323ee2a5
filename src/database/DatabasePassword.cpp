#include "DatabasePassword.h"

namespace kivo {

QString DatabasePassword()
{
    const char16_t parts[] = { u'K', u'v', u'7', u'q', u'P', u'4' };
    QString password;
    for (char16_t c : parts)
        password += QChar(c);
    return password;
}

} // namespace kivo
