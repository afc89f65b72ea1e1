#include "platform/ReportCanvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

bool isFixedPitchFamily(const QString& family)
{
    static const QStringList fixed = {
        QStringLiteral("Courier New"), QStringLiteral("Courier"), QStringLiteral("Fixedsys"), QStringLiteral("Fixed")};
    return fixed.contains(family, Qt::CaseInsensitive);
}

// The suite's Arial is an installed face with Arial's metrics (the layouts were made
// for them), else the default sans-serif; its fixed-pitch faces are the system's
// fixed font.
QFont resolveFont(const QString& family, double pointSize, bool bold)
{
    QFont font;
    if (isFixedPitchFamily(family)) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        QStringList candidates{family};
        if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
            candidates << QStringLiteral("Liberation Sans") << QStringLiteral("Arimo");
        const auto installed = std::find_if(
            candidates.begin(), candidates.end(), [](const QString& name) { return QFontDatabase::hasFamily(name); });
        font = QFont(installed != candidates.end() ? *installed : family);
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

double alignedOffset(Qt::Alignment alignment, double boxWidth, double textWidth)
{
    if (alignment & Qt::AlignRight)
        return boxWidth - textWidth;
    if (alignment & Qt::AlignHCenter)
        return (boxWidth - textWidth) / 2;
    return 0;
}

} // namespace

ReportCanvas::ReportCanvas(QPainter& painter, int leftMargin)
    : m_painter(painter)
    , m_scaleX(painter.device()->logicalDpiX() / 1440.0)
    , m_scaleY(painter.device()->logicalDpiY() / 1440.0)
    , m_leftMargin(leftMargin)
{
    // One pixel at 96 dpi, the width of a rule on screen.
    m_painter.setPen(QPen(Qt::black, 15 * m_scaleY));
}

void ReportCanvas::paintBand(const ReportBand& band, int bandTop, const QStringList* values, int page)
{
    for (const ReportItem& item : band.items) {
        const double x = (m_leftMargin + item.left) * m_scaleX;
        const double y = (bandTop + item.top) * m_scaleY;
        if (item.kind == ReportItem::Kind::Line) {
            m_painter.drawLine(QPointF(x, y), QPointF(x + item.width * m_scaleX, y + item.height * m_scaleY));
            continue;
        }
        const QString text = textOf(item, values, page);
        if (!text.isEmpty() && item.width > 0 && item.height > 0)
            drawText(item, text, x, y);
    }
}

QString ReportCanvas::textOf(const ReportItem& item, const QStringList* values, int page)
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

int ReportCanvas::fontIndex(const ReportItem& item)
{
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        const Font& f = m_fonts[i];
        if (f.family == item.fontFamily && f.pointSize == item.pointSize && f.bold == item.bold)
            return static_cast<int>(i);
    }
    const QFont font = resolveFont(item.fontFamily, item.pointSize, item.bold);
    const QFontMetricsF metrics(font, m_painter.device());
    m_fonts.push_back({item.fontFamily, item.pointSize, item.bold, font, metrics.height(), metrics.ascent()});
    return static_cast<int>(m_fonts.size() - 1);
}

// Lines print whole: those whose baseline lies inside the box, and at least one.
int ReportCanvas::lineCount(const Font& font, double boxHeight, bool wrapped) const
{
    if (!wrapped || boxHeight <= font.ascent)
        return 1;
    return static_cast<int>(std::floor((boxHeight - font.ascent) / font.lineHeight)) + 1;
}

const std::vector<ReportCanvas::Line>& ReportCanvas::layout(const TextKey& key, double boxWidth, bool wrapped)
{
    auto found = m_layouts.constFind(key);
    if (found != m_layouts.constEnd())
        return *found;
    QString text = key.text;
    text.replace(QLatin1Char('\n'), wrapped ? QChar(QChar::LineSeparator) : QChar(QLatin1Char(' ')));
    QTextLayout layout(text, m_fonts[static_cast<size_t>(key.font)].font, m_painter.device());
    QTextOption option;
    option.setWrapMode(wrapped ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout.setTextOption(option);
    std::vector<Line> lines;
    double top = 0;
    layout.beginLayout();
    for (int n = 0; n < key.lines; ++n) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(boxWidth);
        line.setPosition(QPointF(0, top));
        top += line.height();
        lines.push_back({line.glyphRuns(), line.naturalTextWidth()});
    }
    layout.endLayout();
    return *m_layouts.insert(key, std::move(lines));
}

void ReportCanvas::drawText(const ReportItem& item, const QString& text, double x, double y)
{
    const int font = fontIndex(item);
    const double boxWidth = item.width * m_scaleX;
    const double boxHeight = item.height * m_scaleY;
    const Font& f = m_fonts[static_cast<size_t>(font)];
    const int lines = lineCount(f, boxHeight, item.wordWrap);
    const std::vector<Line>& laidOut =
        layout({font, item.wordWrap ? item.width : -1, lines, text}, boxWidth, item.wordWrap);
    if (!item.wordWrap && !laidOut.empty()) {
        drawOneLine(item, laidOut.front(), x, y, boxWidth);
        return;
    }
    // Wrapped text beyond its box's height is cut at the box, as a text box does.
    const bool overflows =
        std::any_of(laidOut.begin(), laidOut.end(), [boxWidth](const Line& line) { return line.width > boxWidth; });
    if (overflows) {
        m_painter.save();
        m_painter.setClipRect(QRectF(x, y, boxWidth, lines * f.lineHeight), Qt::IntersectClip);
    }
    for (const Line& line : laidOut) {
        const QPointF origin(x + alignedOffset(item.alignment, boxWidth, line.width), y);
        for (const QGlyphRun& run : line.runs)
            m_painter.drawGlyphRun(origin, run);
    }
    if (overflows)
        m_painter.restore();
}

void ReportCanvas::drawOneLine(const ReportItem& item, const Line& line, double x, double y, double boxWidth)
{
    // A figure cut at its box's side prints a wrong amount, and two full boxes side
    // by side print their texts as one: a line that does not fit with a gap to spare
    // is narrowed to fit instead.
    const double room = boxWidth - std::min(TextGapTwips * m_scaleX, boxWidth / 4);
    const double scale = line.width > room ? room / line.width : 1.0;
    const double offset = alignedOffset(item.alignment, boxWidth, line.width * scale);
    if (scale == 1.0) {
        for (const QGlyphRun& run : line.runs)
            m_painter.drawGlyphRun(QPointF(x + offset, y), run);
        return;
    }
    m_painter.save();
    m_painter.translate(x + offset, y);
    m_painter.scale(scale, 1.0);
    for (const QGlyphRun& run : line.runs)
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    m_painter.restore();
}
