#include "journal/widgets/frmHistory.h"

#include "app/HistoryModule.h"
#include "app/Waits.h"
#include "journal/CodeBalanceModel.h"
#include "journal/widgets/JournalGrid.h"
#include "journal/JournalCaptions.h"
#include "journal/JournalLoader.h"
#include "journal/JournalModel.h"
#include "platform/Messenger.h"
#include "platform/widgets/CommandButton.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

namespace {

// Design layout, in twips.
constexpr int gridLeft = 120;
constexpr int gridTop = 960;
constexpr int gridHeight = 4095;
constexpr int buttonHeight = 375;
constexpr int exitWidth = 1125;
constexpr int pageWidth = 500;
constexpr int designHeight = 6360;
constexpr int minimumGridHeight = 1000;

} // namespace

frmHistory::frmHistory(HistoryModule& module, Messenger& messenger, Navigator& navigator, QWidget* parent)
    : SuiteWindow(module, messenger, QStringLiteral("frmHistory"), parent)
    , m_navigator(navigator)
{
    createControls();
    // Narrower or lower than this and the buttons would overlap. Rounded down, so a
    // window at its minimum still saves the design width.
    setMinimumSize(JournalViewSettings::MinimumWidthTwips * logicalDpiX() / 1440,
                   twipsToPixels(designHeight - gridHeight + minimumGridHeight));
    resize(twipsToPixels(JournalViewSettings::MinimumWidthTwips), twipsToPixels(designHeight));
}

