#include "ReportExpression.h"

#include "DateText.h"
#include "NumberText.h"
#include "PageModel.h"
#include "ReportFormat.h"
#include "ReportRows.h"
#include "ValueText.h"

#include <QLocale>

namespace kivo {

// ---- values

ReportValue ReportValue::FromVariant(const QVariant& value)
{
    ReportValue v;
    if (value.isNull())
        return v;
    switch (value.typeId()) {
    case QMetaType::QDate:
        v.type = Type::Date;
        v.date = value.toDate();
        break;
    case QMetaType::QString:
        v.type = Type::Text;
        v.text = value.toString();
        break;
    case QMetaType::Bool:
        v.type = Type::Boolean;
        v.number = value.toBool() ? 1 : 0;
        break;
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Double:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        v.type = Type::Number;
        v.number = value.toDouble();
        break;
    default:
        v.type = Type::Text;
        v.text = value.toString();
    }
    return v;
}

ReportValue ReportValue::Number(double value)
{
    ReportValue v;
    v.type = Type::Number;
    v.number = value;
    return v;
}

ReportValue ReportValue::Text(QString value)
{
    ReportValue v;
    v.type = Type::Text;
    v.text = std::move(value);
    return v;
}

ReportValue ReportValue::Boolean(bool value)
{
    ReportValue v;
    v.type = Type::Boolean;
    v.number = value ? 1 : 0;
    return v;
}

double ReportValue::ToNumber() const
{
    switch (type) {
    case Type::Number:
    case Type::Boolean:
        return number;
    case Type::Text:
        return ParseNumber(text).value_or(0);
    default:
        return 0;
    }
}

QString ReportValue::ToText() const
{
    switch (type) {
    case Type::Number:
        return NumberText(number);
    case Type::Text:
        return text;
    case Type::Date:
        return ShortDate(date);
    case Type::Boolean:
        return number != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Null:
        break;
    }
    return QString();
}

bool ReportValue::IsTrue() const
{
    switch (type) {
    case Type::Number:
    case Type::Boolean:
        return number != 0;
    case Type::Text:
        return !text.isEmpty() && text != u'0' && text.compare(u"false", Qt::CaseInsensitive) != 0;
    case Type::Date:
        return date.isValid();
    case Type::Null:
        break;
    }
    return false;
}

// ---- the parsed tree

namespace {

enum class Op : quint8 {
    Constant,
    Name,
    Column,
    Parameter,
    Page,
    Pages,
    Today,
    Negate,
    Not,
    Add,
    Subtract,
    Multiply,
    Divide,
    Concat,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    And,
    Or,
    // functions
    Iif,
    Fixed,
    Format,
    Upper,
    Trim,
    Left,
    MonthName,
    Year,
    Month,
    Day,
    // aggregates
    Sum,
    Count,
    Avg,
    Min,
    Max
};

struct Function {
    const char16_t* name;
    Op op;
    int minArgs, maxArgs;
};
constexpr Function functions[] = {
    { u"iif", Op::Iif, 3, 3 },
    { u"fixed", Op::Fixed, 2, 2 },
    { u"format", Op::Format, 2, 2 },
    { u"upper", Op::Upper, 1, 1 },
    { u"trim", Op::Trim, 1, 1 },
    { u"left", Op::Left, 2, 2 },
    { u"monthname", Op::MonthName, 1, 1 },
    { u"year", Op::Year, 1, 1 },
    { u"month", Op::Month, 1, 1 },
    { u"day", Op::Day, 1, 1 },
    { u"sum", Op::Sum, 1, 1 },
    { u"count", Op::Count, 0, 1 },
    { u"avg", Op::Avg, 1, 1 },
    { u"min", Op::Min, 1, 1 },
    { u"max", Op::Max, 1, 1 },
};

bool IsAggregate(Op op)
{
    return op >= Op::Sum;
}

// Deeper trees are refused: a hostile template cannot exhaust the stack of the parser,
// the evaluator or the tree's destructor.
constexpr int maxDepth = 200;

} // namespace

struct ReportExpression::Node {
    Op op = Op::Constant;
    int offset = 0; // where it starts in the expression's text
    int depth = 1;
    int index = -1; // column or parameter
    ReportValue constant;
    QString name;
    std::vector<std::shared_ptr<Node>> args;
};

namespace {

using Node = ReportExpression::Node;
using NodePtr = std::shared_ptr<Node>;

class Parser {
public:
    explicit Parser(QStringView text)
        : m_text(text)
    {
    }

