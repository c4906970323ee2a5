#include "ReportLayout.h"

#include "ReportRows.h"

namespace kivo {

class ReportLayout::Engine {
public:
    PageModel pages;
    bool done = false;
};

ReportLayout::ReportLayout(const ReportTemplate&, const ReportRows&, Parameters)
    : m_engine(std::make_unique<Engine>())
{
}
ReportLayout::~ReportLayout() = default;
bool ReportLayout::Bind(TemplateError* error)
{
    if (error)
        *error = { QString(), 0, 0, QStringLiteral("not bound yet") };
    return false;
}
bool ReportLayout::LayOutSome(int)
{
    m_engine->done = true;
    return true;
}
void ReportLayout::LayOutAll()
{
    LayOutSome(1 << 30);
}
bool ReportLayout::Done() const
{
    return m_engine->done;
}
const PageModel& ReportLayout::Pages() const
{
    return m_engine->pages;
}

} // namespace kivo
