#include "ReportPdf.h"

#include "PageModel.h"
#include "PagePainter.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace kivo {

namespace {

QPageLayout LayoutFor(const QSizeF& sizeMm)
{
    return QPageLayout(QPageSize(sizeMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
}

QString Failure(const QString& path, const QString& reason)
{
    return QStringLiteral("The report could not be written to \"%1\": %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

bool ReportPdf::Write(const PageModel& pages, const QString& path, const QString& title, QString* error)
{
    // QPdfWriter says nothing when its file cannot be opened, so the file is tried first.
    {
        QFile probe(path);
        if (path.isEmpty() || !probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (error)
                *error = Failure(path, path.isEmpty() ? QStringLiteral("no file name") : probe.errorString());
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Kivo"));
    writer.setResolution(1200);
    const QSizeF blank(210, 297);
    const int count = pages.PageCount();
    writer.setPageLayout(LayoutFor(count > 0 ? pages.PageSizeMm(0) : blank));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = Failure(path, QStringLiteral("the file could not be opened for writing"));
        return false;
    }
    for (int page = 0; page < count; ++page) {
        if (page > 0) {
            writer.setPageLayout(LayoutFor(pages.PageSizeMm(page)));
            writer.newPage();
        }
        PagePainter::Paint(painter, pages, page, QRectF(0, 0, writer.width(), writer.height()));
    }
    if (!painter.end()) {
        if (error)
            *error = Failure(path, QStringLiteral("the file could not be completed"));
        return false;
    }
    QFile written(path);
    if (!written.exists() || written.size() == 0) {
        if (error)
            *error = Failure(path, QStringLiteral("the file could not be completed"));
        return false;
    }
    return true;
}

} // namespace kivo
