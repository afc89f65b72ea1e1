#include "selection/frmHistorySelect.h"

#include "app/HistoryModule.h"
#include "journal/frmHistory.h"
#include "platform/Messenger.h"
#include "selection/AccountBalance.h"
#include "selection/BusyProgress.h"
#include "selection/KeyAscii.h"
#include "selection/SearchList.h"
#include "selection/SearchListModel.h"
#include "selection/SelectionSettings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

void showJournalModally(HistoryModule& module, Messenger& messenger)
{
    frmHistory journal(module, messenger);
    journal.Form_Load();
    journal.exec();
}

} // namespace

frmHistorySelect::frmHistorySelect(HistoryModule& module, Messenger& messenger, QWidget* parent)
    : QDialog(parent)
    , m_module(module)
    , m_messenger(messenger)
    , m_openJournal([&messenger](HistoryModule& m) { showJournalModally(m, messenger); })
    , m_model(new SearchListModel(this))
    , m_controls(this, m_model)
{
    setObjectName(QStringLiteral("frmHistorySelect"));
    setWindowTitle(QStringLiteral("Customer History"));
    connectControls();
}

frmHistorySelect::~frmHistorySelect() = default;

void frmHistorySelect::connectControls()
{
    const SelectionControls& c = m_controls;
    c.Text1->installEventFilter(this);
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
            const Outcome made = SearchList::build(m_module, index, lines, [&busy] { busy.tick(); });
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
    const int row = m_controls.highlightedRow();
    const int32_t highlighted = row < 0 ? -1 : m_model->lines().entryOf(row);
    {
        BusyProgress busy(this, QStringLiteral("Sorting the account list..."));
        m_model->change([&](SearchLines& lines) { SearchList::sort(m_module, index, lines, [&busy] { busy.tick(); }); });
    }
    // A refreshed list stands on its first row; the highlighted line stays highlighted.
    m_currentRow = 0;
    if (highlighted >= 0)
        highlightRow(m_model->lines().rowOf(highlighted));
}

void frmHistorySelect::ShowAccountBalance()
{
    AccountBalance balance;
    if (const Outcome shown = AccountBalance::show(m_module, listText(), balance); !shown) {
        m_messenger.tell(Outcome::cannotOpen(FaultText::BillingDatabase, m_module.BillingDbPath, shown).message(),
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
    if (!LoadingOption)
        m_controls.Text1->clear();
    SortSearchList(index);
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
    TypingSearch = true;
    if (keyAscii == 8)
        TypedText.chop(1);
    else
        TypedText += text;
    FindInList(ListSearch::Direction::First);
    TypingSearch = false;
    return false;
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
    m_module.JournalIsStartWindow = 0;
    m_openJournal(m_module);
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

bool frmHistorySelect::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::Show)
        QTimer::singleShot(0, this, [this] { activateWhenActive(); });
    else if (event->type() == QEvent::WindowActivate && m_activationPending)
        Form_Activate();
    return handled;
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
    if (watched == m_controls.Text1)
        return searchBoxEvent(event) || QDialog::eventFilter(watched, event);
    if (watched == m_controls.DBList1 && event->type() == QEvent::KeyPress
        && KeyAscii::of(static_cast<QKeyEvent*>(event)) == 13) {
        if (!listText().isEmpty())
            openJournalFromList(true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// True when the search box's own handling of the event is replaced.
bool frmHistorySelect::searchBoxEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        // Every return of the focus starts the search afresh, so the box and the
        // search never disagree; only a closing context menu is no new visit.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            Text1_GotFocus();
        return false;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            pasteIntoSearch(QGuiApplication::clipboard()->text());
            return true;
        }
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll))
            return false;
        // Any other Ctrl combination types a control character, and an Alt combination
        // that is no accelerator types nothing: both cancelled.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return key->key() != Qt::Key_Control && key->key() != Qt::Key_Alt && key->key() != Qt::Key_Meta;
        const int ascii = KeyAscii::of(key);
        return ascii != 0 && Text1_KeyPress(ascii, key->text());
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection())
            return false;
        pasteIntoSearch(QGuiApplication::clipboard()->text(QClipboard::Selection));
        return true;
    }
    case QEvent::ContextMenu: {
        std::unique_ptr<QMenu> menu(m_controls.Text1->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->text().section(QLatin1Char('\t'), 0, 0) != QLineEdit::tr("&Paste"))
                continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this,
                    [this] { pasteIntoSearch(QGuiApplication::clipboard()->text()); });
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    default:
        return false;
    }
}

// Pasted text searches as if it had been typed; control characters in it are
// dropped, as typed ones are.
void frmHistorySelect::pasteIntoSearch(const QString& text)
{
    QString typed;
    for (const QChar c : text) {
        if (c.isPrint())
            typed += c;
    }
    if (typed.isEmpty())
        return;
    m_controls.Text1->insert(typed);
    TypingSearch = true;
    TypedText += typed;
    FindInList(ListSearch::Direction::First);
    TypingSearch = false;
}

void frmHistorySelect::activateWhenActive()
{
    m_activationPending = true;
    if (isActiveWindow())
        Form_Activate();
}

void frmHistorySelect::Form_Activate()
{
    m_activationPending = false;
    m_controls.Text1->setFocus();
    Text1_GotFocus();
}

void frmHistorySelect::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmHistorySelect::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    SelectionSettings::write(m_module.ProgramFolder, selectedOption(), m_controls.Text1->text());
    m_module.CloseBillingDb();
    m_module.CloseWorkDb();
    m_model->change([](SearchLines& lines) { lines.clear(); });
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (QFileInfo::exists(m_module.WorkDbPath))
        QFile::remove(m_module.WorkDbPath);
}
