#include "LiteralShape.h"

namespace kivo {

QString Unquoted(QStringView quoted)
{
    QString text = quoted.sliced(1, quoted.size() - 2).toString();
    text.replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}

bool LiteralShape(const QString& source, QString& shape, std::vector<QStringView>& quoted)
{
    const QStringView text(source);
    const qsizetype n = text.size();
    shape.reserve(n);
    qsizetype copied = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\'') {
            qsizetype j = i + 1;
            while (true) {
                if (j >= n)
                    return false; // unclosed: the long way reports it
                if (text[j] == u'\'') {
                    if (j + 1 < n && text[j + 1] == u'\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            shape += text.sliced(copied, i - copied);
            shape += QStringLiteral("''");
            quoted.push_back(text.sliced(i, j + 1 - i));
            copied = j + 1;
            i = j;
            continue;
        }
        switch (c) {
        case u'"':
        case u'[':
        case u'`':
        case u'#':
        case u'+':
        case u'-':
        case u'/':
        case u'?':
        case u':':
        case u'@':
        case u'$':
        case u';':
        case u'\\':
        case 0xE000:
            return false;
        default:
            break;
        }
    }
    shape += text.sliced(copied);
    return !shape.contains(QStringLiteral("like"), Qt::CaseInsensitive);
}

} // namespace kivo
