#pragma once

#include "platform/Outcome.h"
#include "platform/ReportBand.h"

#include <QString>
#include <QStringList>
#include <vector>

class QPagedPaintDevice;
class ReportCanvas;

// A small banded report: a page header, one detail band per data row and a page
// footer, laid out in twips on a page (letter paper unless set otherwise). It paints
// on any paged device: a PDF writer, a printer or a print preview.
class BandedReport {
public:
    static constexpr int LetterWidth = 12240;
    static constexpr int LetterHeight = 15840;

    QString caption;
    int pageWidth = LetterWidth;
    int pageHeight = LetterHeight;
    int topMargin = 360;
    int bottomMargin = 360;
    int leftMargin = 0;

    ReportBand pageHeader;
    ReportBand detail;
    ReportBand pageFooter;
    std::vector<QStringList> rows; // the detail rows' values, by field column

    int rowsPerPage() const;
    // Pages the rows fill; a report without rows still prints its one page of headers.
    int pageCount() const;

    // Sets the device to the report's paper, without margins, so that twips count
    // from the sheet's top-left corner.
    void preparePage(QPagedPaintDevice& device) const;
    // Paints every page; returns the number of pages, 0 when the device cannot be painted.
    int render(QPagedPaintDevice& device) const;
    // Writes the report as a PDF file without any window.
    Outcome writePdf(const QString& path, int* pages = nullptr) const;

private:
    void paintPage(ReportCanvas& canvas, int page) const;
};
