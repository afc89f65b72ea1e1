#include "journal/frmHistory.h"

#include "app/HistoryModule.h"
#include "app/Waits.h"
#include "journal/JournalLoader.h"
#include "journal/JournalModel.h"
#include "platform/Messenger.h"
#include "platform/Twips.h"

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

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmHistory::frmHistory(HistoryModule& module, Messenger& messenger, QWidget* parent)
    : QDialog(parent)
    , m_module(module)
    , m_messenger(messenger)
{
    setObjectName(QStringLiteral("frmHistory"));
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
    grd = new QTableView(this);
    grd->setObjectName(QStringLiteral("grd"));
    grd->setModel(m_model);
    grd->setSelectionBehavior(QAbstractItemView::SelectRows);
    grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd->setWordWrap(true);
    grd->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grd->verticalHeader()->setVisible(false);
    grd->horizontalHeader()->setHighlightSections(false);
    // The suite's grid is set in a small face so the columns' twip widths hold a date.
    QFont gridFont = grd->font();
    gridFont.setPointSizeF(7.5);
    grd->setFont(gridFont);
    grd->horizontalHeader()->setFont(gridFont);
    m_lineHeight = QFontMetrics(gridFont).lineSpacing() + 4;

    grdbal = new QTableView(this);
    grdbal->setObjectName(QStringLiteral("grdbal"));
    grdbal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdbal->hide();

    Data1 = new QLabel(this);
    Data1->setObjectName(QStringLiteral("Data1"));

    cmdComment = makeButton(this, "cmdComment", QStringLiteral("Add New Comment"));
    cmdShowPrev = makeButton(this, "cmdShowPrev", QStringLiteral("Show Previous Readings"),
                             QStringLiteral("Showprevious reading column (reduces width of description column)/hide "
                                            "previous reading column (increased width of description column)"));
    cmdApplyMult = makeButton(this, "cmdApplyMult", QStringLiteral("Apply Multiplier to Readings"),
                              QStringLiteral("Apply readings multiplier to show all trailing zeros/Remove readings "
                                             "multiplier to show readings as entered (multiplier appears in "
                                             "description column)"));
    cmdHideCom = makeButton(this, "cmdHideCom", QStringLiteral("Hide Comments"),
                            QStringLiteral("Hide comment records that were added using the Add New Comment button"));
    cmdPmts = makeButton(this, "cmdPmts", QStringLiteral("Consolidate Payments"),
                         QStringLiteral("Consolidate each payment into just one record each/Distribute each payment "
                                        "to show code distribution"));
    cmdBals = makeButton(this, "cmdBals", QStringLiteral("View Balances"),
                         QStringLiteral("Display a smaller grid with balances for all codes on the Bill Date "
                                        "selected in the journal grid"));
    cmdPrint = makeButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdPrev = makeButton(this, "cmdPrev", QStringLiteral("<"));
    cmdNext = makeButton(this, "cmdNext", QStringLiteral(">"));
    cmdExit = makeButton(this, "cmdExit", QStringLiteral("E&xit"), QStringLiteral("Close this history journal display"));
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

void frmHistory::Form_Load()
{
    // Captions name the action a button takes next; the settings file may turn some on.
    cmdComment->setText(QStringLiteral("Add New Comment"));
    cmdShowPrev->setText(QStringLiteral("Show Previous Readings"));
    cmdApplyMult->setText(QStringLiteral("Apply Multiplier to Readings"));
    cmdHideCom->setText(QStringLiteral("Hide Comments"));
    cmdPmts->setText(QStringLiteral("Consolidate Payments"));

    QApplication::setOverrideCursor(Qt::WaitCursor);
    JournalLoader::Result loaded = JournalLoader::load(m_module, m_flags, Label2->text());
    QApplication::restoreOverrideCursor();

    printRange = loaded.printRange;
    if (loaded.settings) {
        if (loaded.settings->ShowPrevReadings)
            cmdShowPrev->setText(QStringLiteral("Hide Previous Readings"));
        if (loaded.settings->ConsolidatePayments)
            cmdPmts->setText(QStringLiteral("Distribute Payments"));
        if (loaded.settings->MultApplied)
            cmdApplyMult->setText(QStringLiteral("Remove Multiplier from Readings"));
        if (loaded.settings->HideComments)
            cmdHideCom->setText(QStringLiteral("Show Comments"));
        resize(twipsToPixels(loaded.settings->widthTwips), height());
    }
    if (!loaded.extraction.ok) {
        m_module.NoHistory = -1;
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

    if (pixelsToTwips(width()) < JournalViewSettings::MinimumWidthTwips)
        resize(twipsToPixels(JournalViewSettings::MinimumWidthTwips), height());
    for (int column = 0; column < JournalModel::ColumnCount; ++column)
        setColumnWidthTwips(column, columnWidths[column]);
    placeButtons();
    applyPreviousReadingsLayout();

    if (!loaded.build.NoHistory) {
        cmdApplyMult->setText(m_flags.MultApplied ? QStringLiteral("Remove Multiplier from Readings")
                                                  : QStringLiteral("Apply Multiplier to Readings"));
        LongestDescr = loaded.build.LongestDescr;
        SizeJournalRows();
    }
    if (loaded.build.NoHistory) {
        m_messenger.tell(QStringLiteral("No history records exist for this customer."), QStringLiteral("NOTHING TO DO"),
                         Messenger::Icon::Information);
        return;
    }
    m_model->setRows(std::move(loaded.rows));
    RefreshJournalGrid();
}

void frmHistory::applyPreviousReadingsLayout()
{
    const bool show = m_flags.ShowPrevReadings != 0;
    cmdShowPrev->setText(show ? QStringLiteral("Hide Previous Readings") : QStringLiteral("Show Previous Readings"));
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

void frmHistory::SizeJournalRows()
{
    const float height = JournalBuilder::rowHeightTwips(LongestDescr, columnWidthTwips(JournalModel::Description));
    // 300 twips is one line of the grid's text; 0 (no long description) means one line.
    const int lines = std::max(1, static_cast<int>(std::ceil(height / 300.0f)));
    grd->verticalHeader()->setMinimumSectionSize(1);
    grd->verticalHeader()->setDefaultSectionSize(lines * m_lineHeight);
}

void frmHistory::RefreshJournalGrid()
{
    const int last = m_model->rowCount() - 1;
    if (last < 0)
        return;
    grd->selectRow(last);
    grd->setCurrentIndex(m_model->index(last, 0));
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
