#include "journal/frmHistory.h"

#include "app/HistoryModule.h"
#include "app/Waits.h"
#include "journal/CodeBalanceModel.h"
#include "journal/JournalGrid.h"
#include "journal/JournalCaptions.h"
#include "journal/JournalLoader.h"
#include "journal/frmHistoryComment.h"
#include "readings/frmUncomputedReadings.h"
#include "journal/JournalModel.h"
#include "platform/Messenger.h"
#include "platform/Twips.h"
#include "platform/CommandButton.h"

#include <QApplication>
#include <QFontMetrics>
#include <cmath>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

// Design layout, in twips.
constexpr int gridLeft = 120;
constexpr int gridTop = 960;
constexpr int gridHeight = 4095;
constexpr int buttonHeight = 375;
constexpr int exitWidth = 1125;
constexpr int pageWidth = 500;
constexpr int designHeight = 6360;
const int columnWidths[] = {1000, 1000, 800, 3100, 0, 900, 800, 900, 900, 900, 0};


} // namespace

frmHistory::frmHistory(HistoryModule& module, Messenger& messenger, QWidget* parent)
    : QDialog(parent)
    , m_module(module)
    , m_messenger(messenger)
{
    setObjectName(QStringLiteral("frmHistory"));
    showReadings = [this](HistoryModule& account) {
        frmUncomputedReadings readings(account, m_messenger, this);
        readings.exec();
    };
    showComment = [this](HistoryModule& account) {
        frmHistoryComment comment(account, m_messenger, this);
        comment.exec();
    };
    createControls();
    resize(twipsToPixels(JournalViewSettings::MinimumWidthTwips), twipsToPixels(designHeight));
}

int frmHistory::twipsToPixels(int twips) const
{
    return Twips::toPixels(twips, logicalDpiX());
}

int frmHistory::pixelsToTwips(int pixels) const
{
    return Twips::fromPixels(pixels, logicalDpiX());
}

