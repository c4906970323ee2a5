#pragma once

#include "ReportCatalogue.h"

#include <QDate>
#include <QString>

namespace kivo {

// The criterion row of one report group: which column the criterion is on, what kind of
// value it takes and which elements of the row are shown.
struct CriterionSetup {
    enum Kind { Text = 1, Number = 3, DateRange = 7 };

    Kind kind = Number;
    QString column; // the single entry of cmbField: "PGId", "EId", "EDate", "PCode", "AAId"
    bool valueReadOnly = false; // txtRepo1 filled by the picker or the calendar only
    int valueLength = 10; // txtRepo1's limit
    bool picker = false; // cmdList1 and lblList shown
    bool endDate = false; // txtRepo2 and cmdList2 shown
    QString listSource; // the list picker's source; "" for none
    int prefillField = -1; // the open screen's field copied into the criterion; -1 none
    bool prefillLabel = false; // lblList takes that field's list label as well

    static CriterionSetup For(CriterionGroup group);
};

// What View makes of the criterion row.
struct Criterion {
    enum class Status { Ok, InvalidCriteria, InvalidRange };
    Status status = Status::Ok;
    QString CriteriaSql; // "" when the value box is empty
    QString FilterText = QStringLiteral("-"); // as the reader should see it: pFilter
};

// The criterion's statement fragment and its text for the reader. `value` is txtRepo1 as
// typed, `label` lblList's caption, `endText` txtRepo2; a date range is taken from the two
// calendars' dates, not from the boxes. A typed value only ever stays a value: a number is
// checked, a text is quoted, dates are written by the program.
Criterion BuildCriterion(const CriterionSetup& setup, const QString& value, const QString& label,
    const QDate& startDate, const QDate& endDate, const QString& endText);

} // namespace kivo
