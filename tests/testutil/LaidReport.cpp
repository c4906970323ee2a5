#include "LaidReport.h"

namespace kivo::test {

LaidReport::LaidReport(const QString& text, const ReportRows& rows, ReportLayout::Parameters parameters)
    : tpl(ReportTemplate::Parse(text, QStringLiteral("t.Kvr"), &error))
{
    if (tpl.IsEmpty())
        return;
    layout = std::make_unique<ReportLayout>(tpl, rows, std::move(parameters));
    m_bound = layout->Bind(&error);
}

const PageModel& LaidReport::LayOutAll()
{
    if (!m_bound)
        return m_none;
    layout->LayOutAll();
    return layout->Pages();
}

QStringList LaidReport::Texts(const PageModel& pages, int page)
{
    QStringList texts;
    for (const PageModel::Item& item : pages.PageAt(page).items)
        if (item.kind == PageModel::Kind::Text)
            texts << pages.PageAt(page).Text(item).toString().replace(
                PageModel::PagesMarker, QString::number(pages.PagesShown()));
    return texts;
}

QStringList LaidReport::AllTexts(const PageModel& pages)
{
    QStringList texts;
    for (int page = 0; page < pages.PageCount(); ++page)
        texts << Texts(pages, page);
    return texts;
}

} // namespace kivo::test
