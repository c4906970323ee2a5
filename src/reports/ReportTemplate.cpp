#include "ReportTemplate.h"

#include "ReportFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace kivo {

struct ReportTemplate::Data {
    QString fileName;
    Page page;
    std::vector<Parameter> parameters;
    std::vector<Group> groups;
    std::vector<Band> bands;
};

namespace {

// A template larger than this is no hand-written report; reading it is refused.
constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

struct Attribute {
    QString name;
    QString value;
    int line = 0;
    int column = 0; // of the name
    int valueColumn = 0; // of the value's first character (inside the quotes)
    std::vector<int> columns; // of each character of a quoted value that held a doubled quote
    bool used = false;

    int ColumnOf(int offset) const
    {
        if (!columns.empty())
            return offset < int(columns.size()) ? columns[size_t(offset)] : columns.back() + 1;
        return valueColumn + offset;
    }
};

struct Statement {
    QString keyword;
    int line = 0;
    int column = 0;
    std::vector<Attribute> attributes;
};

class Failure {
public:
    int line, column;
    QString message;
};

bool IsAttributeStart(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && ((text[i] >= u'a' && text[i] <= u'z') || text[i] == u'-'))
        ++i;
    return i > 0 && i < text.size() && text[i] == u'=';
}

// Reads the attributes of one line from `at` on.
void ReadAttributes(QStringView line, qsizetype at, int lineNumber, Statement& statement)
{
    const qsizetype size = line.size();
    for (;;) {
        while (at < size && line[at].isSpace())
            ++at;
        if (at >= size)
            return;
        const qsizetype nameStart = at;
        while (at < size && !line[at].isSpace() && line[at] != u'=')
            ++at;
        if (at >= size || line[at] != u'=' || at == nameStart)
            throw Failure { lineNumber, int(nameStart) + 1,
                QStringLiteral("\"%1\" is not written name=value")
                    .arg(line.sliced(nameStart, at - nameStart).left(40)) };
        Attribute attribute;
        attribute.name = line.sliced(nameStart, at - nameStart).toString();
        attribute.line = lineNumber;
        attribute.column = int(nameStart) + 1;
        ++at;
        if (at < size && line[at] == u'"') {
            const qsizetype quote = at++;
            attribute.valueColumn = int(at) + 1;
            bool doubled = false;
            std::vector<int> columns;
            for (;;) {
                if (at >= size)
                    throw Failure { lineNumber, int(quote) + 1,
                        QStringLiteral("a quoted value has no closing quote") };
                if (line[at] == u'"') {
                    if (at + 1 < size && line[at + 1] == u'"') {
                        doubled = true;
                        columns.push_back(int(at) + 1);
                        attribute.value += u'"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                columns.push_back(int(at) + 1);
                attribute.value += line[at++];
            }
            if (doubled)
                attribute.columns = std::move(columns);
            if (at < size && !line[at].isSpace())
                throw Failure { lineNumber, int(at) + 1,
                    QStringLiteral("a blank is missing after a quoted value") };
        } else {
            attribute.valueColumn = int(at) + 1;
            const qsizetype valueStart = at;
            while (at < size && !line[at].isSpace())
                ++at;
            attribute.value = line.sliced(valueStart, at - valueStart).toString();
        }
        for (const Attribute& other : statement.attributes)
            if (other.name == attribute.name)
                throw Failure { lineNumber, attribute.column,
                    QStringLiteral("\"%1\" is given twice").arg(attribute.name) };
        statement.attributes.push_back(std::move(attribute));
    }
}

// Turns statements into the template, checking every attribute.
class Builder {
public:
    explicit Builder(ReportTemplate::Data& data)
        : m_data(data)
    {
    }

    void Add(Statement& statement)
    {
        const QString& keyword = statement.keyword;
        if (!m_report && keyword != u"report")
            throw Failure { statement.line, statement.column,
                QStringLiteral("a template starts with a report statement") };
        if (keyword == u"report")
            Report(statement);
        else if (keyword == u"parameter")
            AddParameter(statement);
        else if (keyword == u"group")
            AddGroup(statement);
        else if (keyword == u"band")
            AddBand(statement);
        else if (keyword == u"label" || keyword == u"field" || keyword == u"line" || keyword == u"box")
            AddItem(statement);
        else
            throw Failure { statement.line, statement.column,
                QStringLiteral("unknown keyword \"%1\"").arg(keyword.left(40)) };
        for (const Attribute& attribute : statement.attributes)
            if (!attribute.used)
                throw Failure { attribute.line, attribute.column,
                    QStringLiteral("unknown attribute \"%1\"").arg(attribute.name.left(40)) };
    }

    void Finish(const QString& fileName)
    {
        if (!m_report)
            throw Failure { 1, 1, QStringLiteral("the template is empty") };
        (void)fileName;
    }

private:
    Attribute* Find(Statement& statement, QStringView name)
    {
        for (Attribute& attribute : statement.attributes)
            if (attribute.name == name) {
                attribute.used = true;
                return &attribute;
            }
        return nullptr;
    }
    const Attribute& Required(Statement& statement, QStringView name)
    {
        const Attribute* attribute = Find(statement, name);
        if (!attribute)
            throw Failure { statement.line, statement.column,
                QStringLiteral("%1 needs %2=").arg(statement.keyword, name.toString()) };
        return *attribute;
    }
    static double Number(const Attribute& attribute, double low, double high)
    {
        static const QRegularExpression pattern(QStringLiteral("^-?[0-9]{1,6}(\\.[0-9]{1,6})?$"));
        if (!pattern.match(attribute.value).hasMatch())
            throw Failure { attribute.line, attribute.valueColumn,
                QStringLiteral("\"%1\" is not a number").arg(attribute.value.left(40)) };
        const double value = attribute.value.toDouble();
        if (value < low || value > high)
            throw Failure { attribute.line, attribute.valueColumn,
                QStringLiteral("%1 must lie between %2 and %3").arg(attribute.name).arg(low).arg(high) };
        return value;
    }
    double Number(Statement& statement, QStringView name, double fallback, double low, double high)
    {
        const Attribute* attribute = Find(statement, name);
        return attribute ? Number(*attribute, low, high) : fallback;
    }
    bool YesNo(Statement& statement, QStringView name)
    {
        const Attribute* attribute = Find(statement, name);
        if (!attribute)
            return false;
        if (attribute->value == u"yes")
            return true;
        if (attribute->value == u"no")
            return false;
        throw Failure { attribute->line, attribute->valueColumn,
            QStringLiteral("%1 is yes or no, not \"%2\"").arg(attribute->name, attribute->value.left(40)) };
    }
    QString Choice(
        Statement& statement, QStringView name, const QStringList& choices, const QString& fallback)
    {
        const Attribute* attribute = Find(statement, name);
        if (!attribute)
            return fallback;
        for (const QString& choice : choices)
            if (attribute->value == choice)
                return choice;
        throw Failure { attribute->line, attribute->valueColumn,
            QStringLiteral("%1 is %2, not \"%3\"")
                .arg(attribute->name, choices.join(QStringLiteral(", ")), attribute->value.left(40)) };
    }
    static ReportExpression Expression(const Attribute& attribute, ReportTemplate::Position* at)
    {
        QString message;
        int offset = 0;
        ReportExpression expression = ReportExpression::Parse(attribute.value, &message, &offset);
        if (expression.IsEmpty())
            throw Failure { attribute.line, attribute.ColumnOf(offset), message };
        if (at)
            *at = { attribute.line, attribute.valueColumn };
        return expression;
    }
    static QString Name(const Attribute& attribute)
    {
        static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,63}$"));
        if (!pattern.match(attribute.value).hasMatch())
            throw Failure { attribute.line, attribute.valueColumn,
                QStringLiteral("\"%1\" is not a name").arg(attribute.value.left(40)) };
        return attribute.value;
    }

    void Report(Statement& statement)
    {
        if (m_report)
            throw Failure { statement.line, statement.column,
                QStringLiteral("a template has one report statement") };
        m_report = true;
        ReportTemplate::Page& page = m_data.page;
        page.at = { statement.line, statement.column };
        if (const Attribute* title = Find(statement, u"title"))
            page.title = title->value;
        const QString kind = Choice(statement, u"page",
            { QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("Letter"), QStringLiteral("roll") },
            QStringLiteral("A4"));
        const bool landscape
            = Choice(statement, u"orientation", { QStringLiteral("portrait"), QStringLiteral("landscape") },
                  QStringLiteral("portrait"))
            == u"landscape";
        page.roll = kind == u"roll";
        if (page.roll) {
            page.sizeMm = QSizeF(Number(Required(statement, u"width"), 20, 500), 0);
        } else {
            if (const Attribute* width = Find(statement, u"width"))
                throw Failure { width->line, width->column, QStringLiteral("width is for page=roll") };
            page.sizeMm = kind == u"A5" ? QSizeF(148, 210)
                : kind == u"Letter"     ? QSizeF(215.9, 279.4)
                                        : QSizeF(210, 297);
            if (landscape)
                page.sizeMm.transpose();
        }
        if (const Attribute* font = Find(statement, u"font"))
            page.font = font->value;
        page.size = Number(statement, u"size", page.size, 4, 72);
        page.marginLeft = Number(statement, u"margin-left", 10, 0, 200);
        page.marginTop = Number(statement, u"margin-top", 10, 0, 200);
        page.marginRight = Number(statement, u"margin-right", 10, 0, 200);
        page.marginBottom = Number(statement, u"margin-bottom", 10, 0, 200);
        if (page.sizeMm.width() - page.marginLeft - page.marginRight < 10
            || (!page.roll && page.sizeMm.height() - page.marginTop - page.marginBottom < 10))
            throw Failure { statement.line, statement.column,
                QStringLiteral("the margins leave no room on the page") };
    }

    void AddParameter(Statement& statement)
    {
        ReportTemplate::Parameter parameter;
        parameter.name = Name(Required(statement, u"name"));
        parameter.at = { statement.line, statement.column };
        if (const Attribute* value = Find(statement, u"default")) {
            parameter.hasDefault = true;
            parameter.defaultValue = value->value;
        }
        for (const ReportTemplate::Parameter& other : m_data.parameters)
            if (other.name.compare(parameter.name, Qt::CaseInsensitive) == 0)
                throw Failure { statement.line, statement.column,
                    QStringLiteral("parameter \"%1\" is declared twice").arg(parameter.name) };
        m_data.parameters.push_back(std::move(parameter));
    }

    void AddGroup(Statement& statement)
    {
        ReportTemplate::Group group;
        group.name = Name(Required(statement, u"name"));
        group.at = { statement.line, statement.column };
        group.expr = Expression(Required(statement, u"expr"), &group.exprAt);
        if (GroupIndex(group.name) >= 0)
            throw Failure { statement.line, statement.column,
                QStringLiteral("group \"%1\" is declared twice").arg(group.name) };
        if (m_data.groups.size() >= 16)
            throw Failure { statement.line, statement.column,
                QStringLiteral("a template has at most 16 groups") };
        m_data.groups.push_back(std::move(group));
    }

    int GroupIndex(const QString& name) const
    {
        for (size_t i = 0; i < m_data.groups.size(); ++i)
            if (m_data.groups[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    void AddBand(Statement& statement)
    {
        using Kind = ReportTemplate::BandKind;
        static const std::pair<QStringView, Kind> kinds[] = {
            { u"reportheader", Kind::ReportHeader },
            { u"pageheader", Kind::PageHeader },
            { u"groupheader", Kind::GroupHeader },
            { u"groupfooter", Kind::GroupFooter },
            { u"detail", Kind::Detail },
            { u"summary", Kind::Summary },
            { u"pagefooter", Kind::PageFooter },
        };
        const Attribute& kindAttribute = Required(statement, u"kind");
        ReportTemplate::Band band;
        band.at = { statement.line, statement.column };
        bool known = false;
        for (const auto& [name, kind] : kinds)
            if (kindAttribute.value == name) {
                band.kind = kind;
                known = true;
            }
        if (!known)
            throw Failure { kindAttribute.line, kindAttribute.valueColumn,
                QStringLiteral("unknown band kind \"%1\"").arg(kindAttribute.value.left(40)) };
        const bool grouped = band.kind == Kind::GroupHeader || band.kind == Kind::GroupFooter;
        const Attribute* group = Find(statement, u"group");
        if (grouped && !group)
            throw Failure { statement.line, statement.column, QStringLiteral("band needs group=") };
        if (group) {
            if (!grouped)
                throw Failure { group->line, group->column,
                    QStringLiteral("group is for group headers and footers") };
            band.group = GroupIndex(group->value);
            if (band.group < 0)
                throw Failure { group->line, group->valueColumn,
                    QStringLiteral("unknown group \"%1\"").arg(group->value.left(40)) };
        }
        band.height = Number(statement, u"height", 0, 0, 2000);
        if (const Attribute* visible = Find(statement, u"visible"))
            band.visible = Expression(*visible, &band.visibleAt);
        const auto only = [&](QStringView name, bool allowed, const QString& where) {
            const Attribute* attribute = Find(statement, name);
            if (attribute && !allowed)
                throw Failure { attribute->line, attribute->column,
                    QStringLiteral("%1 is for %2").arg(name.toString(), where) };
        };
        only(u"newpage", band.kind == Kind::GroupHeader, QStringLiteral("group headers"));
        band.newPage = YesNo(statement, u"newpage");
        const bool detail = band.kind == Kind::Detail;
        only(u"columns", detail, QStringLiteral("detail bands"));
        only(u"gap", detail, QStringLiteral("detail bands"));
        only(u"shade", detail, QStringLiteral("detail bands"));
        band.columns = int(Number(statement, u"columns", 1, 1, 20));
        if (const Attribute* columns = Find(statement, u"columns"); columns && columns->value.contains(u'.'))
            throw Failure { columns->line, columns->valueColumn,
                QStringLiteral("columns is a whole number") };
        band.gap = Number(statement, u"gap", 0, 0, 200);
        band.shade = YesNo(statement, u"shade");
        const ReportTemplate::Page& page = m_data.page;
        const double width = page.sizeMm.width() - page.marginLeft - page.marginRight;
        if ((width - band.gap * (band.columns - 1)) / band.columns < 5)
            throw Failure { statement.line, statement.column,
                QStringLiteral("the columns and gaps are wider than the page") };
        m_data.bands.push_back(std::move(band));
    }

    void AddItem(Statement& statement)
    {
        using Kind = ReportTemplate::ItemKind;
        if (m_data.bands.empty())
            throw Failure { statement.line, statement.column,
                QStringLiteral("an item belongs to a band: a band statement comes first") };
        ReportTemplate::Item item;
        item.at = { statement.line, statement.column };
        const QString& keyword = statement.keyword;
        item.kind = keyword == u"label" ? Kind::Label
            : keyword == u"field"       ? Kind::Field
            : keyword == u"line"        ? Kind::Line
                                        : Kind::Box;
        const bool line = item.kind == Kind::Line;
        item.x = Number(statement, u"x", 0, 0, 2000);
        item.y = Number(statement, u"y", 0, 0, 2000);
        item.w = Number(statement, u"w", 0, line ? -2000 : 0, 2000);
        item.h = Number(statement, u"h", 0, line ? -2000 : 0, 2000);
        if (item.kind == Kind::Line || item.kind == Kind::Box) {
            item.penWidth = Number(statement, u"width", 0.2, 0, 10);
            if (item.kind == Kind::Box)
                item.fill = YesNo(statement, u"fill");
        } else {
            if (item.kind == Kind::Label)
                item.text = Required(statement, u"text").value;
            else
                item.expr = Expression(Required(statement, u"expr"), &item.exprAt);
            const QString align = Choice(statement, u"align",
                { QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right") },
                QStringLiteral("left"));
            item.align = align == u"right" ? ReportTemplate::Align::Right
                : align == u"center"       ? ReportTemplate::Align::Center
                                           : ReportTemplate::Align::Left;
            item.bold = YesNo(statement, u"bold");
            item.italic = YesNo(statement, u"italic");
            item.grow = YesNo(statement, u"grow");
            item.size = Number(statement, u"size", 0, 4, 72);
            if (const Attribute* font = Find(statement, u"font"))
                item.font = font->value;
            if (const Attribute* format = Find(statement, u"format")) {
                if (!ReportFormat::IsValid(format->value))
                    throw Failure { format->line, format->valueColumn,
                        QStringLiteral("unknown format \"%1\"").arg(format->value.left(40)) };
                item.format = format->value;
            }
        }
        if (const Attribute* visible = Find(statement, u"visible"))
            item.visible = Expression(*visible, &item.visibleAt);
        m_data.bands.back().items.push_back(std::move(item));
    }

    ReportTemplate::Data& m_data;
    bool m_report = false;
};

} // namespace

ReportTemplate ReportTemplate::Load(const QString& path, TemplateError* error)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    QString failure;
    if (!file.exists())
        failure = QStringLiteral("the template file is missing");
    else if (file.size() > maxFileBytes)
        failure = QStringLiteral("the template file is too large");
    else if (!file.open(QIODevice::ReadOnly))
        failure = QStringLiteral("the template file cannot be read: %1").arg(file.errorString());
    if (!failure.isEmpty()) {
        if (error)
            *error = { fileName, 0, 0, failure };
        return {};
    }
    return Parse(QString::fromUtf8(file.readAll()), fileName, error);
}

ReportTemplate ReportTemplate::Parse(const QString& text, const QString& fileName, TemplateError* error)
{
    auto data = std::make_shared<Data>();
    data->fileName = fileName;
    try {
        Builder builder(*data);
        Statement statement;
        int lineNumber = 0;
        qsizetype start = 0;
        while (start <= text.size()) {
            qsizetype end = text.indexOf(u'\n', start);
            if (end < 0)
                end = text.size();
            QStringView line = QStringView(text).sliced(start, end - start);
            start = end + 1;
            ++lineNumber;
            if (line.endsWith(u'\r'))
                line.chop(1);
            qsizetype at = 0;
            while (at < line.size() && line[at].isSpace())
                ++at;
            if (at >= line.size() || line[at] == u'#')
                continue;
            // A line that goes on with name=value pairs continues the statement above it.
            if (IsAttributeStart(line.sliced(at))) {
                if (statement.keyword.isEmpty())
                    throw Failure { lineNumber, int(at) + 1,
                        QStringLiteral("a statement starts with a keyword") };
                ReadAttributes(line, at, lineNumber, statement);
                continue;
            }
            if (!statement.keyword.isEmpty())
                builder.Add(statement);
            statement = Statement();
            const qsizetype keywordStart = at;
            while (at < line.size() && !line[at].isSpace())
                ++at;
            statement.keyword = line.sliced(keywordStart, at - keywordStart).toString();
            statement.line = lineNumber;
            statement.column = int(keywordStart) + 1;
            ReadAttributes(line, at, lineNumber, statement);
        }
        if (!statement.keyword.isEmpty())
            builder.Add(statement);
        builder.Finish(fileName);
    } catch (const Failure& failure) {
        if (error)
            *error = { fileName, failure.line, failure.column, failure.message };
        return {};
    }
    if (error)
        *error = TemplateError();
    ReportTemplate result;
    result.m_data = std::move(data);
    return result;
}

QString ReportTemplate::FileName() const
{
    return m_data ? m_data->fileName : QString();
}

QString ReportTemplate::Title() const
{
    return m_data ? m_data->page.title : QString();
}

QStringList ReportTemplate::Parameters() const
{
    QStringList names;
    if (m_data)
        for (const Parameter& parameter : m_data->parameters)
            names << parameter.name;
    return names;
}

const ReportTemplate::Page& ReportTemplate::PageSetup() const
{
    static const Page none;
    return m_data ? m_data->page : none;
}

const std::vector<ReportTemplate::Parameter>& ReportTemplate::ParameterList() const
{
    static const std::vector<Parameter> none;
    return m_data ? m_data->parameters : none;
}

const std::vector<ReportTemplate::Group>& ReportTemplate::Groups() const
{
    static const std::vector<Group> none;
    return m_data ? m_data->groups : none;
}

const std::vector<ReportTemplate::Band>& ReportTemplate::Bands() const
{
    static const std::vector<Band> none;
    return m_data ? m_data->bands : none;
}

} // namespace kivo
