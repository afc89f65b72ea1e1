#include "selection/widgets/frmHistorySelect.h"

#include "app/HistoryModule.h"
#include "app/Main.h"
#include "program/ProgramNavigator.h"
#include "journal/widgets/frmHistory.h"
#include "platform/widgets/MessageBoxMessenger.h"
#include "selection/SearchListModel.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using Keys = QList<std::pair<int, int>>;

class frmHistorySelectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        // accno, name, status, ID: account-number order differs from name and ID order.
        addAccount(1, 10, "1200", "SMITH ANN", "ACTIVE", "L-30");
        addAccount(2, 20, "1100", "O'BRIEN [PAT]", "INACTIVE", "L-20");
        addAccount(3, 30, "2100", "SMITHERS BOB", "ACTIVE", "L-10");
        addAccount(4, 0, "1230", "JONES CAL", "ACTIVE", "L-40"); // a location key that is not positive
        suite.exec("insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) "
                   "values (1, 10, 'WA', 62.5, 0), (1, 10, 'DP', 0, 50)");
        suite.prepare(module);
    }

    void addAccount(int cust, int loc, const char* accno, const char* name, const char* status, const char* id)
    {
        suite.exec(
            "insert into [tbl customer] (custkey, accno, lookupname, status, addr2) values (?, ?, ?, ?, 'MAIN ST')",
            {cust, accno, name, status});
        suite.exec("insert into [tbl location] (lockey, custkey, ID, locroute, locseq, addr2) "
                   "values (?, ?, ?, 'R1', ?, 'MAIN ST')",
                   {loc, cust, id, loc});
    }

    void open(Messenger* speaker = nullptr)
    {
        navigator.whileOpen = [this](HistoryModule& m) { journalKeys.append({m.CustKey, m.LocKey}); };
        window = std::make_unique<frmHistorySelect>(module, speaker ? *speaker : messenger, navigator);
        checkModels(window.get());
        ASSERT_TRUE(window->Form_Load());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }

    // A window manager may leave another program's window active for a while.
    void activateElsewhere()
    {
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    }

    void activateAgain()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }

    template <typename T>
    T* get(const char* name)
    {
        return control<T>(window.get(), name);
    }

    QStringList accountNumbers() const
    {
        QStringList numbers;
        for (qsizetype row = 0; row < window->list().lines().size(); ++row)
            numbers << window->list().lines().text(row).left(12).trimmed().toString();
        return numbers;
    }

    QString highlightedAccount() const { return window->listText().left(12).trimmed(); }
    void type(const QString& keys) { QTest::keyClicks(get<QLineEdit>("Text1"), keys); }
    void press(Qt::Key key, QWidget* target) { QTest::keyClick(target, key); }
    void click(const char* button) { QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton); }
    QPoint rowCenter(int row)
    {
        auto* list = get<QListView>("DBList1");
        return list->visualRect(list->model()->index(row, 0)).center();
    }

    QString lastMessage() const { return messenger.messages.isEmpty() ? QString() : messenger.messages.last().text; }
    QStringList state()
    {
        return {highlightedAccount(), QString::number(window->currentRow()), get<QLineEdit>("Text1")->text(),
                window->TypedText};
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    RecordingNavigator navigator;
    ProgramNavigator program{messenger};
    std::unique_ptr<frmHistorySelect> window;
    Keys journalKeys;
    QWidget elsewhere;
};

