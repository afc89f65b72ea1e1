#include "selection/widgets/frmHistorySelect.h"

#include "app/HistoryModule.h"
#include "app/Navigator.h"
#include "platform/Messenger.h"
#include "selection/AccountBalance.h"
#include "selection/widgets/BusyProgress.h"
#include "selection/widgets/KeyAscii.h"
#include "selection/widgets/SearchBoxInput.h"
#include "selection/SearchList.h"
#include "selection/SearchListModel.h"
#include "selection/SelectionSettings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QToolButton>

frmHistorySelect::frmHistorySelect(HistoryModule& module, Messenger& messenger, Navigator& navigator, QWidget* parent)
    : SuiteWindow(module, messenger, QStringLiteral("frmHistorySelect"), parent)
    , m_navigator(navigator)
    , m_model(new SearchListModel(this))
    , m_controls(this, m_model)
{
    setWindowTitle(QStringLiteral("Customer History"));
    connectControls();
}

frmHistorySelect::~frmHistorySelect() = default;

void frmHistorySelect::connectControls()
{
    const SelectionControls& c = m_controls;
    new SearchBoxInput(c.Text1,
                       {[this] { Text1_GotFocus(); },
                        [this](int keyAscii, const QString& text) { return Text1_KeyPress(keyAscii, text); },
                        [this](const QString& typed) { searchAsTyped(TypedText + typed); }});
    c.DBList1->installEventFilter(this);
    connect(c.opt, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            opt_Click(index);
    });
    connect(c.cmdFindFirst, &QPushButton::clicked, this, [this] {
        TypingSearch = false;
        FindInList(ListSearch::Direction::First);
    });
    connect(c.cmdFindNext, &QPushButton::clicked, this, [this] {
        TypingSearch = false;
        FindInList(ListSearch::Direction::Next);
    });
    connect(c.cmdFindPrev, &QPushButton::clicked, this, [this] { cmdFindPrev_Click(); });
    connect(c.DBList1, &QListView::clicked, this, [this] { DBList1_Click(); });
    connect(c.DBList1, &QListView::doubleClicked, this, [this] { openJournalFromList(true); });
    connect(c.DBList1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        // Mouse clicks arrive through clicked(); this follows the arrow keys.
        if (!m_highlighting && QGuiApplication::mouseButtons() == Qt::NoButton)
            DBList1_Click();
    });
    connect(c.Data1First, &QToolButton::clicked, this, [this] { moveTo(0); });
    connect(c.Data1Previous, &QToolButton::clicked, this, [this] { moveTo(std::max<qsizetype>(m_currentRow - 1, 0)); });
    connect(c.Data1Next, &QToolButton::clicked, this, [this] { moveTo(m_currentRow + 1); });
    connect(c.Data1Last, &QToolButton::clicked, this, [this] { moveTo(m_model->lines().size() - 1); });
    connect(c.cmdNext, &QPushButton::clicked, this, [this] { openJournalFromList(false); });
    connect(c.cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmHistorySelect::Form_Load()
{
    if (const std::optional<SelectionSettings> settings = SelectionSettings::read(m_module.ProgramFolder)) {
        SortIndex = settings->SortIndex.value_or(0);
        if (settings->searchText)
            m_controls.Text1->setText(*settings->searchText);
    } else {
        m_controls.opt->button(0)->setChecked(true);
    }
    QString error = SearchList::prepare(m_module).message();
    if (!error.isEmpty() || !BuildSearchList(SortIndex, &error)) {
        m_messenger.tell(error, QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
        return false;
    }
    LoadingOption = true;
    m_controls.opt->button(SortIndex)->setChecked(true);
    LoadingOption = false;
    return true;
}

bool frmHistorySelect::BuildSearchList(int index, QString* error)
{
    bool built = false;
    {
        BusyProgress busy(this, QStringLiteral("Building the account list..."));
        m_model->change([&](SearchLines& lines) {
            const Outcome made = SearchList::build(
                m_module, index, lines, [&busy] { busy.tick(); }, &m_writer);
            built = made.ok();
            *error = made.message();
        });
    }
    m_currentRow = m_model->lines().isEmpty() ? -1 : 0;
    if (!built && error->isEmpty())
        *error = QStringLiteral("The account list cannot be read from the work database ") + m_module.WorkDbPath;
    return built;
}

void frmHistorySelect::SortSearchList(int index)
{
    if (LoadingOption || m_model->lines().isEmpty())
        return;
    finishWriting();
    const int row = m_controls.highlightedRow();
    const int32_t highlighted = row < 0 ? -1 : m_model->lines().entryOf(row);
    m_model->change([&](SearchLines& lines) { SearchList::sort(index, lines); });
    // A refreshed list stands on its first row; the highlighted line stays highlighted.
    m_currentRow = 0;
    if (highlighted >= 0)
        highlightRow(m_model->lines().rowOf(highlighted));
}

void frmHistorySelect::finishWriting()
{
    if (!m_writer.started())
        return;
    Outcome written;
    {
        BusyProgress busy(this, QStringLiteral("Writing the account list..."));
        m_model->amend([&](SearchLines& lines) { written = m_writer.finish(lines, [&busy] { busy.tick(); }); });
    }
    if (!written)
        m_messenger.tell(written.message(), QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
}

void frmHistorySelect::ShowAccountBalance()
{
    AccountBalance balance;
    if (const Outcome shown = AccountBalance::show(m_module, listText(), balance); !shown) {
        m_messenger.tell(Outcome::cannotOpen(FaultText::BillingDatabase, m_module.billingName(), shown).message(),
                         QStringLiteral("TRY AGAIN"), Messenger::Icon::Critical);
        return;
    }
    m_controls.showBalance(balance.caption(), balance.inactive);
}

void frmHistorySelect::FindInList(ListSearch::Direction direction)
{
    const QString searched = TypingSearch ? TypedText : m_controls.Text1->text();
    const std::optional<int> index = selectedOption();
    if (!index)
        return;
    const SearchOption& option = *SearchOption::at(*index);
    const qsizetype found = ListSearch(option, searched, TypingSearch).find(m_model->lines(), direction, m_currentRow);
    if (found < 0) {
        m_currentRow = m_model->lines().isEmpty() ? -1 : 0;
        highlightRow(-1);
        m_controls.DBList1->scrollToTop();
        m_messenger.tell(option.notFoundMessage(searched), QStringLiteral("TRY AGAIN"), Messenger::Icon::Information);
        m_controls.Text1->setFocus();
        return;
    }
    m_currentRow = found;
    highlightRow(found);
    takeKeys(found);
    if (TypingSearch) {
        TypingSearch = false;
        m_controls.Text1->setFocus();
    } else {
        m_controls.DBList1->setFocus();
    }
}

void frmHistorySelect::cmdFindPrev_Click()
{
    TypingSearch = false;
    if (m_currentRow < 1) {
        m_messenger.tell(QStringLiteral("There is no previous search result to go back to."),
                         QStringLiteral("NOTHING TO DO"), Messenger::Icon::Information);
        return;
    }
    FindInList(ListSearch::Direction::Previous);
}

void frmHistorySelect::opt_Click(int index)
{
    // The search text restored at load survives the restored option's selection.
    if (!LoadingOption) {
        m_controls.Text1->clear();
        TypedText.clear(); // what is typed next searches alone, as the emptied box shows
    }
    SortSearchList(index);
    // Chosen with the mouse, the option leaves the keys to the search box; arrow keys
    // among the options keep them there.
    if (!LoadingOption && m_controls.opt->id(qobject_cast<QAbstractButton*>(QApplication::focusWidget())) < 0)
        m_controls.Text1->setFocus();
}

void frmHistorySelect::Text1_GotFocus()
{
    m_controls.Text1->selectAll();
    TypedText.clear();
}

bool frmHistorySelect::Text1_KeyPress(int keyAscii, const QString& text)
{
    if (keyAscii == 13) {
        if (m_currentRow > -1)
            openJournalFromList(false);
        else
            m_controls.cmdFindFirst->click();
        return true;
    }
    if (keyAscii < 32 && keyAscii != 8)
        return true;
    QString typed = TypedText;
    if (keyAscii == 8)
        typed.chop(1);
    else
        typed += text;
    searchAsTyped(typed);
    return false;
}

// Typed and pasted text search from the top for all typed so far.
void frmHistorySelect::searchAsTyped(const QString& typed)
{
    TypedText = typed;
    TypingSearch = true;
    FindInList(ListSearch::Direction::First);
    TypingSearch = false;
}

void frmHistorySelect::DBList1_Click()
{
    const qsizetype row = m_model->lines().findText(listText());
    if (row < 0)
        return;
    m_currentRow = row;
    takeKeys(row);
    ShowAccountBalance();
}

void frmHistorySelect::openJournalFromList(bool showBalanceFirst)
{
    const QString text = listText();
    if (text.isEmpty()) {
        m_messenger.tell(QStringLiteral("No customer has been selected from the list."), QStringLiteral("TRY AGAIN"),
                         Messenger::Icon::Information);
        return;
    }
    const qsizetype row = m_model->lines().findText(text);
    if (row < 0) {
        m_controls.Text1->setFocus();
        return;
    }
    m_currentRow = row;
    takeKeys(row);
    if (m_module.CustKey <= 0 || m_module.LocKey <= 0)
        return;
    if (showBalanceFirst)
        ShowAccountBalance();
    // The journal's paging and account count read histsrch.
    finishWriting();
    m_module.JournalIsStartWindow = 0;
    m_navigator.openJournal(m_module);
    activateWhenActive();
}

void frmHistorySelect::moveTo(qsizetype row)
{
    if (row < 0 || row >= m_model->lines().size())
        return;
    m_currentRow = row;
    highlightRow(row);
}

void frmHistorySelect::highlightRow(qsizetype row)
{
    m_highlighting = true;
    m_controls.highlight(static_cast<int>(row));
    m_highlighting = false;
}

void frmHistorySelect::takeKeys(qsizetype row)
{
    m_module.CustKey = m_model->lines().custKey(row);
    m_module.LocKey = m_model->lines().locKey(row);
}

QString frmHistorySelect::listText() const
{
    const int row = m_controls.highlightedRow();
    return row < 0 ? QString() : m_model->lines().text(row).toString();
}

std::optional<int> frmHistorySelect::selectedOption() const
{
    const int checked = m_controls.opt->checkedId();
    return checked >= 0 ? std::optional<int>(checked) : std::nullopt;
}

void frmHistorySelect::keyPressEvent(QKeyEvent* event)
{
    // Only Exit and the close box end the program; Escape is no way out of the list.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmHistorySelect::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_controls.DBList1 && event->type() == QEvent::KeyPress
        && KeyAscii::of(static_cast<QKeyEvent*>(event)) == 13) {
        if (!listText().isEmpty())
            openJournalFromList(true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmHistorySelect::Form_Activate()
{
    m_controls.Text1->setFocus();
    Text1_GotFocus();
}

void frmHistorySelect::Form_Unload()
{
    SelectionSettings::write(m_module.ProgramFolder, selectedOption(), m_controls.Text1->text());
    m_writer.cancel();
    m_model->amend([this](SearchLines& lines) { m_writer.finish(lines); });
    m_module.CloseBillingDb();
    m_module.CloseWorkDb();
    m_model->change([](SearchLines& lines) { lines.clear(); });
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (QFileInfo::exists(m_module.WorkDbPath))
        QFile::remove(m_module.WorkDbPath);
}
