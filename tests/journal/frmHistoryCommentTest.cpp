#include "journal/widgets/frmHistoryComment.h"

#include "app/HistoryModule.h"
#include "program/ProgramNavigator.h"
#include "journal/widgets/frmHistory.h"
#include "journal/HistoryComments.h"
#include "journal/JournalModel.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class frmHistoryCommentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        suite.addAccount(1, 10);
        suite.insert("[tbl bill detail]",
                     {{"custkey", 1}, {"lockey", 10}, {"date", "2017-01-01"}, {"code", "WA"}, {"amount", 10}});
        for (int copy = 0; copy < 2; ++copy)
            suite.insert(
                "histcomments", {{"custkey", 1}, {"lockey", 10}, {"edate", "2017-02-01"}, {"comment", "twice"}});
        suite.insert(
            "histcomments", {{"custkey", 1}, {"lockey", 10}, {"edate", "2017-02-01"}, {"comment", " padded "}});
        suite.insert("acctedits",
                     {{"custkey", 1},
                      {"lockey", 10},
                      {"chgdate", "2017-02-02"},
                      {"chgfield", "zip"},
                      {"chgfrom", "1"},
                      {"chgto", "2"}});
        suite.prepare(module, 1, 10);
        journal = std::make_unique<frmHistory>(module, messenger, navigator);
        journal->Form_Load();
        journal->show();
        QApplication::processEvents();
    }

    int billingComments(const QString& text)
    {
        return suite.billing().scalar("select count(*) from histcomments where comment = ?", {text}).toInt();
    }

    void selectRowWith(const QString& description)
    {
        auto* grid = control<QTableView>(journal.get(), "grd");
        const auto& rows = journal->journal().rows();
        for (int i = 0; i < static_cast<int>(rows.size()); ++i)
            if (rows[i].descr == description)
                grid->setCurrentIndex(grid->model()->index(i, 0));
    }

    // The journal opens the dialog; each test scripts what the operator does in it.
    void clickComment()
    {
        operateNextModal<frmHistoryComment>([this](frmHistoryComment& dialog) {
            deleteVisible = control<QPushButton>(&dialog, "cmdDelete")->isVisible();
            if (operate)
                operate(dialog);
            dialogOpen = dialog.isVisible();
        });
        QTest::mouseClick(control<QPushButton>(journal.get(), "cmdComment"), Qt::LeftButton);
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    ProgramNavigator navigator{messenger};
    std::unique_ptr<frmHistory> journal;
    std::function<void(frmHistoryComment&)> operate;
    bool deleteVisible = false;
    bool dialogOpen = false;
};

TEST_F(frmHistoryCommentTest, SavesWithBackquotesInBothPlacesAndRebuilds)
{
    operate = [](frmHistoryComment& dialog) {
        auto* date = control<QLineEdit>(&dialog, "txt0");
        date->setFocus();
        QTest::keyClicks(date, "051517");
        QTest::keyClick(date, Qt::Key_Return); // Enter moves on; the date is completed on leaving
        EXPECT_EQ(date->text(), "05/15/2017");
        auto* comment = control<QPlainTextEdit>(&dialog, "txt1");
        EXPECT_TRUE(comment->hasFocus());
        QTest::keyClicks(comment, "Owner's dog");
        QTest::keyClick(comment, Qt::Key_Return);
        EXPECT_EQ(comment->toPlainText(), "Owner's dog");
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdSave"), Qt::LeftButton);
    };
    selectRowWith("WATER");
    clickComment();
    EXPECT_FALSE(deleteVisible);
    EXPECT_FALSE(dialogOpen);
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_EQ(billingComments("Owner`s dog"), 1);
    EXPECT_EQ(suite.billing()
                  .scalar("select edate || '|' || userid from histcomments where comment = 'Owner`s dog'")
                  .toString(),
              "2017-05-15|CLERK1");
    EXPECT_EQ(journal->journal().rows().back().descr, "Owner`s dog");
    EXPECT_EQ(control<QTableView>(journal.get(), "grd")->currentIndex().row(), journal->journal().rowCount() - 1);
}

TEST_F(frmHistoryCommentTest, InvalidDateOrEmptyCommentKeepTheDialogOpen)
{
    operate = [this](frmHistoryComment& dialog) {
        auto* save = control<QPushButton>(&dialog, "cmdSave");
        QTest::mouseClick(save, Qt::LeftButton);
        control<QLineEdit>(&dialog, "txt0")->setText("5/15/2017");
        control<QPlainTextEdit>(&dialog, "txt1")->setPlainText("   ");
        QTest::mouseClick(save, Qt::LeftButton);
        EXPECT_EQ(
            messenger.texts(), (QStringList{"You have not entered a valid date!", "You have not entered a comment!"}));
        EXPECT_EQ(messenger.messages[0].title, "TRY AGAIN");
        EXPECT_EQ(messenger.messages[1].icon, Messenger::Icon::Critical);
    };
    clickComment();
    EXPECT_TRUE(dialogOpen);
    EXPECT_EQ(suite.billing().scalar("select count(*) from histcomments").toInt(), 3);
}

TEST_F(frmHistoryCommentTest, DateBoxRejectsWhatCannotBeADate)
{
    operate = [this](frmHistoryComment& dialog) {
        auto* date = control<QLineEdit>(&dialog, "txt0");
        date->setFocus();
        QTest::keyClicks(date, "12345");
        control<QPlainTextEdit>(&dialog, "txt1")->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(messenger.texts(), QStringList{"Invalid Date"}); // its own message, and no second one
        EXPECT_EQ(date->text(), "");
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
    };
    clickComment();
    EXPECT_FALSE(dialogOpen);
}

