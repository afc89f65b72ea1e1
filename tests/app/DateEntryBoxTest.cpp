#include "app/widgets/DateEntryBox.h"

#include "support/FakeMessenger.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class DateEntryBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        ASSERT_TRUE(other->hasFocus());
    }

    QWidget window;
    QLineEdit* box = new QLineEdit;
    QLineEdit* other = new QLineEdit;
    FakeMessenger messenger;
};

TEST_F(DateEntryBoxTest, CheckCompletesInPlace)
{
    box->setText("051517");
    DateEntryBox::CheckDateEntry(*box, messenger);
    EXPECT_EQ(box->text(), "05/15/2017");
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(DateEntryBoxTest, CheckRejectionEmptiesTheBoxAndGivesItTheFocus)
{
    box->setText("12345");
    DateEntryBox::CheckDateEntry(*box, messenger);
    EXPECT_EQ(box->text(), "");
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, "Invalid Date");
    EXPECT_EQ(messenger.messages[0].title, "Quillmark for Windows");
    EXPECT_EQ(messenger.messages[0].icon, Messenger::Icon::None);
    EXPECT_EQ(messenger.messages[0].buttons, Messenger::Buttons::Ok);
    EXPECT_TRUE(box->hasFocus());
}

TEST_F(DateEntryBoxTest, CompleteRejectionEmptiesTheBoxAndLeavesTheFocus)
{
    box->setText("13517");
    DateEntryBox::CompleteDateEntry(*box, messenger);
    EXPECT_EQ(box->text(), "");
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].title, "Quillmark32");
    EXPECT_EQ(messenger.messages[0].icon, Messenger::Icon::Critical);
    EXPECT_TRUE(other->hasFocus());

    box->setText("1517");
    DateEntryBox::CompleteDateEntry(*box, messenger);
    EXPECT_EQ(box->text(), "01/05/2017");
    EXPECT_EQ(messenger.messages.size(), 1);
}

} // namespace