TEST_F(frmHistorySelectTest, SettingsChooseTheOptionOnlyCharacterKeysSearchAndCloseWritesThem)
{
    open();
    EXPECT_TRUE(get<QRadioButton>("opt0")->isChecked());
    EXPECT_EQ(accountNumbers(), QStringList({"1100", "1200", "1230", "2100"}));
    EXPECT_TRUE(get<QLineEdit>("Text1")->hasFocus());
    EXPECT_EQ(window->currentRow(), 0);
    EXPECT_TRUE(window->listText().isEmpty());
    EXPECT_TRUE(get<QLabel>("Label2")->text().isEmpty());
    EXPECT_TRUE(messenger.messages.isEmpty());
    // Only character keys search, and Escape does not close.
    type("1");
    auto* box = get<QLineEdit>("Text1");
    // Texts as an X server sends them: Ctrl+B types a control character, Alt+X nothing.
    using K = std::tuple<Qt::Key, const char*, Qt::KeyboardModifiers>;
    const Qt::KeyboardModifiers none;
    // clang-format off
    const K keys[] = {K{Qt::Key_Delete, "\x7f", none}, K{Qt::Key_Left, "", none}, K{Qt::Key_Home, "", none},
                      K{Qt::Key_End, "", none}, K{Qt::Key_F5, "", none}, K{Qt::Key_Up, "", none},
                      K{Qt::Key_B, "\x02", Qt::ControlModifier}, K{Qt::Key_B, "b", Qt::ControlModifier},
                      K{Qt::Key_X, "x", Qt::AltModifier}};
    // clang-format on
    for (const auto& [key, text, modifiers] : keys) {
        QTest::sendKeyEvent(QTest::Click, box, key, QString::fromLatin1(text), modifiers);
        EXPECT_EQ(window->TypedText, "1") << key;
    }
    EXPECT_TRUE(messenger.messages.isEmpty()) << lastMessage().toStdString();
    press(Qt::Key_Escape, get<QListView>("DBList1"));
    press(Qt::Key_Escape, box);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(suite.filePath("ledviewsel.ini")));
    // Closed any way, the window deletes its scratch database and keeps its settings.
    box->clear();
    ASSERT_TRUE(QFileInfo::exists(module.WorkDbPath));
    window->close();
    EXPECT_FALSE(QFileInfo::exists(module.WorkDbPath));
    EXPECT_EQ(suite.readFile("ledviewsel.ini"), QByteArray(" 0 \r\n\r\n"));

    // A settings file chooses the option and the text; the window writes it at close.
    suite.writeFile("ledviewsel.ini", " 3 \r\nSMI\r\n");
    open();
    EXPECT_TRUE(get<QRadioButton>("opt3")->isChecked());
    EXPECT_EQ(accountNumbers(), QStringList({"2100", "1100", "1200", "1230"})); // location ID order
    EXPECT_EQ(get<QLineEdit>("Text1")->text(), "SMI"); // the restored text survives the option's selection
    get<QRadioButton>("opt4")->click();
    EXPECT_EQ(accountNumbers(), QStringList({"1230", "1200", "1100", "2100"})); // route, then sequence
    // Every later click re-sorts as well: the prepared orders are not handed over only once.
    get<QRadioButton>("opt0")->click();
    EXPECT_EQ(accountNumbers(), QStringList({"1100", "1200", "1230", "2100"}));
    get<QRadioButton>("opt4")->click();
    EXPECT_TRUE(get<QLineEdit>("Text1")->text().isEmpty());
    get<QLineEdit>("Text1")->setText("O'BRIEN");
    click("cmdExit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(suite.readFile("ledviewsel.ini"), QByteArray(" 4 \r\nO'BRIEN\r\n"));
}

