#include "platform/BandedReport.h"

#include "platform/ReportCanvas.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

int BandedReport::rowsPerPage() const
{
    const int space = pageHeight - topMargin - bottomMargin - pageHeader.height - pageFooter.height;
    return std::max(1, space / std::max(1, detail.height));
}

int BandedReport::pageCount() const
{
    const int perPage = rowsPerPage();
    const int count = static_cast<int>((rows.size() + static_cast<size_t>(perPage) - 1) / static_cast<size_t>(perPage));
    return std::max(1, count);
}

void BandedReport::preparePage(QPagedPaintDevice& device) const
{
    const QPageSize size(
        QSizeF(pageWidth / 1440.0, pageHeight / 1440.0), QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
    device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

int BandedReport::render(QPagedPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    ReportCanvas canvas(painter, leftMargin);
    const int pages = pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        paintPage(canvas, page);
    }
    painter.end();
    return pages;
}

void BandedReport::paintPage(ReportCanvas& canvas, int page) const
{
    int top = topMargin;
    canvas.paintBand(pageHeader, top, nullptr, page);
    top += pageHeader.height;
    const size_t perPage = static_cast<size_t>(rowsPerPage());
    const size_t first = static_cast<size_t>(page) * perPage;
    const size_t last = std::min(rows.size(), first + perPage);
    for (size_t row = first; row < last; ++row) {
        canvas.paintBand(detail, top, &rows[row], page);
        top += detail.height;
    }
    canvas.paintBand(pageFooter, pageHeight - bottomMargin - pageFooter.height, nullptr, page);
}

Outcome BandedReport::writePdf(const QString& path, int* pages) const
{
    {
        // QPdfWriter reports an unwritable file only as a failed paint; say which file.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return Outcome::cannotWrite(QStringLiteral("The file"), path, Outcome::failure(probe.errorString()));
    }
    QPdfWriter writer(path);
    writer.setTitle(caption);
    writer.setCreator(QStringLiteral("ledview"));
    writer.setResolution(1440);
    preparePage(writer);
    const int written = render(writer);
    if (pages)
        *pages = written;
    if (written == 0)
        return Outcome::failure(QStringLiteral("The report could not be written to %1.").arg(path), path);
    return {};
}
