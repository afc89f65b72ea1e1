#pragma once

class BandedReport;
class Messenger;
class QWidget;

// Shows a report modally in the print preview, from which the operator prints it or
// saves it as a PDF file; returns when the preview is closed. A PDF that cannot be
// written is reported through the messenger.
class ReportPreview {
public:
    static void exec(const BandedReport& report, Messenger& messenger, QWidget* parent);
};
