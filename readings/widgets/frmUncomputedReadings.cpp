#include "readings/widgets/frmUncomputedReadings.h"

#include "readings/widgets/BillComputation.h"
#include "readings/widgets/ReadingsPrinting.h"

#include "app/widgets/DateEntryBox.h"
#include "app/HistoryModule.h"
#include "platform/Messenger.h"
#include "readings/ReadingColumns.h"
#include "readings/ReadingsAccount.h"
#include "readings/widgets/ReadingsGrid.h"
#include "readings/ReadingsModel.h"
#include "platform/widgets/CommandButton.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace ReadingColumns;

namespace {

// Design layout, in twips.
constexpr int margin = 120;
constexpr int captionHeight = 300;
constexpr int buttonWidth = 1080;
constexpr int buttonHeight = 375;
constexpr int noteHeight = 660;
constexpr int designWidth = 12240;
constexpr int designHeight = 6600;

} // namespace

frmUncomputedReadings::frmUncomputedReadings(HistoryModule& module, Messenger& messenger, QWidget* parent)
    : SuiteWindow(module, messenger, QStringLiteral("frmUncomputedReadings"), parent)
    , m_audit(AuditSettings::forModule(module))
{
    setWindowTitle(QStringLiteral("All Meter Readings for this Account"));
    createControls();
    resize(twipsToPixels(designWidth), twipsToPixels(designHeight));
}

// QDialog's destructor hides a window destroyed while open, and hiding commits the
// grid's editor: by then this part of the object is gone, so the grid must not call
// back into it. Closing (done) has already saved or refused the typed value.
frmUncomputedReadings::~frmUncomputedReadings()
{
    SSDBGrid1->setCommitHandler({});
}

void frmUncomputedReadings::createControls()
{
    SSDBGrid1Caption = new QLabel(this);
    SSDBGrid1Caption->setTextFormat(Qt::PlainText);
    SSDBGrid1Caption->setObjectName(QStringLiteral("SSDBGrid1Caption"));
    SSDBGrid1Caption->setAlignment(Qt::AlignCenter);
    createGrid();

    Label1 =
        new QLabel(QStringLiteral("NOTE: Any changes made to this data will be saved as soon as you move to another "
                                  "column or row, or exit this form.  These changes will not affect billing "
                                  "records unless you COMPUTE BILLS again for the affected BILL DATE."),
                   this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    // Only a work box for completing typed dates; the operator never needs to see it.
    Text1 = new QLineEdit(QStringLiteral("use with date "), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();

    cmdCompute = makeCommandButton(this, "cmdCompute", QStringLiteral("&Compute"));
    cmdPrint = makeCommandButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdExit = makeCommandButton(this, "cmdExit", QStringLiteral("E&xit"));
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdCompute, &QPushButton::clicked, this, &frmUncomputedReadings::cmdCompute_Click);
    connect(cmdPrint, &QPushButton::clicked, this, [this] {
        if (savePendingValue())
            ReadingsPrinting::cmdPrint(m_module, m_messenger, ReadingsAccNo, ReadingsLookupName, this);
    });
}

void frmUncomputedReadings::createGrid()
{
    Data1 = new ReadingsModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    SSDBGrid1 = new ReadingsGrid(this);
    SSDBGrid1->setObjectName(QStringLiteral("SSDBGrid1"));
    SSDBGrid1->setModel(Data1);
    SSDBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SSDBGrid1->horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < ColumnCount; ++column) {
        SSDBGrid1->setColumnWidth(column, twipsToPixels(ReadingColumns::layout(column).widthTwips));
        SSDBGrid1->setColumnHidden(column, ReadingColumns::isHidden(column));
    }
    SSDBGrid1->setCommitHandler(
        [this](const QModelIndex& cell, const QString& typed) { return commitCell(cell.row(), cell.column(), typed); });
    connect(SSDBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmUncomputedReadings::rememberCurrentRow);
}

void frmUncomputedReadings::placeControls()
{
    const int width = this->width() - 2 * twipsToPixels(margin);
    const int bottomRow = height() - twipsToPixels(margin + noteHeight);
    SSDBGrid1Caption->setGeometry(twipsToPixels(margin), twipsToPixels(margin), width, twipsToPixels(captionHeight));
    const int gridTop = SSDBGrid1Caption->geometry().bottom() + 1;
    SSDBGrid1->setGeometry(twipsToPixels(margin), gridTop, width, bottomRow - twipsToPixels(margin) - gridTop);
    const int buttonsLeft = this->width() - twipsToPixels(margin + 3 * buttonWidth + 2 * 60);
    Label1->setGeometry(
        twipsToPixels(margin), bottomRow, buttonsLeft - twipsToPixels(2 * margin), twipsToPixels(noteHeight));
    const int buttonTop = bottomRow + twipsToPixels((noteHeight - buttonHeight) / 2);
    QPushButton* buttons[] = {cmdCompute, cmdPrint, cmdExit};
    for (int i = 0; i < 3; ++i)
        buttons[i]->setGeometry(buttonsLeft + twipsToPixels(i * (buttonWidth + 60)), buttonTop,
                                twipsToPixels(buttonWidth), twipsToPixels(buttonHeight));
}

