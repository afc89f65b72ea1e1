#include "platform/widgets/ReportPreview.h"

#include "platform/BandedReport.h"
#include "platform/Messenger.h"

#include <QAction>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace {

void addSavePdfAction(QPrintPreviewDialog& dialog, const BandedReport& report, Messenger& messenger)
{
    QToolBar* toolbar = dialog.findChild<QToolBar*>();
    if (!toolbar)
        return;
    toolbar->addSeparator();
    QAction* save = toolbar->addAction(QStringLiteral("Save as PDF..."));
    save->setObjectName(QStringLiteral("savePdf"));
    QObject::connect(save, &QAction::triggered, &dialog, [&dialog, &report, &messenger] {
        const QString path =
            QFileDialog::getSaveFileName(&dialog, QStringLiteral("Save as PDF"),
                                         report.caption + QStringLiteral(".pdf"), QStringLiteral("PDF files (*.pdf)"));
        if (path.isEmpty())
            return;
        if (const Outcome written = report.writePdf(path); !written)
            messenger.tell(written.message(), QStringLiteral("CANNOT SAVE"), Messenger::Icon::Warning);
    });
}

} // namespace

void ReportPreview::exec(const BandedReport& report, Messenger& messenger, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    // Report positions count from the sheet's corner, as the layout was designed.
    printer.setFullPage(true);
    report.preparePage(printer);
    printer.setDocName(report.caption);

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("ReportPreview"));
    dialog.setWindowTitle(report.caption);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { report.render(*target); });
    addSavePdfAction(dialog, report, messenger);
    dialog.exec();
}
