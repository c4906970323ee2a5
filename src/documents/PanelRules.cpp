#include "PanelRules.h"

namespace kivo {

PanelRules::PanelRules(std::unique_ptr<ScreenRules> inner, std::function<void()> closePanel)
    : m_inner(inner ? std::move(inner) : std::make_unique<ScreenRules>())
    , m_closePanel(std::move(closePanel))
{
}

void PanelRules::AfterShow(ProgramContext& context, ScreenHost& host, RecordScreen& screen)
{
    m_inner->AfterShow(context, host, screen);
    m_closePanel();
}

void PanelRules::AfterClear(ProgramContext& context, ScreenHost& host, RecordScreen& screen)
{
    m_inner->AfterClear(context, host, screen);
    m_closePanel();
}

void PanelRules::AfterSave(ProgramContext& context, ScreenHost& host, RecordScreen& screen, Recordset& row)
{
    m_inner->AfterSave(context, host, screen, row);
}

void PanelRules::AfterCopy(ProgramContext& context, ScreenHost& host, RecordScreen& screen)
{
    m_inner->AfterCopy(context, host, screen);
    m_closePanel();
}

void PanelRules::OnClose(ProgramContext& context, ScreenHost& host, RecordScreen& screen)
{
    m_inner->OnClose(context, host, screen);
}

QString PanelRules::Refusal(const RecordScreen& screen, int operation) const
{
    return m_inner->Refusal(screen, operation);
}

int PanelRules::ReportCode(const ProgramContext& context, int designed) const
{
    return m_inner->ReportCode(context, designed);
}

bool PanelRules::PressListButton(ProgramContext& context, ScreenHost& host, RecordScreen& screen, int index)
{
    return m_inner->PressListButton(context, host, screen, index);
}

bool PanelRules::ShowsColourSamples() const
{
    return m_inner->ShowsColourSamples();
}

} // namespace kivo