TEST_F(frmHistoryCommentTest, DeleteRemovesEveryMatchingCommentAndNothingElse)
{
    operate = [](frmHistoryComment& dialog) {
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdDelete"), Qt::LeftButton);
    };
    selectRowWith("twice");
    clickComment();
    EXPECT_TRUE(deleteVisible);
    EXPECT_EQ(billingComments("twice"), 0);
    EXPECT_EQ(billingComments(" padded "), 1);
    const int rows = journal->journal().rowCount();

    // An account-change row matches no stored comment; a comment stored with blanks
    // around it goes, as the journal shows it without them.
    selectRowWith("zip changed from 1 to 2");
    clickComment();
    EXPECT_EQ(journal->journal().rowCount(), rows);
    EXPECT_EQ(suite.billing().scalar("select count(*) from acctedits").toInt(), 1);
    selectRowWith("padded");
    clickComment();
    EXPECT_EQ(billingComments(" padded "), 0);
    EXPECT_EQ(journal->journal().rowCount(), rows - 1);
}

TEST_F(frmHistoryCommentTest, CancelStillRebuildsAndWritesNothing)
{
    operate = [](frmHistoryComment& dialog) {
        control<QPlainTextEdit>(&dialog, "txt1")->setPlainText("not kept");
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
    };
    control<QTableView>(journal.get(), "grd")->setCurrentIndex(journal->journal().index(0, 0));
    clickComment();
    EXPECT_EQ(billingComments("not kept"), 0);
    EXPECT_EQ(control<QTableView>(journal.get(), "grd")->currentIndex().row(), journal->journal().rowCount() - 1);
}

TEST_F(frmHistoryCommentTest, AFailedBillingWriteIsReportedAndTheTextKept)
{
    suite.exec("create trigger refuse before insert on histcomments begin select raise(abort, 'disk says no'); end");
    operate = [this](frmHistoryComment& dialog) {
        control<QLineEdit>(&dialog, "txt0")->setText("01/02/2017");
        control<QPlainTextEdit>(&dialog, "txt1")->setPlainText("important");
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdSave"), Qt::LeftButton);
        ASSERT_EQ(messenger.messages.size(), 1);
        EXPECT_EQ(messenger.messages[0].title, "COMMENT NOT SAVED");
        EXPECT_TRUE(messenger.messages[0].text.contains("disk says no"));
        EXPECT_EQ(control<QPlainTextEdit>(&dialog, "txt1")->toPlainText(), "important");
    };
    clickComment();
    EXPECT_TRUE(dialogOpen);
    ASSERT_TRUE(module.OpenWorkDb());
    EXPECT_EQ(module.WorkDb.scalar("select count(*) from hcom where comment = 'important'").toInt(), 0);
    module.CloseWorkDb();
}

TEST_F(frmHistoryCommentTest, EnteringTheDateBoxSelectsItsText)
{
    operate = [](frmHistoryComment& dialog) {
        auto* date = control<QLineEdit>(&dialog, "txt0");
        date->setText("05/15/2017");
        auto* comment = control<QPlainTextEdit>(&dialog, "txt1");
        comment->setFocus();
        QTest::mouseClick(date, Qt::LeftButton, {}, date->rect().center());
        QTest::qWait(10);
        EXPECT_EQ(date->selectedText(), "05/15/2017") << "by click";
        comment->setFocus();
        QTest::keyClick(comment, Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::qWait(10);
        ASSERT_TRUE(date->hasFocus());
        EXPECT_EQ(date->selectedText(), "05/15/2017") << "by Tab";
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
    };
    clickComment();
}

TEST_F(frmHistoryCommentTest, OneActionGivesAtMostOneMessage)
{
    struct Case {
        const char* typed;
        const char* button; // clicked while the date box has the focus
        QStringList messages;
        bool open;
    };
    const Case cases[] = {
        {"12345", "cmdCancel", {}, false},
        {"13/45/2017", "cmdCancel", {}, false},
        {"12345", "cmdSave", {"You have not entered a valid date!"}, true},
        {"13/45/2017", "cmdSave", {"You have not entered a valid date!"}, true},
    };
    for (const Case& c : cases) {
        messenger.messages.clear();
        operate = [&](frmHistoryComment& dialog) {
            auto* date = control<QLineEdit>(&dialog, "txt0");
            control<QPlainTextEdit>(&dialog, "txt1")->setPlainText("kept");
            date->setFocus();
            QTest::keyClicks(date, c.typed);
            QTest::mouseClick(control<QPushButton>(&dialog, c.button), Qt::LeftButton);
        };
        clickComment();
        EXPECT_EQ(messenger.texts(), c.messages) << c.typed << " " << c.button;
        EXPECT_EQ(dialogOpen, c.open) << c.typed << " " << c.button;
    }
}

TEST_F(frmHistoryCommentTest, TheCharactersLeftAreShownWhileTyping)
{
    operate = [](frmHistoryComment& dialog) {
        auto* comment = control<QPlainTextEdit>(&dialog, "txt1");
        auto* left = control<QLabel>(&dialog, "lblCharactersLeft");
        EXPECT_EQ(left->text(), "255 characters left");
        QTest::keyClicks(comment, "abcde");
        EXPECT_EQ(left->text(), "250 characters left");
        QTest::keyClicks(comment, QString(260, 'x'));
        EXPECT_EQ(comment->toPlainText().size(), 255);
        EXPECT_EQ(left->text(), "0 characters left");
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
    };
    clickComment();
}

} // namespace
