#include "journal/JournalWindowFixture.h"

#include "journal/widgets/frmHistoryComment.h"
#include "program/ProgramNavigator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>

namespace {

// A charge, a comment stored twice, one stored with blanks around it and an account
// edit; the journal opens the real comment dialog.
class frmHistoryCommentTest : public JournalWindowFixture {
protected:
    void SetUp() override
    {
        JournalWindowFixture::SetUp();
        bill("2017-01-01", "WA", 10);
        for (const char* comment : {"twice", "twice", " padded "})
            add("histcomments", {{"edate", "2017-02-01"}, {"comment", comment}});
        add("acctedits", {{"chgdate", "2017-02-02"}, {"chgfield", "zip"}, {"chgfrom", "1"}, {"chgto", "2"}});
        navigator = &program;
        open();
    }

    int billingComments(const QString& text)
    {
        return suite.billing().scalar("select count(*) from histcomments where comment = ?", {text}).toInt();
    }

    void selectRowWith(const QString& description)
    {
        const int row = descriptions().indexOf(description);
        ASSERT_GE(row, 0) << description.toStdString();
        grid()->setCurrentIndex(grid()->model()->index(row, 0));
    }

    QTableView* grid() { return control<QTableView>(window.get(), "grd"); }
    // Clicks the journal's comment command and runs `operate` in the dialog it opens.
    void clickComment()
    {
        operateNextModal<frmHistoryComment>([this](frmHistoryComment& dialog) {
            deleteVisible = control<QPushButton>(&dialog, "cmdDelete")->isVisible();
            if (operate)
                operate(dialog);
            dialogOpen = dialog.isVisible();
        });
        click("cmdComment");
    }

    static QLineEdit* dateBox(frmHistoryComment& dialog) { return control<QLineEdit>(&dialog, "txt0"); }
    static QPlainTextEdit* commentBox(frmHistoryComment& dialog) { return control<QPlainTextEdit>(&dialog, "txt1"); }
    static void press(frmHistoryComment& d, const char* button)
    {
        QTest::mouseClick(control<QPushButton>(&d, button), Qt::LeftButton);
    }