    NodePtr Run()
    {
        NodePtr root = Or();
        if (root && !Failed()) {
            Skip();
            if (m_at < m_text.size())
                Fail(QStringLiteral("unexpected \"%1\"").arg(m_text[m_at]));
        }
        return Failed() ? nullptr : root;
    }
    bool Failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    int errorOffset() const { return m_errorOffset; }

private:
    void Fail(const QString& message, qsizetype at = -1)
    {
        if (Failed())
            return;
        m_error = message;
        m_errorOffset = int(at < 0 ? m_at : at);
    }
    void Skip()
    {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }
    bool Peek(QStringView token)
    {
        Skip();
        return m_text.sliced(m_at).startsWith(token);
    }
    bool Take(QStringView token)
    {
        if (!Peek(token))
            return false;
        m_at += token.size();
        return true;
    }
    // A word operator ("and") not followed by more of a name.
    bool TakeWord(QStringView word)
    {
        Skip();
        const QStringView rest = m_text.sliced(m_at);
        if (!rest.startsWith(word, Qt::CaseInsensitive))
            return false;
        if (rest.size() > word.size() && (rest[word.size()].isLetterOrNumber() || rest[word.size()] == u'_'))
            return false;
        m_at += word.size();
        return true;
    }
    NodePtr Make(Op op, qsizetype offset, std::vector<NodePtr> args)
    {
        auto node = std::make_shared<Node>();
        node->op = op;
        node->offset = int(offset);
        for (const NodePtr& arg : args)
            node->depth = qMax(node->depth, arg->depth + 1);
        node->args = std::move(args);
        if (node->depth > maxDepth) {
            Fail(QStringLiteral("the expression is nested too deeply"), offset);
            return nullptr;
        }
        return node;
    }
    NodePtr Binary(Op op, qsizetype offset, NodePtr left, NodePtr right)
    {
        if (!left || !right)
            return nullptr;
        return Make(op, offset, { std::move(left), std::move(right) });
    }
    // Guards the recursion of nested parentheses, signs and "not" before a tree exists.
    struct Descent {
        Parser& parser;
        explicit Descent(Parser& p)
            : parser(p)
        {
            ++parser.m_nesting;
        }
        ~Descent() { --parser.m_nesting; }
        bool TooDeep() const { return parser.m_nesting > maxDepth; }
    };