void frmUncomputedReadings::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void frmUncomputedReadings::Form_Activate()
{
    if (NoReadings) {
        reject();
        return;
    }
    ReadingsAccount::read(m_module.ProgramFolder, ReadingsAccNo, ReadingsLookupName);
    audit(QStringLiteral("Edit existing readings form loaded for account ") + ReadingsAccNo);
    SSDBGrid1Caption->setText(QStringLiteral("All Meter Readings for ") + ReadingsAccNo + QLatin1Char(' ')
                              + ReadingsLookupName);
    if (const Outcome loaded = Data1->load(m_module.openBilling(), m_module.CustKey, m_module.LocKey); !loaded) {
        m_messenger.tell(Outcome::failedIn(QStringLiteral("The readings cannot be read from"),
                                           QStringLiteral("the billing database"), m_module.billingName(), loaded)
                             .message(),
                         QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        reject();
        return;
    }
    if (Data1->rowCount() == 0) {
        m_messenger.tell(QStringLiteral("No reading records exist for this service location."),
                         QStringLiteral("NOTHING TO SHOW"), Messenger::Icon::Information);
        NoReadings = -1;
        return;
    }
    placeCurrentRow();
}

void frmUncomputedReadings::placeCurrentRow()
{
    // The grid opens on the latest readings: twelfth row from the end current, and
    // the last reading on screen even when the window shows fewer rows.
    SSDBGrid1->sizeRowsToLines();
    const QModelIndex current = Data1->index(std::max(0, Data1->rowCount() - 12), Code);
    SSDBGrid1->setCurrentIndex(current);
    SSDBGrid1->scrollTo(current, QAbstractItemView::PositionAtTop);
    SSDBGrid1->scrollTo(Data1->index(Data1->rowCount() - 1, Code), QAbstractItemView::EnsureVisible);
    rememberCurrentRow();
}

void frmUncomputedReadings::rememberCurrentRow()
{
    const int row = SSDBGrid1->currentIndex().row();
    m_remembered.remember([this, row](int column) { return Data1->text(row, column); });
}

bool frmUncomputedReadings::commitCell(int row, int column, const QString& typed)
{
    QString text = typed;
    if (column == ReadDate || column == BillDate) {
        Text1->setText(text);
        DateEntryBox::CompleteDateEntry(*Text1, m_messenger);
        if (Text1->text().isEmpty())
            return false; // told "Invalid Date"; the cell keeps what was typed
        text = Text1->text();
    }
    const ReadingsModel::WriteOutcome outcome = Data1->write(row, column, text);
    if (!outcome.ok) {
        if (outcome.reloaded)
            rememberCurrentRow(); // the audit line of a retry starts from what is stored now
        m_messenger.tell(QStringLiteral("%1 was not saved: %2")
                             .arg(QString::fromLatin1(ReadingColumns::layout(column).caption), outcome.error),
                         QStringLiteral("TRY AGAIN"), Messenger::Icon::Warning);
        return false;
    }
    if (outcome.changed) {
        if (const auto line = m_remembered.describe(column, text, Data1->text(row, BillDate), ReadingsAccNo))
            audit(*line);
        rememberCurrentRow();
    }
    return true;
}

void frmUncomputedReadings::audit(const QString& text)
{
    const Outcome written = m_audit.WriteAudit(text);
    if (written || m_auditFailureTold)
        return;
    // Said once per window: the readings work on without their audit line.
    m_auditFailureTold = true;
    m_messenger.tell(
        QStringLiteral("The audit log could not be written; changes are still saved.\n") + written.message(),
        QStringLiteral("AUDIT NOT WRITTEN"), Messenger::Icon::Warning);
}

bool frmUncomputedReadings::savePendingValue()
{
    // Alt+C and the other shortcuts leave the editor open: what it holds comes first.
    return !SSDBGrid1->openEditor() || SSDBGrid1->finishEditing();
}

void frmUncomputedReadings::cmdCompute_Click()
{
    if (!savePendingValue())
        return;
    BillRequest::Request request;
    request.CustKey = m_module.CustKey;
    request.LocKey = m_module.LocKey;
    request.accNo = ReadingsAccNo;
    const int row = SSDBGrid1->currentIndex().row();
    if (row >= 0)
        request.billDate = Data1->text(row, BillDate);
    BillComputation(m_messenger, computeTimeoutSeconds).run(m_module.ProgramFolder, request, this);
    // Whatever came of it, the window closes and the journal shows the account afresh.
    close();
}

bool frmUncomputedReadings::Form_QueryUnload()
{
    return savePendingValue() || discardPendingValue();
}

bool frmUncomputedReadings::discardPendingValue()
{
    // The refusal has been shown; closing drops the value only when the operator says so.
    const QString column = QString::fromLatin1(ReadingColumns::layout(SSDBGrid1->editingCell().column()).caption);
    const Messenger::Answer answer = m_messenger.ask(
        QStringLiteral("The value typed in %1 has not been saved. Close the window and discard it?").arg(column),
        QStringLiteral("NOT SAVED"), Messenger::Icon::Question, Messenger::Buttons::YesNo);
    if (answer == Messenger::Answer::Yes) {
        SSDBGrid1->discardEditing();
        return true;
    }
    SSDBGrid1->focusRefusedEditor();
    return false;
}

void frmUncomputedReadings::Form_Unload()
{
    audit(QStringLiteral("Edit existing readings form unloaded for account ") + ReadingsAccNo);
    Data1->release();
}