    ProgramNavigator program{messenger};
    std::function<void(frmHistoryComment&)> operate;
    bool deleteVisible = false;
    bool dialogOpen = false;
};

TEST_F(frmHistoryCommentTest, SavesWithBackquotesInBothPlacesAndDeleteRemovesEveryMatchingComment)
{
    operate = [](frmHistoryComment& dialog) {
        dateBox(dialog)->setFocus();
        QTest::keyClicks(dateBox(dialog), "051517");
        QTest::keyClick(dateBox(dialog), Qt::Key_Return); // Enter moves on; the date is completed on leaving
        EXPECT_EQ(dateBox(dialog)->text(), "05/15/2017");
        EXPECT_TRUE(commentBox(dialog)->hasFocus());
        QTest::keyClicks(commentBox(dialog), "Owner's dog");
        QTest::keyClick(commentBox(dialog), Qt::Key_Return);
        EXPECT_EQ(commentBox(dialog)->toPlainText(), "Owner's dog");
        press(dialog, "cmdSave");
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
    EXPECT_EQ(descriptions().back(), "Owner`s dog");
    EXPECT_EQ(grid()->currentIndex().row(), window->journal().rowCount() - 1);

    // Then, in the same window, Delete.
    operate = [](frmHistoryComment& dialog) { press(dialog, "cmdDelete"); };
    selectRowWith("twice");
    clickComment();
    EXPECT_TRUE(deleteVisible);
    EXPECT_EQ(billingComments("twice"), 0);
    EXPECT_EQ(billingComments(" padded "), 1);
    const int rows = window->journal().rowCount();
    // An account-change row matches no stored comment; a comment stored with blanks
    // around it goes, as the journal shows it without them.
    selectRowWith("zip changed from 1 to 2");
    clickComment();
    EXPECT_EQ(window->journal().rowCount(), rows);
    EXPECT_EQ(suite.billing().scalar("select count(*) from acctedits").toInt(), 1);
    selectRowWith("padded");
    clickComment();
    EXPECT_EQ(billingComments(" padded "), 0);
    EXPECT_EQ(window->journal().rowCount(), rows - 1);
}

TEST_F(frmHistoryCommentTest, OneActionGivesAtMostOneMessageAndNothingIsWritten)
{
    const struct {
        const char* typed; // into the date box, which keeps the focus until the action
        const char* comment;
        const char* button; // null: the focus moves on to the comment box (which clears the date), then Cancel
        QStringList messages;
        bool open;
    } cases[] = {
        {"", "kept", "cmdSave", {"You have not entered a valid date!"}, true},
        {"05/15/2017", "   ", "cmdSave", {"You have not entered a comment!"}, true},
        {"12345", "kept", "cmdCancel", {}, false},
        {"13/45/2017", "kept", "cmdCancel", {}, false},
        {"12345", "kept", "cmdSave", {"You have not entered a valid date!"}, true},
        {"13/45/2017", "kept", "cmdSave", {"You have not entered a valid date!"}, true},
        {"12345", "kept", nullptr, {"Invalid Date"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed << " " << (c.button ? c.button : "focus moved"));
        messenger.messages.clear();
        operate = [&](frmHistoryComment& dialog) {
            commentBox(dialog)->setPlainText(c.comment);
            dateBox(dialog)->setFocus();
            QTest::keyClicks(dateBox(dialog), c.typed);
            if (!c.button) {
                commentBox(dialog)->setFocus();
                QApplication::processEvents();
                EXPECT_EQ(dateBox(dialog)->text(), "");
            }
            press(dialog, c.button ? c.button : "cmdCancel");
        };
        grid()->setCurrentIndex(window->journal().index(0, 0));
        clickComment();
        EXPECT_EQ(messenger.texts(), c.messages);
        EXPECT_EQ(dialogOpen, c.open);
        // Closed, even by Cancel, the dialog leaves a rebuilt journal on its newest row.
        EXPECT_EQ(grid()->currentIndex().row(), window->journal().rowCount() - 1);
        if (c.open) {
            EXPECT_EQ(std::pair(messenger.messages[0].title, messenger.messages[0].icon),
                      std::pair(QString("TRY AGAIN"), Messenger::Icon::Critical));
        }
    }
    EXPECT_EQ(suite.billing().scalar("select count(*) from histcomments").toInt(), 3);
}

TEST_F(frmHistoryCommentTest, DateBoxSelectsOnEntryAndTheCommentCountsWhatIsLeft)
{
    operate = [](frmHistoryComment& dialog) {
        QLineEdit* date = dateBox(dialog);
        date->setText("05/15/2017");
        commentBox(dialog)->setFocus();
        QTest::mouseClick(date, Qt::LeftButton, {}, date->rect().center());
        QApplication::processEvents();
        EXPECT_EQ(date->selectedText(), "05/15/2017") << "by click";
        commentBox(dialog)->setFocus();
        QTest::keyClick(commentBox(dialog), Qt::Key_Backtab, Qt::ShiftModifier);
        QApplication::processEvents();
        ASSERT_TRUE(date->hasFocus());
        EXPECT_EQ(date->selectedText(), "05/15/2017") << "by Tab";
        auto* left = control<QLabel>(&dialog, "lblCharactersLeft");
        QTest::keyClicks(commentBox(dialog), "abcde");
        EXPECT_EQ(left->text(), "250 characters left");
        QTest::keyClicks(commentBox(dialog), QString(260, 'x'));
        EXPECT_EQ(commentBox(dialog)->toPlainText().size(), 255);
        EXPECT_EQ(left->text(), "0 characters left");
        press(dialog, "cmdCancel");
    };
    clickComment();
}

} // namespace
