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
#include <QScrollBar>
#include <QStyle>
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
constexpr int minimumGridHeight = 1000;
constexpr int minimumDescriptionWidth = 1200;
const int moneyColumns[] = {JournalModel::Charge, JournalModel::Payment, JournalModel::Balance};
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
    // Narrower or lower than this and the buttons would overlap. Rounded down, so a
    // window at its minimum still saves the design width.
    setMinimumSize(JournalViewSettings::MinimumWidthTwips * logicalDpiX() / 1440,
                   twipsToPixels(designHeight - gridHeight + minimumGridHeight));
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
    JournalLoader::Result loaded = JournalLoader::load(m_module, m_flags, Label2->text(), JournalLoader::SavedView::Apply);
    QApplication::restoreOverrideCursor();

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
        m_messenger.tell(loaded.extraction.outcome.message(), QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return;
    }
    if (!loaded.extraction.missing.isEmpty() && loaded.extraction.missing != m_missingTold) {
        m_missingTold = loaded.extraction.missing;
        m_messenger.tell(AccountExtraction::missingMessage(m_module.BillingDbPath, m_missingTold),
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

    if (!loaded.build.outcome) {
        m_model->clear();
        m_messenger.tell(loaded.build.outcome.message(), QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return;
    }
    if (loaded.build.NoHistory) {
        // A reload onto an account without history shows an empty journal; the
        // buttons keep working on it.
        m_model->clear();
        Data1_Reposition();
        m_messenger.tell(QStringLiteral("No history records exist for this customer."), QStringLiteral("NOTHING TO DO"),
                         Messenger::Icon::Information);
        return;
    }
    cmdApplyMult->setText(m_flags.MultApplied ? JournalCaptions::removeMultiplier() : JournalCaptions::applyMultiplier());
    LongestDescr = loaded.build.LongestDescr;
    m_model->setRows(std::move(loaded.rows));
    fitColumns();
    SizeJournalRows();
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
    setColumnWidthTwips(JournalModel::Previous, show ? 900 : 0);
    fitColumns();
}

void frmHistory::fitColumns()
{
    // An amount shown in part is a wrong amount: each money column is widened to its
    // widest text (every digit as wide as the widest digit, which no sign or point
    // exceeds). Measuring lengths, not every row, keeps this fast on long journals.
    const QFontMetrics metrics(grd->font());
    const int padding = 2 * (grd->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grd) + 1) + 4;
    int moneyExtra = 0;
    for (const int column : moneyColumns) {
        qsizetype longest = 0;
        for (const JournalRow& row : m_model->rows())
            longest = std::max(longest, JournalModel::displayText(row, column).size());
        const int design = twipsToPixels(columnWidths[column]);
        const int needed = metrics.horizontalAdvance(QString(longest, QLatin1Char('0'))) + padding;
        grd->setColumnWidth(column, std::max(design, needed));
        moneyExtra += std::max(0, needed - design);
    }
    // DESCRIPTION takes what the window has beyond its design width and gives up
    // what the amounts took, so BALANCE stays in view.
    const int designWidth = m_flags.ShowPrevReadings ? 2200 : 3100;
    const int extra = width() - twipsToPixels(JournalViewSettings::MinimumWidthTwips) - moneyExtra;
    grd->setColumnWidth(JournalModel::Description,
                        std::max(twipsToPixels(minimumDescriptionWidth), twipsToPixels(designWidth) + extra));
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

void frmHistory::keepNewestRowsInView()
{
    // The scroll range follows new row heights only once the view is laid out again.
    grd->doItemsLayout();
    grd->scrollToBottom();
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
    keepNewestRowsInView();
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
        keepNewestRowsInView();
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
    // An activation that reaches us while a message box of ours is up (a window
    // manager may send one) is not the window becoming active: Reloading must last
    // until the window itself is back.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this)
        return;
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