TEST_F(frmHistorySelectTest, TypingFindsAccountsBeginningWithTheTextButtonsFindItInsideOptionsReSort)
{
    open();
    type("12");
    EXPECT_EQ(highlightedAccount(), "1200");
    EXPECT_EQ(module.CustKey, 1);
    EXPECT_EQ(module.LocKey, 10);
    type("3");
    EXPECT_EQ(highlightedAccount(), "1230");
    EXPECT_TRUE(get<QLineEdit>("Text1")->hasFocus());
    EXPECT_TRUE(get<QLabel>("Label2")->text().isEmpty()); // a search never shows the balance
    press(Qt::Key_Backspace, get<QLineEdit>("Text1"));
    EXPECT_EQ(state(), QStringList({"1200", "1", "12", "12"}));

    // "00" is inside 1100 and 1200 but begins none of them.
    get<QLineEdit>("Text1")->clear();
    window->TypedText.clear();
    type("0");
    EXPECT_EQ(lastMessage(), "Search text '0' not found in ACCOUNT NUMBER field.");
    EXPECT_EQ(messenger.messages.last().title, "TRY AGAIN");
    EXPECT_EQ(messenger.messages.last().icon, Messenger::Icon::Information);
    EXPECT_EQ(state(), QStringList({"", "0", "0", "0"}));

    // The buttons search inside the slice and never wrap.
    get<QLineEdit>("Text1")->setText("00");
    click("cmdFindFirst");
    EXPECT_EQ(highlightedAccount(), "1100");
    EXPECT_TRUE(get<QListView>("DBList1")->hasFocus());
    click("cmdFindNext");
    EXPECT_EQ(highlightedAccount(), "1200");
    click("cmdFindPrev");
    EXPECT_EQ(highlightedAccount(), "1100");
    click("cmdFindPrev");
    EXPECT_EQ(lastMessage(), "There is no previous search result to go back to.");
    EXPECT_EQ(messenger.messages.last().title, "NOTHING TO DO");
    click("cmdFindNext");
    EXPECT_EQ(highlightedAccount(), "1200");
    click("cmdFindNext");
    EXPECT_EQ(highlightedAccount(), "2100");
    click("cmdFindNext");
    EXPECT_EQ(lastMessage(), "Search text '00' not found in ACCOUNT NUMBER field.");
    EXPECT_EQ(state().mid(0, 2), QStringList({"", "0"}));
    // The next search continues after the first row.
    click("cmdFindNext");
    EXPECT_EQ(highlightedAccount(), "1200");

    // An option click empties the text and re-sorts, keeping the highlight.
    QTest::mouseClick(get<QLineEdit>("Text1"), Qt::LeftButton); // selects the text, empties the typed keys
    type("123");
    ASSERT_EQ(highlightedAccount(), "1230");
    click("opt1");
    EXPECT_TRUE(get<QLineEdit>("Text1")->text().isEmpty());
    EXPECT_EQ(accountNumbers(), QStringList({"1230", "1100", "1200", "2100"}));
    EXPECT_EQ(highlightedAccount(), "1230");
    EXPECT_EQ(module.CustKey, 4);
    EXPECT_EQ(window->currentRow(), 0);
    // Typing under other options finds the text anywhere in the column.
    type("MITH");
    EXPECT_EQ(highlightedAccount(), "1200");
    // An option clicked from the list leaves the keys to the search box too.
    get<QListView>("DBList1")->setFocus();
    click("opt4");
    click("opt1");
    QTest::keyClicks(QApplication::focusWidget(), "MITHE");
    EXPECT_EQ(highlightedAccount(), "2100");
    EXPECT_EQ(messenger.messages.size(), 3); // nothing more since the option click
    // From the box, Shift+Tab reaches the chosen option and an arrow key chooses the next.
    QTest::keyClick(get<QLineEdit>("Text1"), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_TRUE(get<QRadioButton>("opt2")->isChecked() && get<QRadioButton>("opt2")->hasFocus());
}

TEST_F(frmHistorySelectTest, ViewJournalNeedsAHighlightedLineClickShowsTheBalance)
{
    open();
    click("cmdNext");
    EXPECT_EQ(lastMessage(), "No customer has been selected from the list.");
    EXPECT_EQ(messenger.messages.last().title, "TRY AGAIN");
    // Enter in the box with the list on its first row but nothing highlighted.
    press(Qt::Key_Return, get<QLineEdit>("Text1"));
    EXPECT_EQ(messenger.messages.size(), 2);
    EXPECT_EQ(lastMessage(), "No customer has been selected from the list.");
    EXPECT_TRUE(journalKeys.isEmpty());
    type("2");
    click("cmdNext");
    EXPECT_EQ(journalKeys, (Keys{{3, 30}}));
    EXPECT_EQ(module.JournalIsStartWindow, 0);
    EXPECT_TRUE(get<QLineEdit>("Text1")->hasFocus());
    EXPECT_EQ(get<QLineEdit>("Text1")->selectedText(), "2");
    press(Qt::Key_Return, get<QLineEdit>("Text1"));
    EXPECT_EQ(journalKeys.size(), 2);
    // A key that is not positive opens nothing and says nothing.
    type("123");
    ASSERT_EQ(highlightedAccount(), "1230");
    click("cmdNext");
    EXPECT_EQ(journalKeys.size(), 2);
    EXPECT_EQ(messenger.messages.size(), 2);

    // A click shows the balance; with the box empty, Find First takes the first line.
    get<QLineEdit>("Text1")->clear();
    messenger.messages.clear();
    journalKeys.clear();
    auto* list = get<QListView>("DBList1");
    auto* label = get<QLabel>("Label2");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCenter(0));
    EXPECT_EQ(module.CustKey, 2);
    EXPECT_EQ(label->text(), "INACTIVE  BAL: $0.00  DEP: NONE");
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCenter(1));
    EXPECT_EQ(module.CustKey, 1);
    EXPECT_EQ(window->currentRow(), 1);
    EXPECT_EQ(label->text(), "BAL: $12.50  DEP: $50.00");
    EXPECT_EQ(label->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0));

    // Read live: a payment made meanwhile shows at the next click.
    suite.exec("update [tbl balance] set totalpaid = 62.5 where code = 'WA'");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCenter(1));
    EXPECT_EQ(label->text(), "BAL: -$50.00  DEP: $50.00");
    EXPECT_TRUE(journalKeys.isEmpty());

    // A real double-click (a click, then the double-click) and Enter in the list open the journal.
    suite.exec("update [tbl balance] set totalpaid = 0 where code = 'WA'");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCenter(1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCenter(1));
    EXPECT_EQ(journalKeys, (Keys{{1, 10}}));
    EXPECT_EQ(label->text(), "BAL: $12.50  DEP: $50.00");
    click("Data1Last");
    EXPECT_EQ(highlightedAccount(), "2100");
    press(Qt::Key_Return, list);
    EXPECT_EQ(journalKeys.last(), std::make_pair(3, 30));
    EXPECT_EQ(label->text(), "BAL: $0.00  DEP: NONE");
    EXPECT_TRUE(messenger.messages.isEmpty());

    // Enter on a focused button presses it.
    get<QPushButton>("cmdFindFirst")->setFocus();
    QTest::keyClick(get<QPushButton>("cmdFindFirst"), Qt::Key_Return);
    EXPECT_EQ(highlightedAccount(), "1100");
    get<QPushButton>("cmdNext")->setFocus();
    QTest::keyClick(get<QPushButton>("cmdNext"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(journalKeys, (Keys{{1, 10}, {3, 30}, {2, 20}}));
}

TEST_F(frmHistorySelectTest, SearchBoxStartsAfreshWhenTheWindowIsActiveAgain)
{
    suite.insert(
        "[tbl bill detail]", {{"custkey", 3}, {"lockey", 30}, {"date", "2017-01-01"}, {"code", "WA"}, {"amount", 10}});
    suite.writeFile("ledviewsel.ini", " 0 \r\n21\r\n");
    // At start the window is active only after its first activation has run.
    window = std::make_unique<frmHistorySelect>(module, messenger, program);
    checkModels(window.get());
    ASSERT_TRUE(window->Form_Load());
    window->show();
    activateElsewhere();
    activateAgain();
    auto* box = get<QLineEdit>("Text1");
    EXPECT_EQ(box->selectedText(), "21");
    type("2");
    ASSERT_EQ(state(), QStringList({"2100", "3", "2", "2"}));

    // The real journal, opened modally and closed while another window is active.
    bool journalShown = false;
    QTimer::singleShot(0, [&] {
        auto* journal = qobject_cast<frmHistory*>(QApplication::activeModalWidget());
        ASSERT_NE(journal, nullptr);
        journalShown = true;
        QObject::connect(journal, &QDialog::finished, [this] { activateElsewhere(); });
        QTest::mouseClick(control<QPushButton>(journal, "cmdExit"), Qt::LeftButton);
    });
    click("cmdNext");
    ASSERT_TRUE(journalShown);
    activateAgain();
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), "2");
    type("1");
    EXPECT_EQ(state(), QStringList({"1100", "0", "1", "1"}));
    EXPECT_TRUE(messenger.messages.isEmpty()) << lastMessage().toStdString();
}

