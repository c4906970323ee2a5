#pragma once

#include <QString>

namespace kivo {

// A mistake in a report template, where it starts: 1-based line and column (0 when the
// mistake is the file as a whole, as for a missing or empty file).
struct TemplateError {
    QString file; // the file name as shown to the user, without its folder
    int line = 0;
    int column = 0;
    QString message;

    // "KiPro41.Kvr, line 12, column 7: unknown attribute \"wdth\"".
    QString Text() const;
    bool IsSet() const { return !message.isEmpty(); }
};

} // namespace kivo
