#pragma once

#include <QString>
#include <Qt>

// One control of a report band. Positions are twips from the band's top-left corner;
// a line runs from (left, top) to (left + width, top + height).
struct ReportItem {
    enum class Kind { Label, Field, PageNumber, Line };

    Kind kind = Kind::Label;
    QString name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QString text; // a label's caption; text before a page number
    int column = -1; // a field's index into the detail row's values
    QString fontFamily = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wordWrap = false; // wrapped lines beyond the height are cut off

    static ReportItem label(const QString& name, int left, int top, int width, int height, const QString& text,
                            Qt::Alignment alignment = Qt::AlignLeft)
    {
        ReportItem item;
        item.name = name;
        item.left = left;
        item.top = top;
        item.width = width;
        item.height = height;
        item.text = text;
        item.alignment = alignment;
        return item;
    }

    static ReportItem field(const QString& name, int left, int top, int width, int height, int column,
                            Qt::Alignment alignment = Qt::AlignLeft)
    {
        ReportItem item = label(name, left, top, width, height, QString(), alignment);
        item.kind = Kind::Field;
        item.column = column;
        return item;
    }

    static ReportItem pageNumber(const QString& name, int left, int top, int width, int height,
                                 Qt::Alignment alignment = Qt::AlignRight)
    {
        ReportItem item = label(name, left, top, width, height, QString(), alignment);
        item.kind = Kind::PageNumber;
        return item;
    }

    static ReportItem line(const QString& name, int x1, int y1, int x2, int y2)
    {
        ReportItem item;
        item.kind = Kind::Line;
        item.name = name;
        item.left = x1;
        item.top = y1;
        item.width = x2 - x1;
        item.height = y2 - y1;
        return item;
    }
};