void frmHistory::createControls()
{
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAutoFillBackground(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label2->setGeometry(twipsToPixels(gridLeft), twipsToPixels(120), twipsToPixels(10890), twipsToPixels(855));

    m_model = new JournalModel(this);
    grd = new JournalGrid(this);
    grd->setObjectName(QStringLiteral("grd"));
    grd->setModel(m_model);
    grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd->setWordWrap(true);
    grd->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grd->horizontalHeader()->setHighlightSections(false);
    // The suite's grid is set in a small face so the columns' twip widths hold a date.
    QFont gridFont = grd->font();
    gridFont.setPointSizeF(7.5);
    grd->setFont(gridFont);
    grd->horizontalHeader()->setFont(gridFont);
    m_lineHeight = QFontMetrics(gridFont).lineSpacing() + 4;

    m_balanceModel = new CodeBalanceModel(this);
    grdbal = new QTableView(this);
    grdbal->setObjectName(QStringLiteral("grdbal"));
    grdbal->setModel(m_balanceModel);
    grdbal->setFont(gridFont);
    grdbal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdbal->verticalHeader()->setVisible(false);
    grdbal->verticalHeader()->setDefaultSectionSize(m_lineHeight);
    grdbal->hide();
    grdbalCaption = new QLabel(QStringLiteral("Code balances on "), this);
    grdbalCaption->setObjectName(QStringLiteral("grdbalCaption"));
    grdbalCaption->setAutoFillBackground(true);
    grdbalCaption->hide();

    Data1 = new QLabel(this);
    Data1->setObjectName(QStringLiteral("Data1"));

    createButtons();
    connectCommands();
}

void frmHistory::createButtons()
{
    cmdComment = makeCommandButton(this, "cmdComment", QStringLiteral("Add New Comment"));
    cmdShowPrev = makeCommandButton(this, "cmdShowPrev", QStringLiteral("Show Previous Readings"),
                             QStringLiteral("Showprevious reading column (reduces width of description column)/hide "
                                            "previous reading column (increased width of description column)"));
    cmdApplyMult = makeCommandButton(this, "cmdApplyMult", QStringLiteral("Apply Multiplier to Readings"),
                              QStringLiteral("Apply readings multiplier to show all trailing zeros/Remove readings "
                                             "multiplier to show readings as entered (multiplier appears in "
                                             "description column)"));
    cmdHideCom = makeCommandButton(this, "cmdHideCom", QStringLiteral("Hide Comments"),
                            QStringLiteral("Hide comment records that were added using the Add New Comment button"));
    cmdPmts = makeCommandButton(this, "cmdPmts", QStringLiteral("Consolidate Payments"),
                         QStringLiteral("Consolidate each payment into just one record each/Distribute each payment "
                                        "to show code distribution"));
    cmdBals = makeCommandButton(this, "cmdBals", QStringLiteral("View Balances"),
                         QStringLiteral("Display a smaller grid with balances for all codes on the Bill Date "
                                        "selected in the journal grid"));
    cmdPrint = makeCommandButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdPrev = makeCommandButton(this, "cmdPrev", QStringLiteral("<"));
    cmdNext = makeCommandButton(this, "cmdNext", QStringLiteral(">"));
    cmdExit = makeCommandButton(this, "cmdExit", QStringLiteral("E&xit"), QStringLiteral("Close this history journal display"));
}

void frmHistory::Form_Load()
{
    cmdComment->setText(JournalCaptions::addComment());
    cmdShowPrev->setText(JournalCaptions::showPrevious());
    cmdApplyMult->setText(JournalCaptions::applyMultiplier());
    cmdHideCom->setText(JournalCaptions::hideComments());
    cmdPmts->setText(JournalCaptions::consolidatePayments());

    QApplication::setOverrideCursor(Qt::WaitCursor);
    JournalLoader::Result loaded = JournalLoader::load(m_module, m_flags, Label2->text());
    QApplication::restoreOverrideCursor();

    printRange = loaded.printRange;
    applyLoadedSettings(loaded.settings);
    // The flags outlive a reload; the captions must name what a click will do to them.
    cmdHideCom->setText(m_flags.HideComments ? JournalCaptions::showComments() : JournalCaptions::hideComments());
    cmdPmts->setText(m_flags.ConsolidatePayments ? JournalCaptions::distributePayments()
                                                 : JournalCaptions::consolidatePayments());
    if (!loaded.extraction.ok) {
        m_module.NoHistory = -1;
        m_model->clear();
        m_messenger.tell(loaded.extraction.error, QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return;
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
        palette.setColor(QPalette::Window, loaded.header.active ? QApplication::palette().color(QPalette::Button)
                                                                : QColor(255, 0, 0));
        Label2->setPalette(palette);
    }
    grdbal->hide();
    grdbalCaption->hide();
    m_balances = CodeBalances();

    if (pixelsToTwips(width()) < JournalViewSettings::MinimumWidthTwips)
        resize(twipsToPixels(JournalViewSettings::MinimumWidthTwips), height());
    for (int column = 0; column < JournalModel::ColumnCount; ++column)
        setColumnWidthTwips(column, columnWidths[column]);
    placeButtons();
    applyPreviousReadingsLayout();

    if (!loaded.build.error.isEmpty()) {
        m_model->clear();
        m_messenger.tell(loaded.build.error, QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return;
    }
    if (loaded.build.NoHistory) {
        // A reload onto an account without history shows an empty journal; the
        // buttons keep working on it.
        m_model->clear();
        m_messenger.tell(QStringLiteral("No history records exist for this customer."), QStringLiteral("NOTHING TO DO"),
                         Messenger::Icon::Information);
        return;
    }
    cmdApplyMult->setText(m_flags.MultApplied ? JournalCaptions::removeMultiplier() : JournalCaptions::applyMultiplier());
    LongestDescr = loaded.build.LongestDescr;
    SizeJournalRows();
    m_model->setRows(std::move(loaded.rows));
    RefreshJournalGrid();
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
    setColumnWidthTwips(JournalModel::Description, show ? 2200 : 3100);
    setColumnWidthTwips(JournalModel::Previous, show ? 900 : 0);
}

void frmHistory::setColumnWidthTwips(int column, int twips)
{
    grd->setColumnHidden(column, twips == 0);
    if (twips > 0)
        grd->setColumnWidth(column, twipsToPixels(twips));
}

int frmHistory::columnWidthTwips(int column) const
{
    return grd->isColumnHidden(column) ? 0 : pixelsToTwips(grd->columnWidth(column));
}

float frmHistory::rowHeightTwips() const
{
    return JournalBuilder::rowHeightTwips(LongestDescr, columnWidthTwips(JournalModel::Description));
}

void frmHistory::SizeJournalRows()
{
    const float height = rowHeightTwips();
    // 300 twips is one line of the grid's text; 0 (no long description) means one line.
    const int lines = std::max(1, static_cast<int>(std::ceil(height / 300.0f)));
    grd->verticalHeader()->setMinimumSectionSize(1);
    grd->verticalHeader()->setDefaultSectionSize(lines * m_lineHeight);
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
    grd->scrollToBottom();
}

void frmHistory::placeButtons()
{
    const int gridWidth = pixelsToTwips(width()) - 400;
    grd->setGeometry(twipsToPixels(gridLeft), twipsToPixels(gridTop), twipsToPixels(gridWidth),
                     std::max(twipsToPixels(1000), height() - twipsToPixels(designHeight - gridHeight)));
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
    QDialog::resizeEvent(event);
    placeButtons();
}

bool frmHistory::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) {
        // Activation runs once the window is up, not inside the show itself.
        if (!m_activationPending) {
            m_activationPending = true;
            QTimer::singleShot(0, this, [this] {
                m_activationPending = false;
                Form_Activate();
            });
        }
    }
    return handled;
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

void frmHistory::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmHistory::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
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
