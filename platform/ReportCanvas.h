#pragma once

#include "platform/ReportBand.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QStringList>
#include <vector>

class QPainter;

// Paints report bands with a painter in the device's units. Text is laid out once
// per distinct text, font and box and then placed again as glyphs: a journal repeats
// its dates, codes and descriptions on every page.
class ReportCanvas {
public:
    ReportCanvas(QPainter& painter, int leftMargin);

    void paintBand(const ReportBand& band, int bandTop, const QStringList* values, int page);

private:
    struct Font {
        QString family;
        double pointSize;
        bool bold;
        QFont font;
        double lineHeight;
        double ascent;
    };
    struct Line {
        QList<QGlyphRun> runs;
        double width;
    };
    struct TextKey {
        int font;
        int width;
        int lines;
        QString text;
        bool operator==(const TextKey&) const = default;
    };
    friend size_t qHash(const TextKey& key, size_t seed)
    {
        return qHashMulti(seed, key.font, key.width, key.lines, key.text);
    }

    int fontIndex(const ReportItem& item);
    int lineCount(const Font& font, double boxHeight, bool wrapped) const;
    const std::vector<Line>& layout(const TextKey& key, double boxWidth, bool wrapped);
    void drawText(const ReportItem& item, const QString& text, double x, double y);
    void drawOneLine(const ReportItem& item, const Line& line, double x, double y, double boxWidth);
    static QString textOf(const ReportItem& item, const QStringList* values, int page);

    // The least space a one-line text leaves free in its box, so neighbours never touch.
    static constexpr double TextGapTwips = 60;

    QPainter& m_painter;
    double m_scaleX;
    double m_scaleY;
    int m_leftMargin;
    std::vector<Font> m_fonts;
    QHash<TextKey, std::vector<Line>> m_layouts;
};
