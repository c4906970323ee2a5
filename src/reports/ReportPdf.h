#pragma once

#include <QString>

namespace kivo {

class PageModel;

// Writes a laid-out report as a PDF file.
class ReportPdf {
public:
    // Writes every page; each page gets its own size (a receipt roll is as long as its
    // content). False with a user-readable message naming the file when it cannot be written.
    static bool Write(const PageModel& pages, const QString& path, const QString& title, QString* error);
};

} // namespace kivo
