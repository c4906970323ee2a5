#pragma once

#include <QString>
#include <vector>

namespace kivo {

// The criterion row a report offers (the report screen's set-up table).
enum class CriterionGroup {
    ProductGroup, // number on PGId, group picker
    DocumentNumber, // number on EId, typed
    DateRange, // two dates on EDate, two calendars
    ProductCode, // text on PCode, product picker
    Account, // number on AAId, account picker
};

// Which named values a report's template receives.
enum class ParameterKind {
    Standard, // pEntName, pFilter
    Document, // the preference row's texts and the enterprise lines
    Tax, // standard plus the two tax rates and labels
};

// One report of the program: compiled in, never changed at run time.
struct ReportEntry {
    int code = 0; // 40 + its entry number in the Report menu
    QString title; // the menu entry's caption, also the report screen's title
    CriterionGroup group = CriterionGroup::DateRange;
    bool criterionNeeded = false; // "Select Criteria !" on an empty criterion
    QString sqlHead; // before the criterion
    QString sqlTail; // after the criterion: order or grouping clause, often empty
    ParameterKind parameters = ParameterKind::Standard;

    // "Pro41": the first three characters of the title and the code.
    QString NamePart() const;
    // The report's statement with a criterion fragment (" And ( a.PGId =3 ) ", or "").
    QString Statement(const QString& criteriaSql) const { return sqlHead + criteriaSql + sqlTail; }
    // The report prints one document (a bill, quote, purchase or order).
    bool IsDocument() const { return parameters == ParameterKind::Document; }
};

class ReportCatalogue {
public:
    // The 34 reports in menu order.
    static const std::vector<ReportEntry>& Entries();
    // The report with that code; nullptr for a separator's code (47, 50, 55, 62, 67, 74) or
    // anything outside 41..80.
    static const ReportEntry* Find(int code);
    // The code of Report-menu entry `entry` (entries numbered from 1, separators included).
    static int CodeOfMenuEntry(int entry) { return 40 + entry; }
};

} // namespace kivo
