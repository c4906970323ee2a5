#include "ReportTemplate.h"

#include <QFileInfo>

namespace kivo {

struct ReportTemplate::Data {
    QString fileName;
    Page page;
    std::vector<Parameter> parameters;
    std::vector<Group> groups;
    std::vector<Band> bands;
};

ReportTemplate ReportTemplate::Load(const QString& path, TemplateError* error)
{
    if (error)
        *error = { QFileInfo(path).fileName(), 0, 0, QStringLiteral("not read yet") };
    return {};
}
ReportTemplate ReportTemplate::Parse(const QString&, const QString& fileName, TemplateError* error)
{
    if (error)
        *error = { fileName, 0, 0, QStringLiteral("not read yet") };
    return {};
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
        for (const Parameter& p : m_data->parameters)
            names << p.name;
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
