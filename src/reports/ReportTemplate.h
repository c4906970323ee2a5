#pragma once

#include "ReportExpression.h"
#include "TemplateError.h"

#include <memory>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

// A report template (a `.Kvr` file; the format is described in templates/FORMAT.md): the page,
// the declared parameters, the groups and the bands with their items. Parsing checks the
// syntax, the attribute values and the expressions' syntax; names are checked when the
// template is bound to rows (ReportLayout::Bind). A template is a plain value; copies share
// their data.
class ReportTemplate {
public:
    enum class BandKind { ReportHeader, PageHeader, GroupHeader, GroupFooter, Detail, Summary, PageFooter };
    enum class ItemKind { Label, Field, Line, Box };
    enum class Align { Left, Center, Right };

    struct Position { // where a statement or attribute starts in the file, 1-based
        int line = 0;
        int column = 0;
    };
    struct Parameter {
        QString name;
        bool hasDefault = false;
        QString defaultValue;
        Position at;
    };
    struct Group {
        QString name;
        ReportExpression expr;
        Position at, exprAt;
    };
    struct Item {
        ItemKind kind = ItemKind::Label;
        double x = 0, y = 0, w = 0, h = 0; // mm, from the band's top-left corner
        QString text; // label
        ReportExpression expr; // field
        ReportExpression visible; // empty: always shown
        Align align = Align::Left;
        bool bold = false, italic = false, grow = false, fill = false;
        double size = 0; // points; 0: the report's size
        QString font; // "": the report's font
        QString format;
        double penWidth = 0.2; // mm, line and box
        Position at, exprAt, visibleAt;
    };
    struct Band {
        BandKind kind = BandKind::Detail;
        int group = -1; // group header and footer: index into Groups()
        double height = 0;
        ReportExpression visible;
        bool newPage = false, shade = false;
        int columns = 1;
        double gap = 0;
        std::vector<Item> items;
        Position at, visibleAt;
    };
    struct Page {
        QString title;
        bool roll = false;
        QSizeF sizeMm { 210, 297 }; // after orientation; a roll's height is unused
        QString font = QStringLiteral("DejaVu Sans");
        double size = 9;
        double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;
        Position at; // the report statement
    };

    // Reads a template file; on failure *error is set (file name without its folder) and the
    // template is empty.
    static ReportTemplate Load(const QString& path, TemplateError* error);
    static ReportTemplate Parse(const QString& text, const QString& fileName, TemplateError* error);

    bool IsEmpty() const { return !m_data; }
    QString FileName() const;
    QString Title() const;
    QStringList Parameters() const; // declared names, in order
    const Page& PageSetup() const;
    const std::vector<Parameter>& ParameterList() const;
    const std::vector<Group>& Groups() const;
    const std::vector<Band>& Bands() const; // in file order

    struct Data; // the parsed contents, shared by copies

private:
    std::shared_ptr<const Data> m_data;
};

} // namespace kivo
