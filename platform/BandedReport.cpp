#include "platform/BandedReport.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace {

bool isFixedPitchFamily(const QString& family)
{
    static const QStringList fixed = {QStringLiteral("Courier New"), QStringLiteral("Courier"),
                                      QStringLiteral("Fixedsys"), QStringLiteral("Fixed")};
    return fixed.contains(family, Qt::CaseInsensitive);
}

// The suite's Arial is whatever sans-serif face the system has; its fixed-pitch
// faces are the system's fixed font.
QFont resolveFont(const QString& family, double pointSize, bool bold)
{
    QFont font;
    if (isFixedPitchFamily(family)) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        font = QFont(family);
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

struct FontKey {
    QString family;
    double pointSize;
    bool bold;
    bool operator==(const FontKey&) const = default;
};

} // namespace

// Paints bands in device units; fonts are resolved once per render, not per row.
struct BandedReport::Painter {
    QPainter& painter;
    double scaleX;
    double scaleY;
    int leftMargin;
    struct ResolvedFont {
        FontKey key;
        QFont font;
        double lineHeight;
    };
    std::vector<ResolvedFont> fonts;
    int currentFont = -1;

    // Sets the item's font on the painter; returns its line height in device units.
    double useFont(const ReportItem& item)
    {
        const FontKey key{item.fontFamily, item.pointSize, item.bold};
        auto found = std::find_if(fonts.begin(), fonts.end(), [&key](const ResolvedFont& f) { return f.key == key; });
        if (found == fonts.end()) {
            QFont font = resolveFont(item.fontFamily, item.pointSize, item.bold);
            const double height = QFontMetricsF(font, painter.device()).height();
            found = fonts.insert(fonts.end(), ResolvedFont{key, font, height});
        }
        const int index = static_cast<int>(found - fonts.begin());
        if (index != currentFont) {
            painter.setFont(found->font);
            currentFont = index;
        }
        return found->lineHeight;
    }

    QString textOf(const ReportItem& item, const QStringList* values, int page) const
    {
        switch (item.kind) {
        case ReportItem::Kind::Label: return item.text;
        case ReportItem::Kind::PageNumber: return item.text + QString::number(page + 1);
        case ReportItem::Kind::Field:
            return values && item.column >= 0 && item.column < values->size() ? values->at(item.column) : QString();
        case ReportItem::Kind::Line: break;
        }
        return {};
    }

    void paintBand(const ReportBand& band, int bandTop, const QStringList* values, int page)
    {
        for (const ReportItem& item : band.items) {
            const double x = (leftMargin + item.left) * scaleX;
            const double y = (bandTop + item.top) * scaleY;
            if (item.kind == ReportItem::Kind::Line) {
                painter.drawLine(QPointF(x, y), QPointF(x + item.width * scaleX, y + item.height * scaleY));
                continue;
            }
            const QString text = textOf(item, values, page);
            if (text.isEmpty() || item.width <= 0 || item.height <= 0)
                continue;
            const double lineHeight = useFont(item);
            double height = item.height * scaleY;
            // One line is never cut through its descenders; wrapped lines that do not
            // fit the box's height are.
            if (!item.wordWrap)
                height = std::max(height, lineHeight);
            const int flags = int(item.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop
                              | (item.wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
            painter.drawText(QRectF(x, y, item.width * scaleX, height), flags, text);
        }
    }
};

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
    const QPageSize size(QSizeF(pageWidth / 1440.0, pageHeight / 1440.0), QPageSize::Inch, QString(),
                         QPageSize::FuzzyMatch);
    device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

int BandedReport::render(QPagedPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    // One pixel at 96 dpi, the width of a rule on screen.
    painter.setPen(QPen(Qt::black, 15 * device.logicalDpiY() / 1440.0));
    Painter bands{painter, device.logicalDpiX() / 1440.0, device.logicalDpiY() / 1440.0, leftMargin, {}, -1};
    const int pages = pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        paintPage(bands, page);
    }
    painter.end();
    return pages;
}

void BandedReport::paintPage(Painter& painter, int page) const
{
    int top = topMargin;
    painter.paintBand(pageHeader, top, nullptr, page);
    top += pageHeader.height;
    const size_t perPage = static_cast<size_t>(rowsPerPage());
    const size_t first = static_cast<size_t>(page) * perPage;
    const size_t last = std::min(rows.size(), first + perPage);
    for (size_t row = first; row < last; ++row) {
        painter.paintBand(detail, top, &rows[row], page);
        top += detail.height;
    }
    painter.paintBand(pageFooter, pageHeight - bottomMargin - pageFooter.height, nullptr, page);
}

bool BandedReport::writePdf(const QString& path, QString* error, int* pages) const
{
    {
        // QPdfWriter reports an unwritable file only as a failed paint; say which file.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("The file %1 cannot be written: %2").arg(path, probe.errorString());
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setTitle(caption);
    writer.setCreator(QStringLiteral("ledview"));
    writer.setResolution(1440);
    preparePage(writer);
    const int written = render(writer);
    if (pages)
        *pages = written;
    if (written == 0 && error)
        *error = QStringLiteral("The report could not be written to %1.").arg(path);
    return written > 0;
}