    NodePtr Or()
    {
        NodePtr left = And();
        while (left && !Failed()) {
            const qsizetype at = (Skip(), m_at);
            if (!TakeWord(u"or"))
                break;
            left = Binary(Op::Or, at, left, And());
        }
        return left;
    }
    NodePtr And()
    {
        NodePtr left = Not();
        while (left && !Failed()) {
            const qsizetype at = (Skip(), m_at);
            if (!TakeWord(u"and"))
                break;
            left = Binary(Op::And, at, left, Not());
        }
        return left;
    }
    NodePtr Not()
    {
        Descent descent(*this);
        const qsizetype at = (Skip(), m_at);
        if (descent.TooDeep()) {
            Fail(QStringLiteral("the expression is nested too deeply"));
            return nullptr;
        }
        if (TakeWord(u"not")) {
            NodePtr operand = Not();
            return operand ? Make(Op::Not, at, { operand }) : nullptr;
        }
        return Comparison();
    }
    NodePtr Comparison()
    {
        NodePtr left = Concat();
        if (!left || Failed())
            return nullptr;
        static const std::pair<QStringView, Op> comparisons[] = {
            { u"<>", Op::NotEqual },
            { u"<=", Op::LessEqual },
            { u">=", Op::GreaterEqual },
            { u"=", Op::Equal },
            { u"<", Op::Less },
            { u">", Op::Greater },
        };
        const qsizetype at = (Skip(), m_at);
        for (const auto& [token, op] : comparisons)
            if (Take(token))
                return Binary(op, at, left, Concat());
        return left;
    }
    NodePtr Concat()
    {
        NodePtr left = Sum();
        while (left && !Failed()) {
            const qsizetype at = (Skip(), m_at);
            if (!Take(u"&"))
                break;
            left = Binary(Op::Concat, at, left, Sum());
        }
        return left;
    }
    NodePtr Sum()
    {
        NodePtr left = Product();
        while (left && !Failed()) {
            const qsizetype at = (Skip(), m_at);
            if (Take(u"+"))
                left = Binary(Op::Add, at, left, Product());
            else if (Take(u"-"))
                left = Binary(Op::Subtract, at, left, Product());
            else
                break;
        }
        return left;
    }
    NodePtr Product()
    {
        NodePtr left = Unary();
        while (left && !Failed()) {
            const qsizetype at = (Skip(), m_at);
            if (Take(u"*"))
                left = Binary(Op::Multiply, at, left, Unary());
            else if (Take(u"/"))
                left = Binary(Op::Divide, at, left, Unary());
            else
                break;
        }
        return left;
    }
    NodePtr Unary()
    {
        Descent descent(*this);
        const qsizetype at = (Skip(), m_at);
        if (descent.TooDeep()) {
            Fail(QStringLiteral("the expression is nested too deeply"));
            return nullptr;
        }
        if (Take(u"-")) {
            NodePtr operand = Unary();
            return operand ? Make(Op::Negate, at, { operand }) : nullptr;
        }
        if (Take(u"+"))
            return Unary();
        return Primary();
    }
    NodePtr Primary()
    {
        Skip();
        const qsizetype at = m_at;
        if (m_at >= m_text.size()) {
            Fail(m_text.trimmed().isEmpty() ? QStringLiteral("an expression is missing")
                                            : QStringLiteral("the expression ends too soon"));
            return nullptr;
        }
        const QChar c = m_text[m_at];
        if (c == u'(') {
            Descent descent(*this);
            if (descent.TooDeep()) {
                Fail(QStringLiteral("the expression is nested too deeply"));
                return nullptr;
            }
            ++m_at;
            NodePtr inner = Or();
            if (!inner || Failed())
                return nullptr;
            if (!Take(u")")) {
                Fail(QStringLiteral("a \")\" is missing"));
                return nullptr;
            }
            return inner;
        }
        if (c == u'\'' || c == u'"')
            return Quoted(c);
        if (c.isDigit() || (c == u'.' && m_at + 1 < m_text.size() && m_text[m_at + 1].isDigit()))
            return NumberLiteral();
        if (c == u'#') {
            ++m_at;
            const qsizetype start = m_at;
            while (m_at < m_text.size() && m_text[m_at].isDigit())
                ++m_at;
            if (m_at == start || m_at - start > 6) {
                Fail(QStringLiteral("a column number is expected after \"#\""), at);
                return nullptr;
            }
            NodePtr node = Make(Op::Name, at, {});
            node->name = m_text.sliced(at, m_at - at).toString();
            return node;
        }
        if (c.isLetter() || c == u'_')
            return NameOrCall();
        Fail(QStringLiteral("unexpected \"%1\"").arg(c));
        return nullptr;
    }
    NodePtr Quoted(QChar quote)
    {
        const qsizetype at = m_at++;
        QString text;
        for (;;) {
            if (m_at >= m_text.size()) {
                Fail(QStringLiteral("a text has no closing quote"), at);
                return nullptr;
            }
            const QChar c = m_text[m_at++];
            if (c == quote) {
                if (m_at < m_text.size() && m_text[m_at] == quote) {
                    text += quote;
                    ++m_at;
                    continue;
                }
                break;
            }
            text += c;
        }
        NodePtr node = Make(Op::Constant, at, {});
        node->constant = ReportValue::Text(text);
        return node;
    }
    NodePtr NumberLiteral()
    {
        const qsizetype at = m_at;
        while (m_at < m_text.size() && (m_text[m_at].isDigit() || m_text[m_at] == u'.'))
            ++m_at;
        bool ok = false;
        const double value = m_text.sliced(at, m_at - at).toDouble(&ok);
        if (!ok) {
            Fail(QStringLiteral("\"%1\" is not a number").arg(m_text.sliced(at, m_at - at)), at);
            return nullptr;
        }
        NodePtr node = Make(Op::Constant, at, {});
        node->constant = ReportValue::Number(value);
        return node;
    }
    static bool NameChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }
    NodePtr NameOrCall()
    {
        const qsizetype at = m_at;
        while (m_at < m_text.size() && NameChar(m_text[m_at]))
            ++m_at;
        // A qualified column: alias.name.
        if (m_at + 1 < m_text.size() && m_text[m_at] == u'.'
            && (m_text[m_at + 1].isLetter() || m_text[m_at + 1] == u'_')) {
            ++m_at;
            while (m_at < m_text.size() && NameChar(m_text[m_at]))
                ++m_at;
        }
        const QString name = m_text.sliced(at, m_at - at).toString();
        if (!Peek(u"(")) {
            NodePtr node = Make(Op::Name, at, {});
            node->name = name;
            return node;
        }
        const Function* function = nullptr;
        for (const Function& f : functions)
            if (name.compare(QStringView(f.name), Qt::CaseInsensitive) == 0)
                function = &f;
        if (!function) {
            Fail(QStringLiteral("unknown function \"%1\"").arg(name), at);
            return nullptr;
        }
        Take(u"(");
        std::vector<NodePtr> args;
        if (!Take(u")")) {
            for (;;) {
                NodePtr arg = Or();
                if (!arg || Failed())
                    return nullptr;
                args.push_back(std::move(arg));
                if (Take(u")"))
                    break;
                if (!Take(u",")) {
                    Fail(QStringLiteral("a \",\" or \")\" is missing"));
                    return nullptr;
                }
                if (int(args.size()) >= function->maxArgs) {
                    Fail(QStringLiteral("%1 takes %2").arg(name, Arguments(*function)), at);
                    return nullptr;
                }
            }
        }
        if (int(args.size()) < function->minArgs || int(args.size()) > function->maxArgs) {
            Fail(QStringLiteral("%1 takes %2").arg(name, Arguments(*function)), at);
            return nullptr;
        }
        if (function->op == Op::Format && args[1]->op == Op::Constant
            && !ReportFormat::IsValid(args[1]->constant.ToText())) {
            Fail(QStringLiteral("unknown format \"%1\"").arg(args[1]->constant.ToText()), args[1]->offset);
            return nullptr;
        }
        if (IsAggregate(function->op))
            for (const NodePtr& arg : args)
                if (HasAggregate(*arg)) {
                    Fail(QStringLiteral("an aggregate cannot hold another"), arg->offset);
                    return nullptr;
                }
        return Make(function->op, at, std::move(args));
    }
    static QString Arguments(const Function& f)
    {
        if (f.minArgs != f.maxArgs)
            return QStringLiteral("%1 or %2 arguments").arg(f.minArgs).arg(f.maxArgs);
        return f.minArgs == 1 ? QStringLiteral("1 argument") : QStringLiteral("%1 arguments").arg(f.minArgs);
    }
    static bool HasAggregate(const Node& node)
    {
        if (IsAggregate(node.op))
            return true;
        for (const NodePtr& arg : node.args)
            if (HasAggregate(*arg))
                return true;
        return false;
    }

