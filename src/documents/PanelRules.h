#pragma once

#include "ScreenRules.h"

#include <functional>
#include <memory>

namespace kivo {

// A document screen's own rules with one more step: whenever a record is shown, copied, or the
// screen is cleared for a new one, the screen's conversion panel closes. Everything else is the
// wrapped rules' own.
class PanelRules : public ScreenRules {
public:
    PanelRules(std::unique_ptr<ScreenRules> inner, std::function<void()> closePanel);

    void AfterShow(ProgramContext& context, ScreenHost& host, RecordScreen& screen) override;
    void AfterClear(ProgramContext& context, ScreenHost& host, RecordScreen& screen) override;
    void AfterSave(ProgramContext& context, ScreenHost& host, RecordScreen& screen, Recordset& row) override;
    void AfterCopy(ProgramContext& context, ScreenHost& host, RecordScreen& screen) override;
    void OnClose(ProgramContext& context, ScreenHost& host, RecordScreen& screen) override;
    QString Refusal(const RecordScreen& screen, int operation) const override;
    int ReportCode(const ProgramContext& context, int designed) const override;
    bool PressListButton(ProgramContext& context, ScreenHost& host, RecordScreen& screen, int index) override;
    bool ShowsColourSamples() const override;

private:
    std::unique_ptr<ScreenRules> m_inner;
    std::function<void()> m_closePanel;
};

} // namespace kivo
