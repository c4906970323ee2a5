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
    LaidReport(const QString& text, const ReportRows& rows, ReportLayout::Parameters parameters = {});
    LaidReport(const LaidReport&) = delete;
    LaidReport& operator=(const LaidReport&) = delete;

    bool Bound() const { return m_bound; }
    // The mistake as the user reads it; empty when there is none.
    QString ErrorText() const { return error.IsSet() ? error.Text() : QString(); }
    // Lays out what is left and returns the pages (none when not bound).
    const PageModel& LayOutAll();

    // The texts of a page in the order they were placed, the page count filled in.
    static QStringList Texts(const PageModel& pages, int page);
    static QStringList AllTexts(const PageModel& pages);

    TemplateError error;
    ReportTemplate tpl;
    std::unique_ptr<ReportLayout> layout;

private:
    bool m_bound = false;
    PageModel m_none;
};

} // namespace kivo::test