void frmHistory::createControls()
{
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    // Labels show stored text as it is: a name holding markup is no markup.
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAutoFillBackground(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label2->setGeometry(twipsToPixels(gridLeft), twipsToPixels(120), twipsToPixels(10890), twipsToPixels(855));

    m_model = new JournalModel(this);
    grd = new JournalGrid(this);
    grd->setObjectName(QStringLiteral("grd"));
    grd->setModel(m_model);
    grd->resetColumns();

    m_balanceModel = new CodeBalanceModel(this);
    grdbal = new QTableView(this);
    grdbal->setObjectName(QStringLiteral("grdbal"));
    grdbal->setModel(m_balanceModel);
    grdbal->setFont(grd->font());
    grdbal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdbal->verticalHeader()->setVisible(false);
    grdbal->verticalHeader()->setDefaultSectionSize(grd->lineHeight());
    grdbal->hide();
    grdbalCaption = new QLabel(QStringLiteral("Code balances on "), this);
    grdbalCaption->setObjectName(QStringLiteral("grdbalCaption"));
    grdbalCaption->setTextFormat(Qt::PlainText);
    grdbalCaption->setAutoFillBackground(true);
    grdbalCaption->hide();

    Data1 = new QLabel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setTextFormat(Qt::PlainText);

    createButtons();
    connectCommands();
}

void frmHistory::createButtons()
{
    cmdComment = makeCommandButton(this, "cmdComment", QStringLiteral("Add New Comment"));
    cmdShowPrev =
        makeCommandButton(this, "cmdShowPrev", QStringLiteral("Show Previous Readings"),
                          QStringLiteral("Showprevious reading column (reduces width of description column)/hide "
                                         "previous reading column (increased width of description column)"));
    cmdApplyMult =
        makeCommandButton(this, "cmdApplyMult", QStringLiteral("Apply Multiplier to Readings"),
                          QStringLiteral("Apply readings multiplier to show all trailing zeros/Remove readings "
                                         "multiplier to show readings as entered (multiplier appears in "
                                         "description column)"));
    cmdHideCom =
        makeCommandButton(this, "cmdHideCom", QStringLiteral("Hide Comments"),
                          QStringLiteral("Hide comment records that were added using the Add New Comment button"));
    cmdPmts =
        makeCommandButton(this, "cmdPmts", QStringLiteral("Consolidate Payments"),
                          QStringLiteral("Consolidate each payment into just one record each/Distribute each payment "
                                         "to show code distribution"));
    cmdBals = makeCommandButton(this, "cmdBals", QStringLiteral("View Balances"),
                                QStringLiteral("Display a smaller grid with balances for all codes on the Bill Date "
                                               "selected in the journal grid"));
    cmdPrint = makeCommandButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdPrev = makeCommandButton(this, "cmdPrev", QStringLiteral("<"));
    cmdNext = makeCommandButton(this, "cmdNext", QStringLiteral(">"));
    cmdExit = makeCommandButton(
        this, "cmdExit", QStringLiteral("E&xit"), QStringLiteral("Close this history journal display"));
}

bool frmHistory::Form_Load()
{
    cmdComment->setText(JournalCaptions::addComment());
    cmdShowPrev->setText(JournalCaptions::showPrevious());
    cmdApplyMult->setText(JournalCaptions::applyMultiplier());
    cmdHideCom->setText(JournalCaptions::hideComments());
    cmdPmts->setText(JournalCaptions::consolidatePayments());

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // jurn is written when the printed journal reads it, not while the clerk waits.
    JournalLoader::Result loaded = JournalLoader::load(
        m_module, m_flags, Label2->text(), JournalLoader::SavedView::Apply, JournalBuilder::TableWrite::Later);
    QApplication::restoreOverrideCursor();
    m_pendingTable.rebuilt(loaded.build.unwritten);

    printRange = loaded.printRange;
    applyLoadedSettings(loaded.settings);
    // The flags outlive a reload; the captions must name what a click will do to them.
    cmdHideCom->setText(m_flags.HideComments ? JournalCaptions::showComments() : JournalCaptions::hideComments());
    cmdPmts->setText(m_flags.ConsolidatePayments ? JournalCaptions::distributePayments()
                                                 : JournalCaptions::consolidatePayments());
    if (!loaded.extraction.outcome) {
        m_module.NoHistory = -1;
        m_model->clear();
        Data1_Reposition();
        m_messenger.tell(
            loaded.extraction.outcome.message(), QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return true;
    }
    if (!loaded.extraction.missing.isEmpty() && loaded.extraction.missing != m_missingTold) {
        m_missingTold = loaded.extraction.missing;
        m_messenger.tell(AccountExtraction::missingMessage(m_module.billingName(), m_missingTold),
                         QStringLiteral("INCOMPLETE JOURNAL"), Messenger::Icon::Warning);
    }

    SearchCount = loaded.SearchCount;
    cmdPrev->setVisible(SearchCount >= 2);
    cmdNext->setVisible(SearchCount >= 2);
    Label2->setText(loaded.header.label);
    if (loaded.header.hasCustomer) {
        AccNo = loaded.header.AccNo;
        LookupName = loaded.header.LookupName;
        setWindowTitle(loaded.header.windowTitle);
        QPalette palette = Label2->palette();
        palette.setColor(QPalette::Window,
                         loaded.header.active ? QApplication::palette().color(QPalette::Button) : QColor(255, 0, 0));
        Label2->setPalette(palette);
    }
    grdbal->hide();
    grdbalCaption->hide();
    m_balances = CodeBalances();

    if (pixelsToTwips(width()) < JournalViewSettings::MinimumWidthTwips)
        resize(twipsToPixels(JournalViewSettings::MinimumWidthTwips), height());
    grd->resetColumns();
    placeButtons();
    applyPreviousReadingsLayout();

    if (!loaded.build.outcome) {
        m_model->clear();
        m_messenger.tell(loaded.build.outcome.message(), QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return true;
    }
    if (loaded.build.NoHistory) {
        // A reload onto an account without history shows an empty journal; the
        // buttons keep working on it.
        m_model->clear();
        Data1_Reposition();
        m_messenger.tell(QStringLiteral("No history records exist for this customer."), QStringLiteral("NOTHING TO DO"),
                         Messenger::Icon::Information);
        return true;
    }
    cmdApplyMult->setText(m_flags.MultApplied ? JournalCaptions::removeMultiplier()
                                              : JournalCaptions::applyMultiplier());
    LongestDescr = loaded.build.LongestDescr;
    m_model->setRows(std::move(loaded.rows));
    fitColumns();
    SizeJournalRows();
    RefreshJournalGrid();
    return true;
}

void frmHistory::applyLoadedSettings(const std::optional<JournalViewSettings>& settings)
{
    if (!settings)
        return;
    if (settings->ShowPrevReadings)
        cmdShowPrev->setText(JournalCaptions::hidePrevious());
    if (settings->ConsolidatePayments)
        cmdPmts->setText(JournalCaptions::distributePayments());
    if (settings->MultApplied)
        cmdApplyMult->setText(JournalCaptions::removeMultiplier());
    if (settings->HideComments)
        cmdHideCom->setText(JournalCaptions::showComments());
    resize(twipsToPixels(settings->widthTwips), height());
}

void frmHistory::applyPreviousReadingsLayout()
{
    const bool show = m_flags.ShowPrevReadings != 0;
    cmdShowPrev->setText(show ? JournalCaptions::hidePrevious() : JournalCaptions::showPrevious());
    grd->showPreviousColumn(show);
    fitColumns();
}

void frmHistory::fitColumns()
{
    // DESCRIPTION takes what the window has beyond its design width.
    grd->fitColumns(m_model->rows(), width() - twipsToPixels(JournalViewSettings::MinimumWidthTwips));
}

void frmHistory::SizeJournalRows()
{
    grd->sizeRows(LongestDescr);
}

void frmHistory::RefreshJournalGrid()
{
    const int last = m_model->rowCount() - 1;
    if (last < 0) {
        Data1_Reposition();
        return;
    }
    grd->clearSelection();
    // Moving to the last row runs the row-change duties even when it already was current.
    if (grd->currentIndex().row() == last)
        Data1_Reposition();
    grd->selectionModel()->setCurrentIndex(m_model->index(last, 0), QItemSelectionModel::NoUpdate);
    grd->keepNewestRowsInView();
}

void frmHistory::placeButtons()
{
    const int gridWidth = pixelsToTwips(width()) - 400;
    grd->setGeometry(twipsToPixels(gridLeft), twipsToPixels(gridTop), twipsToPixels(gridWidth),
                     std::max(twipsToPixels(minimumGridHeight), height() - twipsToPixels(designHeight - gridHeight)));
    const int right = gridLeft + gridWidth;
    const int row1 = pixelsToTwips(grd->geometry().bottom()) + 100;
    const int rowHeight = std::max(buttonHeight, pixelsToTwips(cmdExit->sizeHint().height()));
    const int row2 = row1 + rowHeight + 45;
    auto place = [this](QWidget* w, int left, int top, int widthTwips) {
        w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(widthTwips),
                       std::max(twipsToPixels(buttonHeight), w->sizeHint().height()));
    };
    place(cmdComment, gridLeft, row1, 1950);
    place(cmdShowPrev, gridLeft + 2010, row1, 2500);
    place(cmdApplyMult, gridLeft + 4570, row1, 3100);
    place(cmdBals, gridLeft + 7730, row1, 1500);
    place(cmdHideCom, gridLeft, row2, 1950);
    place(cmdPmts, gridLeft + 2010, row2, 2500);
    place(cmdPrint, gridLeft + 4570, row2, 1200);
    place(Data1, gridLeft + 5830, row2, 1500);
    place(cmdPrev, right - exitWidth, row1, pageWidth);
    place(cmdNext, right - pageWidth, row1, pageWidth);
    place(cmdExit, right - exitWidth, row2, exitWidth);
    // The balance grid stands over the right-hand part of the journal.
    const int balanceWidth = std::min(5400, gridWidth);
    place(grdbalCaption, right - balanceWidth, gridTop, balanceWidth);
    grdbal->setGeometry(twipsToPixels(right - balanceWidth), grdbalCaption->geometry().bottom() + 1,
                        twipsToPixels(balanceWidth), grdbal->height());
}

void frmHistory::resizeEvent(QResizeEvent* event)
{
    const QScrollBar* scroll = grd->verticalScrollBar();
    const bool atBottom = scroll->value() == scroll->maximum();
    QDialog::resizeEvent(event);
    placeButtons();
    fitColumns();
    SizeJournalRows();
    if (atBottom)
        grd->keepNewestRowsInView();
}

void frmHistory::Form_Activate()
{
    if (!Reloading && m_module.NoHistory && isVisible()) {
        Reloading = 0;
        reject();
        return;
    }
    Reloading = 0;
}

void frmHistory::Form_Unload()
{
    JournalViewSettings::write(m_module.ProgramFolder, m_flags, pixelsToTwips(width()));
    m_module.CloseWorkDb();
    m_module.CloseBillingDb();
    m_model->clear();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (m_module.JournalIsStartWindow == 1 && QFileInfo::exists(m_module.WorkDbPath)) {
        QFile::remove(m_module.WorkDbPath);
        Waits::WaitForFileGone(m_module.WorkDbPath);
    }
}
