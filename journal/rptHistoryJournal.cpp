#include "journal/rptHistoryJournal.h"

#include "app/HistoryModule.h"
#include "platform/SqlConnection.h"
#include "platform/DateText.h"

#include <QSqlQuery>
#include <algorithm>
#include <cmath>

namespace {

struct Column {
    const char* textBox;
    const char* heading;
    const char* caption;
    Qt::Alignment textAlignment;
    Qt::Alignment headingAlignment;
};

// "Previous" is headed flush left over its right-aligned numbers, as the suite prints it.
const Column columns[JournalPrintState::ColumnCount] = {
    {"txtbdate", "Label2", "Post Date", Qt::AlignHCenter, Qt::AlignHCenter},
    {"txtrdate", "Label3", "Read Date", Qt::AlignHCenter, Qt::AlignHCenter},
    {"txttcode", "Label4", "Code", Qt::AlignHCenter, Qt::AlignHCenter},
    {"txtdescr", "Label5", "Description", Qt::AlignLeft, Qt::AlignLeft},
    {"txtprev", "Label6", "Previous", Qt::AlignRight, Qt::AlignLeft},
    {"txtpres", "Label7", "Present", Qt::AlignRight, Qt::AlignRight},
    {"txtusage", "Label8", "Usage", Qt::AlignRight, Qt::AlignRight},
    {"txtchg", "Label9", "Charge", Qt::AlignRight, Qt::AlignRight},
    {"txtpmt", "Label10", "Payment", Qt::AlignRight, Qt::AlignRight},
    {"txtrbal", "Label11", "Balance", Qt::AlignRight, Qt::AlignRight},
};

constexpr int DetailDesignHeight = 255;
constexpr int TextBoxHeight = 230;
constexpr int DescriptionColumn = 3;
constexpr int BalanceColumn = 9;

int twips(float value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

BandedReport rptHistoryJournal::layout(const QString& companyTitle, const JournalPrintState& state)
{
    BandedReport report;
    report.caption = caption();
    report.pageHeader = pageHeader(companyTitle, state);
    report.detail = detail(state);
    report.pageFooter.height = 555;
    return report;
}

ReportBand rptHistoryJournal::pageHeader(const QString& companyTitle, const JournalPrintState& state)
{
    ReportBand band;
    band.height = 2085;
    ReportItem title = ReportItem::label(QStringLiteral("Label12"), 630, 285, 10890, 315,
                                         companyTitle + QStringLiteral("  Customer History"), Qt::AlignHCenter);
    title.pointSize = 12;
    band.items.push_back(title);
    band.items.push_back(ReportItem::pageNumber(QStringLiteral("Field1"), 10890, 585, 630, 210));
    QString header = state.PrintHeaderText;
    header.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ReportItem account = ReportItem::label(QStringLiteral("Label1"), 630, 810, 10890, 990, header, Qt::AlignHCenter);
    account.wordWrap = true;
    band.items.push_back(account);

    int left = FirstColumnLeft;
    for (int k = 0; k < JournalPrintState::ColumnCount; ++k) {
        const int width = twips(state.PrintColWidth[static_cast<size_t>(k)]);
        band.items.push_back(ReportItem::label(QString::fromLatin1(columns[k].heading), left, 1860, width, 225,
                                               QString::fromLatin1(columns[k].caption), columns[k].headingAlignment));
        left += width;
    }
    band.items.push_back(ReportItem::line(QStringLiteral("Line2"), 615, 2070, 11595, 2070));
    return band;
}

ReportBand rptHistoryJournal::detail(const JournalPrintState& state)
{
    // A row height below one line keeps one line, as the grid on screen does.
    const int rowHeight = twips(state.PrintRowHeight);
    ReportBand band;
    band.height = std::max(rowHeight, DetailDesignHeight);
    band.items.push_back(ReportItem::line(QStringLiteral("Line1"), 615, 5, 11580, 5));
    int left = FirstColumnLeft;
    for (int k = 0; k < JournalPrintState::ColumnCount; ++k) {
        const int width = twips(state.PrintColWidth[static_cast<size_t>(k)]);
        ReportItem box = ReportItem::field(
            QString::fromLatin1(columns[k].textBox), left, 20, width, TextBoxHeight, k, columns[k].textAlignment);
        box.pointSize = 8.5;
        if (k == DescriptionColumn) {
            // A description that wraps on screen wraps on paper into as many lines.
            box.height = std::max(rowHeight, TextBoxHeight);
            box.wordWrap = true;
        } else if (k == BalanceColumn) {
            box.top = 15;
            box.height = 240;
        }
        band.items.push_back(box);
        left += width;
    }
    return band;
}

std::vector<QStringList> rptHistoryJournal::readRows(SqlConnection& work, int32_t first, int32_t last)
{
    std::vector<QStringList> rows;
    QSqlQuery q = work.query(QStringLiteral("select bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, rbal "
                                            "from jurn where trow >= ? and trow <= ? order by trow"),
                             {first, last});
    while (q.next()) {
        QStringList values;
        values.reserve(JournalPrintState::ColumnCount);
        values << DateText::displayShort(q.value(0)) << DateText::displayShort(q.value(1));
        for (int k = 2; k < JournalPrintState::ColumnCount; ++k)
            values << q.value(k).toString();
        rows.push_back(std::move(values));
    }
    return rows;
}

Outcome rptHistoryJournal::ReportStart(const HistoryModule& module, const JournalPrintState& state,
                                       BandedReport& report)
{
    SqlConnection work =
        SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::OpenExisting, module.BusyTimeoutMs);
    if (!work.isOpen())
        return work.outcome();
    report = layout(module.CompanyTitle, state);
    report.rows = readRows(work, state.PrintFirstRow, state.PrintLastRow);
    return work.outcome();
}

Outcome rptHistoryJournal::writePdf(const HistoryModule& module, const JournalPrintState& state, const QString& path,
                                    int* pages)
{
    BandedReport report;
    const Outcome started = ReportStart(module, state, report);
    return started ? report.writePdf(path, pages) : started;
}
