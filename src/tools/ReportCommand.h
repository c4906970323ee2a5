#pragma once

#include <QStringList>

class QTextStream;

namespace kivo {

// "kivo-admin report DIR CODE [--value V | --from D --to D] --pdf FILE": one report of a data
// folder rendered to a PDF file with the report screen's own state and engine, without a
// window (scheduled reports, tests). Needs a QGuiApplication for font metrics; main makes an
// offscreen one for this command only. Exit status 0 when the PDF was written, 1 otherwise
// (wrong arguments, a criterion the report screen refuses, a template problem, a file that
// cannot be written), always with a message on `err`.
class ReportCommand {
public:
    ReportCommand(QTextStream& out, QTextStream& err);

    // arguments: what follows "report".
    int Run(const QStringList& arguments);

    static void WriteUsage(QTextStream& stream);

private:
    int Fail(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace kivo
