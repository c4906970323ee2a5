#include "FindCriterion.h"

#include "DbError.h"
#include "JetDialect.h"

namespace kivo {

namespace {

[[noreturn]] void Unreadable(const QString& criterion)
{
    throw DbError(DbErrorNumber::BadCriterion, QStringLiteral("Kivo Recordset"),
        QStringLiteral("Cannot read the criterion: ") + criterion);
}

} // namespace

FindCriterion FindCriterion::Parse(const QString& criterion)
{
    const QString s = criterion.trimmed();
    qsizetype i = 0;
    const qsizetype n = s.size();
    FindCriterion c;
    if (i < n && s[i] == u'[') {
        const qsizetype close = s.indexOf(u']', i);
        if (close < 0)
            Unreadable(criterion);
        c.column = s.mid(i + 1, close - i - 1);
        i = close + 1;
    } else {
        while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_' || s[i] == u'.'))
            ++i;
        c.column = s.left(i);
    }
    while (i < n && s[i].isSpace())
        ++i;
    QString op;
    while (i < n && (s[i] == u'=' || s[i] == u'<' || s[i] == u'>'))
        op += s[i++];
    while (i < n && s[i].isSpace())
        ++i;
    if (op == u"=")
        c.op = Op::Equal;
    else if (op == u"<>")
        c.op = Op::NotEqual;
    else if (op == u"<")
        c.op = Op::Less;
    else if (op == u">")
        c.op = Op::Greater;
    else if (op == u"<=")
        c.op = Op::LessOrEqual;
    else if (op == u">=")
        c.op = Op::GreaterOrEqual;
    else
        Unreadable(criterion);
    if (c.column.isEmpty() || i >= n)
        Unreadable(criterion);
    if (s[i] == u'\'') {
        c.quoted = true;
        ++i;
        bool closed = false;
        while (i < n) {
            if (s[i] == u'\'') {
                if (i + 1 < n && s[i + 1] == u'\'') {
                    c.value += u'\'';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            c.value += s[i++];
        }
        // Anything after the closing quote means the criterion was not one quoted value.
        if (!closed || !s.mid(i).trimmed().isEmpty())
            Unreadable(criterion);
    } else if (s[i] == u'#') {
        const qsizetype close = s.indexOf(u'#', i + 1);
        if (close < 0)
            Unreadable(criterion);
        c.value = JetDialect::DateLiteralToIso(QStringView(s).sliced(i + 1, close - i - 1));
        c.dated = true;
        if (c.value.isEmpty())
            Unreadable(criterion);
    } else {
        c.value = s.mid(i).trimmed();
    }
    return c;
}

bool FindCriterion::Holds(int comparison) const
{
    switch (op) {
    case Op::Equal:
        return comparison == 0;
    case Op::NotEqual:
        return comparison != 0;
    case Op::Less:
        return comparison < 0;
    case Op::Greater:
        return comparison > 0;
    case Op::LessOrEqual:
        return comparison <= 0;
    case Op::GreaterOrEqual:
        return comparison >= 0;
    }
    return false;
}

QString FindCriterion::SqlOperator() const
{
    static const QString texts[] = { QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
        QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=") };
    return texts[int(op)];
}

} // namespace kivo
