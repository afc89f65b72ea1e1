// The journal window's commands: view switches, paging, balances, comments and
// the reading double-click. Layout, load and unload are in frmHistory.cpp.
#include "journal/widgets/frmHistory.h"

#include "app/HistoryModule.h"
#include "app/Navigator.h"
#include "journal/AccountPaging.h"
#include "journal/CodeBalanceModel.h"
#include "journal/JournalBuilder.h"
#include "journal/JournalCaptions.h"
#include "journal/JournalLoader.h"
#include "journal/widgets/JournalGrid.h"
#include "journal/JournalModel.h"
#include "journal/widgets/JournalPrinting.h"
#include "platform/DateText.h"
#include "platform/Messenger.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

void frmHistory::connectCommands()
{
    connect(cmdHideCom, &QPushButton::clicked, this, &frmHistory::cmdHideCom_Click);
    connect(cmdPmts, &QPushButton::clicked, this, &frmHistory::cmdPmts_Click);
    connect(cmdApplyMult, &QPushButton::clicked, this, &frmHistory::cmdApplyMult_Click);
    connect(cmdShowPrev, &QPushButton::clicked, this, &frmHistory::cmdShowPrev_Click);
    connect(cmdPrev, &QPushButton::clicked, this, &frmHistory::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmHistory::cmdNext_Click);
    connect(cmdBals, &QPushButton::clicked, this, &frmHistory::cmdBals_Click);
    connect(cmdComment, &QPushButton::clicked, this, &frmHistory::cmdComment_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmHistory::cmdPrint_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(grd, &QTableView::doubleClicked, this, &frmHistory::grd_DblClick);
    connect(grd->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmHistory::Data1_Reposition);
}

void frmHistory::rebuildJournal()
{
    std::vector<JournalRow> rows;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const JournalBuilder::Result built = JournalLoader::rebuild(m_module, m_flags, rows);
    QApplication::restoreOverrideCursor();
    if (!built.outcome)
        m_messenger.tell(built.outcome.message(), QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
    if (!built.NoHistory) {
        cmdApplyMult->setText(m_flags.MultApplied ? JournalCaptions::removeMultiplier()
                                                  : JournalCaptions::applyMultiplier());
        LongestDescr = built.LongestDescr;
        SizeJournalRows();
    }
    m_pendingTable.rebuilt(built.unwritten);
    m_model->setRows(std::move(rows));
    fitColumns();
    SizeJournalRows();
    RefreshJournalGrid();
}

void frmHistory::cmdHideCom_Click()
{
    const bool hide = cmdHideCom->text() == JournalCaptions::hideComments();
    m_flags.HideComments = hide ? JournalFlags::True : JournalFlags::False;
    cmdHideCom->setText(hide ? JournalCaptions::showComments() : JournalCaptions::hideComments());
    rebuildJournal();
}

void frmHistory::cmdPmts_Click()
{
    const bool consolidate = cmdPmts->text() == JournalCaptions::consolidatePayments();
    m_flags.ConsolidatePayments = consolidate ? JournalFlags::True : JournalFlags::False;
    cmdPmts->setText(consolidate ? JournalCaptions::distributePayments() : JournalCaptions::consolidatePayments());
    rebuildJournal();
}

void frmHistory::cmdApplyMult_Click()
{
    const bool apply = cmdApplyMult->text() == JournalCaptions::applyMultiplier();
    m_flags.MultApplied = apply ? JournalFlags::True : JournalFlags::False;
    cmdApplyMult->setText(apply ? JournalCaptions::removeMultiplier() : JournalCaptions::applyMultiplier());
    // The reading rows are rescaled in place; the rest of the journal stays as it is.
    const JournalMultiplier::Step step = apply ? JournalMultiplier::Step::Apply : JournalMultiplier::Step::Remove;
    m_model->editRows([step](std::vector<JournalRow>& rows) { return JournalMultiplier::rescale(rows, step); });
    m_pendingTable.switched(step);
    RefreshJournalGrid();
}

void frmHistory::cmdShowPrev_Click()
{
    m_flags.ShowPrevReadings =
        cmdShowPrev->text() == JournalCaptions::showPrevious() ? JournalFlags::True : JournalFlags::False;
    applyPreviousReadingsLayout();
    SizeJournalRows();
    RefreshJournalGrid();
}

void frmHistory::cmdPrev_Click()
{
    page(true);
}

void frmHistory::cmdNext_Click()
{
    page(false);
}

void frmHistory::page(bool previous)
{
    Reloading = JournalFlags::True;
    if (m_module.OpenWorkDb()) {
        const AccountPaging::Step step =
            AccountPaging::step(m_module.WorkDb, m_module.CustKey, m_module.LocKey,
                                previous ? AccountPaging::Direction::Previous : AccountPaging::Direction::Next);
        m_module.CloseWorkDb();
        if (step.reachedFirst)
            m_messenger.tell(QStringLiteral("You have reached the first customer account history."),
                             QStringLiteral("FIRST RECORD"), Messenger::Icon::Information);
        m_module.CustKey = step.CustKey;
        m_module.LocKey = step.LocKey;
    }
    Form_Load();
}

void frmHistory::cmdBals_Click()
{
    if (cmdBals->text().startsWith(QLatin1String("View"))) {
        cmdBals->setText(JournalCaptions::hideBalances());
        ShowBalances = JournalFlags::True;
        ShowCodeBalances();
    } else {
        cmdBals->setText(JournalCaptions::viewBalances());
        ShowBalances = JournalFlags::False;
        grdbal->hide();
        grdbalCaption->hide();
    }
}

void frmHistory::ShowCodeBalances()
{
    if (!ShowBalances)
        return;
    // A row without a posting date has no "as of": the grid stays as it was.
    const std::optional<QDate> asOf = DateText::parse(Data1->text());
    if (!asOf)
        return;
    if (!m_balances.isLoaded())
        m_balances = JournalLoader::loadBalances(m_module);
    CodeBalances::Table table = m_balances.compute(*asOf);
    if (table.hasTotal)
        grdbalCaption->setText(QStringLiteral("Code balance on ") + Data1->text() + QStringLiteral("  TOTAL: ")
                               + table.total.toDollars());
    if (m_module.OpenWorkDb()) {
        CodeBalances::store(m_module.WorkDb, table, m_module.CustKey, m_module.LocKey);
        m_module.CloseWorkDb();
    }
    m_balanceModel->setTable(std::move(table));
    const int rows = m_balanceModel->rowCount() + 3;
    grdbal->setFixedHeight(std::min(rows * grd->lineHeight(), grd->height()));
    grdbal->resizeColumnsToContents();
    grdbalCaption->show();
    grdbalCaption->raise();
    grdbal->show();
    grdbal->raise();
}

void frmHistory::Data1_Reposition()
{
    const JournalRow* row = m_model->rowAt(grd->currentIndex().row());
    Data1->setText(row ? JournalModel::displayText(*row, JournalModel::PostDate) : QString());
    grdbalCaption->setText(QStringLiteral("Code balances on ") + Data1->text());
    m_module.SelectedDate = DateText::parse(Data1->text()).value_or(QDate());
    m_module.SelectedDescr = row ? row->descr : QString();
    if (ShowBalances) {
        ShowCodeBalances();
        cmdBals->setText(JournalCaptions::hideBalances());
    } else {
        cmdBals->setText(JournalCaptions::viewBalances());
    }
    cmdComment->setText(row && row->tcode.isEmpty() ? JournalCaptions::deleteComment() : JournalCaptions::addComment());
}

void frmHistory::cmdComment_Click()
{
    m_module.CommentDeleteMode = cmdComment->text() == JournalCaptions::addComment() ? 0 : 1;
    m_navigator.openComment(m_module, this);
    rebuildJournal();
    activateWhenActive();
}

void frmHistory::cmdPrint_Click()
{
    // The printed journal reads jurn: it must hold what the grid shows.
    if (const Outcome caughtUp = m_pendingTable.catchUp(m_module); !caughtUp) {
        m_messenger.tell(QStringLiteral("The journal cannot be printed: ") + caughtUp.message(),
                         QStringLiteral("CANNOT PRINT"), Messenger::Icon::Critical);
        return;
    }
    JournalPrintState state;
    state.PrintHeaderText = Label2->text();
    for (int column = 0; column < JournalPrintState::ColumnCount; ++column)
        state.PrintColWidth[static_cast<size_t>(column)] = static_cast<float>(grd->columnWidthTwips(column));
    // The height the rows have on screen: widening DESCRIPTION later does not shrink them.
    state.PrintRowHeight = static_cast<float>(pixelsToTwips(grd->verticalHeader()->defaultSectionSize()));
    const std::optional<int> moveTo = JournalPrinting::cmdPrint(
        m_module, m_messenger, state, grd->selectedRowsInOrder(), printRange, m_model->rows(), this);
    if (moveTo)
        grd->selectionModel()->setCurrentIndex(m_model->index(*moveTo, 0), QItemSelectionModel::NoUpdate);
}

void frmHistory::grd_DblClick()
{
    const JournalRow* row = m_model->rowAt(grd->currentIndex().row());
    if (!row || !DateText::parse(row->rdate))
        return;
    // The readings window learns whose readings it shows from this file.
    QFile identity(m_module.suiteFile(QStringLiteral("rdgsacct.txt")));
    if (!identity.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || identity.write((AccNo + QStringLiteral("\r\n") + LookupName + QStringLiteral("\r\n")).toUtf8()) < 0) {
        m_messenger.tell(QStringLiteral("The account file ") + identity.fileName()
                             + QStringLiteral(" could not be written: ") + identity.errorString(),
                         QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return;
    }
    identity.close();
    m_navigator.openReadings(m_module, this);
    Reloading = JournalFlags::True;
    Form_Load();
    activateWhenActive();
}
