#pragma once

#include "PageModel.h"
#include "ReportLayout.h"
#include "ReportTemplate.h"
#include "TemplateError.h"

#include <memory>

namespace kivo::test {

// A template read from text and bound over rows, as the report screen does it; the rows
// must outlive it. `error` holds the first mistake (reading or binding), `layout` is null
// when the text could not be read.
class LaidReport {
public:
    LaidReport(const QString& text, const ReportRows& rows, ReportLayout::Parameters parameters = {})
        : tpl(ReportTemplate::Parse(text, QStringLiteral("t.Kvr"), &error))
    {
        if (tpl.IsEmpty())
            return;
        layout = std::make_unique<ReportLayout>(tpl, rows, std::move(parameters));
        m_bound = layout->Bind(&error);
    }
    LaidReport(const LaidReport&) = delete;
    LaidReport& operator=(const LaidReport&) = delete;

    bool Bound() const { return m_bound; }
    // The mistake as the user reads it; empty when there is none.
    QString ErrorText() const { return error.IsSet() ? error.Text() : QString(); }
    // Lays out what is left and returns the pages (none when not bound).
    const PageModel& LayOutAll()
    {
        if (!m_bound)
            return m_none;
        layout->LayOutAll();
        return layout->Pages();
    }

    // The texts of a page in the order they were placed, the page count filled in.
    static QStringList Texts(const PageModel& pages, int page)
    {
        QStringList texts;
        for (const PageModel::Item& item : pages.PageAt(page).items)
            if (item.kind == PageModel::Kind::Text)
                texts << pages.PageAt(page).Text(item).toString().replace(
                    PageModel::PagesMarker, QString::number(pages.PagesShown()));
        return texts;
    }
    // Each page's texts joined by '|', page by page.
    static QStringList AllTexts(const PageModel& pages)
    {
        QStringList texts;
        for (int page = 0; page < pages.PageCount(); ++page)
            texts << Texts(pages, page).join(u'|');
        return texts;
    }

    TemplateError error;
    ReportTemplate tpl;
    std::unique_ptr<ReportLayout> layout;

private:
    bool m_bound = false;
    PageModel m_none;
};

} // namespace kivo::test
