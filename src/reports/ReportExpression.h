#pragma once

#include <memory>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <unordered_map>
#include <vector>

namespace kivo {

class ReportRows;

// A value while an expression is evaluated. Null reads as "" or 0, whichever the operation
// needs.
struct ReportValue {
    enum class Type : quint8 { Null, Number, Text, Date, Boolean };
    Type type = Type::Null;
    double number = 0; // Number; Boolean as 0 or 1
    QString text;
    QDate date;

    static ReportValue FromVariant(const QVariant& value);
    static ReportValue Number(double value);
    static ReportValue Text(QString value);
    static ReportValue Boolean(bool value);

    double ToNumber() const; // text that is no number reads 0
    QString ToText() const; // as the program shows a stored value
    bool IsTrue() const;
};

// Running totals and group totals, kept between evaluations so that a detail band's
// running sum adds one row per row and a group footer reuses its header's totals. One cache
// serves the expressions of one layout (they are told apart by their parsed nodes).
class AggregateCache {
public:
    struct State {
        int first = -1; // the rows counted: first..last
        int last = -2;
        double sum = 0;
        int count = 0; // values that were not null
        int rows = 0;
        ReportValue min, max;
    };
    State& For(const void* node) { return m_states[node]; }
    void Clear() { m_states.clear(); }

private:
    std::unordered_map<const void*, State> m_states;
};

// Where an expression is evaluated: the row its columns are read from, the rows its
// aggregates run over, the page number and the program's date.
struct ExpressionScope {
    const ReportRows* rows = nullptr;
    int row = -1; // -1: columns read null
    int first = 0; // aggregate rows first..last, inclusive; last < first is none
    int last = -1;
    int page = 1;
    QDate today; // the program's "today" (its clock, which a test may set); null reads ""
    const std::vector<ReportValue>* parameters = nullptr; // by the bound parameter index
    AggregateCache* cache = nullptr; // may be null: aggregates are then counted afresh
};

// An expression of a template: parsed once (syntax), bound to the columns of the rows and
// the declared parameters, then evaluated per row. Evaluation never fails: what cannot be
// computed reads as null (division by zero gives 0). Copies share the parsed tree.
class ReportExpression {
public:
    struct Node;

    ReportExpression();
    ~ReportExpression();
    ReportExpression(const ReportExpression&);
    ReportExpression& operator=(const ReportExpression&);

    // On failure, *errorOffset is the offset in `text` where the mistake starts and the
    // expression is empty.
    static ReportExpression Parse(QStringView text, QString* error, int* errorOffset);

    bool IsEmpty() const { return !m_root; }
    QString Text() const { return m_text; }
    // Resolves names: `page`, `pages`, `today`, a declared parameter, then a column of `rows` (by name
    // or "#n"). False with the message and offset of the first name that is none of them.
    bool Bind(const ReportRows& rows, const QStringList& parameters, QString* error, int* errorOffset);
    bool UsesAggregates() const;
    // `pages` is known only once the whole report is laid out: it evaluates to a marker that
    // the painter replaces with the page count (PageModel::PagesMarker).
    bool UsesPages() const;

    ReportValue Evaluate(const ExpressionScope& scope) const;

private:
    std::shared_ptr<Node> m_root;
    QString m_text;
};

} // namespace kivo
