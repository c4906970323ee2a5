#pragma once

// The product screen and a host without windows, shared by the benchmarks that drive the
// record engine.

#include "Messages.h"
#include "RecordScreen.h"
#include "Schema.h"
#include "ScreenHost.h"

#include <cstdio>
#include <memory>

namespace kivo::bench {

// Says yes to every question; a notice during the run is printed, since none is expected.
class YesMessages : public Messages {
public:
    void Notice(const QString& text) override { std::fprintf(stderr, "notice: %s\n", qPrintable(text)); }
    bool Ask(const QString&) override { return true; }
};

class NullHost : public ScreenHost {
public:
    void SetCommandState(const QString&) override { }
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
    void AskAccessCode() override { }
    void OpenInquiry() override { }
    void OpenReport() override { }
    void OpenListPicker() override { }
    void CloseCurrentScreen() override { }
    void CloseMainWindow() override { }

    QString position;
};

// The product screen's fields as the register screens build them from the schema.
inline std::unique_ptr<RecordScreen> ProductScreen()
{
    const TableDef* table = Schema::Find(QStringLiteral("ktProduct"));
    auto screen = std::make_unique<RecordScreen>(QStringLiteral("KvProduct"), QStringLiteral("Product"));
    screen->table = table->name;
    screen->screenKey = QStringLiteral("Trar");
    screen->report = 41;
    screen->lastField = table->LastField();
    for (int i = 0; i < int(table->columns.size()); ++i) {
        const ColumnDef& column = table->columns[size_t(i)];
        Field field;
        field.caption = column.label;
        field.descriptor = column.code;
        field.maxLength = column.width;
        field.readOnly = i == 0 || i == 9 || i == 10 || i == 11 || i == 14;
        if (column.code == u"U")
            field.column = column.name;
        screen->fields.push_back(field);
    }
    return screen;
}

} // namespace kivo::bench
