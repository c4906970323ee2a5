#pragma once

#include "PageModel.h"
#include "ReportTemplate.h"

#include <memory>
#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

namespace kivo {

class ReportRows;

// Lays the rows of a report out into pages, band by band, as the template says. Text is
// measured with font metrics (QFontMetricsF), which need a QGuiApplication: the program has
// one, and kivo-admin's report command makes an offscreen one. The rows must outlive the
// layout; the template is copied.
class ReportLayout {
public:
    using Parameters = QHash<QString, QVariant>;

    ReportLayout(const ReportTemplate& tpl, const ReportRows& rows, Parameters parameters);
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    // Binds fields and parameters to the rows' columns and the given values: an unknown
    // column or parameter, a parameter the program sets that the template does not declare,
    // or a declared parameter without a value nor a default is a TemplateError (file, line,
    // column). Nothing is laid out until Bind succeeded.
    bool Bind(TemplateError* error);

    // The date a template's `today` reads: the program's "today", never the wall clock read
    // here, so a test or kivo-admin can fix it. Unset, `today` reads "".
    void SetToday(QDate today);

    // Lays out up to maxRows more rows; true when the whole report is laid out. A viewer can
    // show page 1 before the rest. LayOutAll() lays out until done.
    bool LayOutSome(int maxRows);
    void LayOutAll();
    bool Done() const;
    const PageModel& Pages() const;

private:
    class Engine;
    std::unique_ptr<Engine> m_engine;
};

} // namespace kivo