TEST_F(frmHistorySelectTest, PastedTextSearchesAsIfTyped)
{
    open();
    get<QRadioButton>("opt1")->click();
    auto* box = get<QLineEdit>("Text1");
    box->setFocus();
    QGuiApplication::clipboard()->setText("smith\n");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(state(), QStringList({"1200", "2", "smith", "smith"}));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), "smith");
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "smith");

    // The context menu's Paste, on a box whose text is selected.
    QGuiApplication::clipboard()->setText("ers");
    window->TypedText = "smith";
    box->end(false);
    bool pasted = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith("&Paste")) {
                action->trigger();
                pasted = true;
            }
        }
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, box->rect().center(), box->mapToGlobal(box->rect().center()));
    QApplication::sendEvent(box, &menuEvent);
    EXPECT_TRUE(pasted);
    EXPECT_EQ(state(), QStringList({"2100", "3", "smithers", "smithers"}));
    EXPECT_TRUE(messenger.messages.isEmpty()) << lastMessage().toStdString();
}

TEST_F(frmHistorySelectTest, AListThatCannotBeBuiltEndsTheRunNamingTheFile)
{
    suite.exec("drop table [tbl customer]");
    HistoryModule fresh;
    fresh.ProgramFolder = suite.folder();
    EXPECT_EQ(Main::run(fresh, QString(), messenger, program), 1);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].title, "CANNOT CONTINUE");
    EXPECT_TRUE(messenger.messages[0].text.contains(suite.billingPath())) << lastMessage().toStdString();
    EXPECT_TRUE(messenger.messages[0].text.contains("no such table")) << lastMessage().toStdString();
    EXPECT_FALSE(QFileInfo::exists(fresh.WorkDbPath));
}

// A search that finds nothing says so in a real message box, as plain text, and scrolls back to the top.
TEST_F(frmHistorySelectTest, ANotFoundSearchShowsTypedTextAsTextAndScrollsToTheTop)
{
    for (int account = 10; account < 70; ++account)
        addAccount(account, account * 10, QByteArray::number(5000 + account).constData(), "EXTRA", "ACTIVE", "L-9");
    MessageBoxMessenger boxes;
    open(&boxes);
    get<QRadioButton>("opt1")->click();
    click("Data1Last");
    auto* scroll = get<QListView>("DBList1")->verticalScrollBar();
    ASSERT_GT(scroll->value(), 0);
    get<QLineEdit>("Text1")->setText("<b>X</b>");
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        shown = label->text();
        format = label->textFormat();
        box->accept();
    });
    click("cmdFindFirst");
    EXPECT_EQ(shown, "Search text '<b>X</b>' not found in ACCOUNT NAME field.");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(scroll->value(), 0);
}

} // namespace