    QStringView m_text;
    qsizetype m_at = 0;
    int m_nesting = 0;
    QString m_error;
    int m_errorOffset = 0;
};

bool Any(const Node& node, bool (*test)(const Node&))
{
    if (test(node))
        return true;
    for (const NodePtr& arg : node.args)
        if (Any(*arg, test))
            return true;
    return false;
}

int IndexOf(const QStringList& names, const QString& name)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

NodePtr Clone(const Node& node)
{
    auto copy = std::make_shared<Node>(node);
    for (NodePtr& arg : copy->args)
        arg = Clone(*arg);
    return copy;
}

bool BindNode(Node& node, const ReportRows& rows, const QStringList& parameters, QString* error, int* offset)
{
    if (node.op == Op::Name) {
        const QString& name = node.name;
        if (name.startsWith(u'#')) {
            node.index = name.mid(1).toInt();
            if (node.index >= rows.ColumnCount()) {
                *error = QStringLiteral("there is no column %1").arg(name);
                *offset = node.offset;
                return false;
            }
            node.op = Op::Column;
        } else if (name.compare(u"page", Qt::CaseInsensitive) == 0) {
            node.op = Op::Page;
        } else if (name.compare(u"pages", Qt::CaseInsensitive) == 0) {
            node.op = Op::Pages;
        } else if (name.compare(u"today", Qt::CaseInsensitive) == 0) {
            node.op = Op::Today;
        } else if (const int parameter = IndexOf(parameters, name); parameter >= 0) {
            node.op = Op::Parameter;
            node.index = parameter;
        } else if (const int column = rows.ColumnIndex(name); column >= 0) {
            node.op = Op::Column;
            node.index = column;
        } else {
            *error = QStringLiteral("unknown column or parameter \"%1\"").arg(name);
            *offset = node.offset;
            return false;
        }
    }
    for (const NodePtr& arg : node.args)
        if (!BindNode(*arg, rows, parameters, error, offset))
            return false;
    return true;
}

int Compare(const ReportValue& a, const ReportValue& b)
{
    using T = ReportValue::Type;
    const auto numeric = [](const ReportValue& v) {
        return v.type == T::Number || v.type == T::Boolean || v.type == T::Null;
    };
    if (a.type == T::Date && b.type == T::Date)
        return a.date < b.date ? -1 : (b.date < a.date ? 1 : 0);
    bool numbers = numeric(a) && numeric(b) && !(a.type == T::Null && b.type == T::Null);
    if (!numbers && (numeric(a) || numeric(b)) && a.type != T::Date && b.type != T::Date) {
        // A number against text that reads as a number compares as numbers.
        const ReportValue& text = numeric(a) ? b : a;
        numbers = text.type != T::Text || ParseNumber(text.text).has_value();
        if (numbers && (a.type == T::Null || b.type == T::Null) && text.type == T::Text)
            numbers = false;
    }
    if (numbers) {
        const double x = a.ToNumber(), y = b.ToNumber();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    return QString::compare(a.ToText(), b.ToText(), Qt::CaseInsensitive);
}

QDate DateOf(const ReportValue& value)
{
    if (value.type == ReportValue::Type::Date)
        return value.date;
    if (value.type == ReportValue::Type::Text)
        return ParseShortDate(value.text.trimmed());
    return QDate();
}

ReportValue Evaluate(const Node& node, const ExpressionScope& scope);

void Accumulate(
    AggregateCache::State& state, const Node& node, const ExpressionScope& scope, int from, int to)
{
    ExpressionScope rowScope = scope;
    for (int row = from; row <= to; ++row) {
        ++state.rows;
        if (node.args.empty())
            continue;
        rowScope.row = row;
        const ReportValue value = Evaluate(*node.args[0], rowScope);
        if (value.type == ReportValue::Type::Null)
            continue;
        ++state.count;
        state.sum += value.ToNumber();
        if (state.min.type == ReportValue::Type::Null || Compare(value, state.min) < 0)
            state.min = value;
        if (state.max.type == ReportValue::Type::Null || Compare(value, state.max) > 0)
            state.max = value;
    }
    state.last = to;
}

ReportValue Aggregate(const Node& node, const ExpressionScope& scope)
{
    AggregateCache::State local;
    AggregateCache::State& state = scope.cache ? scope.cache->For(&node) : local;
    const int first = scope.first;
    const int last = qMax(scope.last, first - 1);
    if (state.first != first || state.last > last) {
        state = AggregateCache::State();
        state.first = first;
        state.last = first - 1;
    }
    if (state.last < last)
        Accumulate(state, node, scope, state.last + 1, last);
    switch (node.op) {
    case Op::Sum:
        return ReportValue::Number(state.sum);
    case Op::Count:
        return ReportValue::Number(node.args.empty() ? state.rows : state.count);
    case Op::Avg:
        return ReportValue::Number(state.count > 0 ? state.sum / state.count : 0);
    case Op::Min:
        return state.min;
    default:
        return state.max;
    }
}

ReportValue Evaluate(const Node& node, const ExpressionScope& scope)
{
    const auto arg = [&](int i) { return Evaluate(*node.args[size_t(i)], scope); };
    const auto number = [&](int i) { return arg(i).ToNumber(); };
    switch (node.op) {
    case Op::Constant:
        return node.constant;
    case Op::Name:
        return ReportValue();
    case Op::Column:
        if (!scope.rows || scope.row < 0)
            return ReportValue();
        return ReportValue::FromVariant(scope.rows->Value(scope.row, node.index));
    case Op::Parameter:
        if (!scope.parameters || node.index >= int(scope.parameters->size()))
            return ReportValue();
        return (*scope.parameters)[size_t(node.index)];
    case Op::Page:
        return ReportValue::Number(scope.page);
    case Op::Pages:
        return ReportValue::Text(QString(PageModel::PagesMarker));
    case Op::Today: {
        ReportValue today;
        if (scope.today.isValid()) {
            today.type = ReportValue::Type::Date;
            today.date = scope.today;
        }
        return today;
    }
    case Op::Negate:
        return ReportValue::Number(-number(0));
    case Op::Not:
        return ReportValue::Boolean(!arg(0).IsTrue());
    case Op::Add:
        return ReportValue::Number(number(0) + number(1));
    case Op::Subtract:
        return ReportValue::Number(number(0) - number(1));
    case Op::Multiply:
        return ReportValue::Number(number(0) * number(1));
    case Op::Divide: {
        const double divisor = number(1);
        return ReportValue::Number(divisor == 0 ? 0 : number(0) / divisor);
    }
    case Op::Concat:
        return ReportValue::Text(arg(0).ToText() + arg(1).ToText());
    case Op::Equal:
        return ReportValue::Boolean(Compare(arg(0), arg(1)) == 0);
    case Op::NotEqual:
        return ReportValue::Boolean(Compare(arg(0), arg(1)) != 0);
    case Op::Less:
        return ReportValue::Boolean(Compare(arg(0), arg(1)) < 0);
    case Op::Greater:
        return ReportValue::Boolean(Compare(arg(0), arg(1)) > 0);
    case Op::LessEqual:
        return ReportValue::Boolean(Compare(arg(0), arg(1)) <= 0);
    case Op::GreaterEqual:
        return ReportValue::Boolean(Compare(arg(0), arg(1)) >= 0);
    case Op::And:
        return ReportValue::Boolean(arg(0).IsTrue() && arg(1).IsTrue());
    case Op::Or:
        return ReportValue::Boolean(arg(0).IsTrue() || arg(1).IsTrue());
    case Op::Iif:
        return arg(0).IsTrue() ? arg(1) : arg(2);
    case Op::Fixed:
        return ReportValue::Text(ReportFormat::Fixed(number(0), int(qBound(0.0, number(1), 15.0))));
    case Op::Format:
        return ReportValue::Text(ReportFormat::Apply(arg(0), arg(1).ToText()));
    case Op::Upper:
        return ReportValue::Text(arg(0).ToText().toUpper());
    case Op::Trim:
        return ReportValue::Text(arg(0).ToText().trimmed());
    case Op::Left:
        return ReportValue::Text(arg(0).ToText().left(qsizetype(qBound(0.0, number(1), 1e9))));
    case Op::MonthName: {
        const ReportValue value = arg(0);
        const QDate date = DateOf(value);
        const int month = date.isValid() ? date.month() : int(value.ToNumber());
        if (month < 1 || month > 12)
            return ReportValue::Text(QString());
        return ReportValue::Text(QLocale::c().monthName(month, QLocale::ShortFormat));
    }
    case Op::Year:
    case Op::Month:
    case Op::Day: {
        const QDate date = DateOf(arg(0));
        if (!date.isValid())
            return ReportValue();
        return ReportValue::Number(node.op == Op::Year ? date.year()
                : node.op == Op::Month                 ? date.month()
                                                       : date.day());
    }
    case Op::Sum:
    case Op::Count:
    case Op::Avg:
    case Op::Min:
    case Op::Max:
        return Aggregate(node, scope);
    }
    return ReportValue();
}

} // namespace

// ---- the expression

ReportExpression::ReportExpression() = default;
ReportExpression::~ReportExpression() = default;
ReportExpression::ReportExpression(const ReportExpression&) = default;
ReportExpression& ReportExpression::operator=(const ReportExpression&) = default;

ReportExpression ReportExpression::Parse(QStringView text, QString* error, int* errorOffset)
{
    Parser parser(text);
    NodePtr root = parser.Run();
    ReportExpression expression;
    if (!root) {
        if (error)
            *error = parser.error();
        if (errorOffset)
            *errorOffset = parser.errorOffset();
        return expression;
    }
    expression.m_root = std::move(root);
    expression.m_text = text.toString();
    return expression;
}

bool ReportExpression::Bind(
    const ReportRows& rows, const QStringList& parameters, QString* error, int* errorOffset)
{
    if (!m_root)
        return true;
    // The tree is shared with the template's copy; a bound one belongs to this expression.
    NodePtr bound = Clone(*m_root);
    QString message;
    int offset = 0;
    if (!BindNode(*bound, rows, parameters, &message, &offset)) {
        if (error)
            *error = message;
        if (errorOffset)
            *errorOffset = offset;
        return false;
    }
    m_root = std::move(bound);
    return true;
}

bool ReportExpression::UsesAggregates() const
{
    return m_root && Any(*m_root, [](const Node& node) { return IsAggregate(node.op); });
}

bool ReportExpression::UsesPages() const
{
    return m_root && Any(*m_root, [](const Node& node) {
        return node.op == Op::Pages
            || (node.op == Op::Name && node.name.compare(u"pages", Qt::CaseInsensitive) == 0);
    });
}

ReportValue ReportExpression::Evaluate(const ExpressionScope& scope) const
{
    return m_root ? kivo::Evaluate(*m_root, scope) : ReportValue();
}

} // namespace kivo
