#pragma once

// The product screen and a host without windows, shared by the benchmarks that drive the
// record engine.

#include "Messages.h"
#include "RecordScreen.h"
#include "ScreenCatalogue.h"
#include "ScreenHost.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace kivo::bench {

// Says yes to every question; a notice during the run is printed, since none is expected.
class YesMessages : public Messages {
public:
    void Notice(const QString& text) override { std::fprintf(stderr, "notice: %s\n", qPrintable(text)); }
    bool Ask(const QString&) override { return true; }
};

class NullHost : public ScreenHost {
public:
    void SetCommandState(const QString&, bool) override { }
    void SetPositionLabel(const QString& text) override { position = text; }
    QString FindBoxText() const override { return {}; }
    void SetFindBoxText(const QString&) override { }
    void SetModulePaneEnabled(bool) override { }
    bool ModulePaneEnabled() const override { return true; }
    void RefreshDashboard(int) override { }
    void SetupMainWindow() override { }
    void ShowEnterpriseShort(const QString&) override { }
    void ShowScreenCaption(const QString&) override { }
    void ShowLeftPane(bool) override { }
    void ShowDashboard(bool) override { }
    bool AskAccessCode() override { return true; }
    void OpenInquiry(RecordScreen&) override { }
    void OpenReport(int) override { }
    std::optional<ListPick> PickFromList(const QString&) override { return std::nullopt; }
    void CloseCurrentScreen() override { }
    void CloseMainWindow() override { }

    QString position;
};

// The product screen as the program builds it.
inline std::unique_ptr<RecordScreen> ProductScreen()
{
    return BuildRecordScreen(QStringLiteral("KvProduct"));
}

} // namespace kivo::bench
