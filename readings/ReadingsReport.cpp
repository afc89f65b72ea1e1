#include "readings/ReadingsReport.h"

#include "platform/BasicRuntime.h"
#include "platform/DateText.h"

namespace {

struct Column {
    const char* caption;
    int width;
    Qt::Alignment alignment;
    int indent = 0; // keeps left-aligned text off the numbers before it
};

const Column columns[] = {
    {"Read Date", 1300, Qt::AlignHCenter}, {"Bill Date", 1300, Qt::AlignHCenter}, {"Code", 1000, Qt::AlignLeft},
    {"Previous", 1500, Qt::AlignRight},    {"Present", 1500, Qt::AlignRight},     {"Used", 1500, Qt::AlignRight},
    {"MSN", 2790, Qt::AlignLeft, 300},
};

constexpr int Left = 630;
constexpr int Right = 11520;
constexpr int Gap = 60; // keeps a right-aligned number off the next column's text

ReportBand header(const QString& companyTitle, const QString& accNo, const QString& lookupName)
{
    ReportBand band;
    band.height = 1500;
    ReportItem title = ReportItem::label(QStringLiteral("Title"), Left, 285, Right - Left, 315,
                                         companyTitle + QStringLiteral("  Meter Readings"), Qt::AlignHCenter);
    title.pointSize = 12;
    band.items.push_back(title);
    band.items.push_back(ReportItem::label(QStringLiteral("Account"), Left, 720, Right - Left, 255,
                                           QStringLiteral("Account: %1 %2").arg(accNo, lookupName).trimmed(),
                                           Qt::AlignHCenter));
    int left = Left;
    for (const Column& column : columns) {
        ReportItem heading = ReportItem::label(QString::fromLatin1(column.caption), left + column.indent, 1200,
                                               column.width - Gap - column.indent, 225,
                                               QString::fromLatin1(column.caption), column.alignment);
        heading.bold = true;
        band.items.push_back(heading);
        left += column.width;
    }
    band.items.push_back(ReportItem::line(QStringLiteral("HeadingRule"), Left, 1450, Right, 1450));
    return band;
}

ReportBand detail()
{
    ReportBand band;
    band.height = 255;
    int left = Left;
    int index = 0;
    for (const Column& column : columns) {
        ReportItem box = ReportItem::field(QString::fromLatin1(column.caption), left + column.indent, 20,
                                           column.width - Gap - column.indent, 230, index++, column.alignment);
        box.pointSize = 9;
        band.items.push_back(box);
        left += column.width;
    }
    return band;
}

ReportBand footer()
{
    ReportBand band;
    band.height = 400;
    band.items.push_back(ReportItem::line(QStringLiteral("FooterRule"), Left, 60, Right, 60));
    ReportItem page = ReportItem::pageNumber(QStringLiteral("Page"), Right - 1000, 120, 1000, 225);
    page.text = QStringLiteral("Page ");
    page.pointSize = 9;
    band.items.push_back(page);
    return band;
}

} // namespace

ReadingsReport::Prepared ReadingsReport::prepare(const QString& programFolder, const QString& companyTitle,
                                                 const QString& accNo, const QString& lookupName,
                                                 const std::vector<MRGridTable::Reading>& readings)
{
    Prepared prepared;
    prepared.fault = MRGridTable::fill(programFolder, readings);
    if (!prepared.fault) {
        prepared.outcome = Outcome::Failed;
        return prepared;
    }
    std::vector<MRGridTable::Row> rows;
    prepared.fault = MRGridTable::read(programFolder, rows);
    if (!prepared.fault) {
        prepared.outcome = Outcome::Failed;
        return prepared;
    }
    prepared.outcome = rows.empty() ? Outcome::NothingToPrint : Outcome::Ready;
    prepared.report = build(companyTitle, accNo, lookupName, rows);
    return prepared;
}

BandedReport ReadingsReport::build(const QString& companyTitle, const QString& accNo, const QString& lookupName,
                                   const std::vector<MRGridTable::Row>& rows)
{
    BandedReport report;
    report.caption = caption();
    report.pageHeader = header(companyTitle, accNo, lookupName);
    report.detail = detail();
    report.pageFooter = footer();
    report.rows.reserve(rows.size());
    for (const MRGridTable::Row& row : rows)
        report.rows.push_back(values(row));
    return report;
}

QStringList ReadingsReport::values(const MRGridTable::Row& row)
{
    const QString used = row.Used.isNull() ? QString() : BasicRuntime::plainNumber(row.Used.toDouble());
    return {DateText::displayShort(row.MRDate),
            DateText::displayShort(row.BDate),
            row.Code,
            row.Prev,
            row.Pres,
            used,
            row.MSN};
}
