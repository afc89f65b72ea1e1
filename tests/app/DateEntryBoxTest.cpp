#include "app/widgets/DateEntryBox.h"

#include "support/FakeMessenger.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The box takes the outcome: its text, the message, and where the focus goes.
TEST(DateEntryBox, OutcomesReachTheBoxAndTheFocus)
{
    QWidget window;
    auto* box = new QLineEdit;
    auto* other = new QLineEdit;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(box);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    using Entry = void (*)(QLineEdit&, Messenger&);
    // clang-format off
    const struct { Entry entry; const char* typed; const char* shown; bool told, boxFocused; } cases[] = {
        {DateEntryBox::CheckDateEntry, "051517", "05/15/2017", false, false},
        {DateEntryBox::CheckDateEntry, "12345", "", true, true},
        {DateEntryBox::CompleteDateEntry, "13517", "", true, false},
        {DateEntryBox::CompleteDateEntry, "1517", "01/05/2017", false, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        other->setFocus();
        ASSERT_TRUE(other->hasFocus());
        FakeMessenger messenger;
        box->setText(c.typed);
        c.entry(*box, messenger);
        EXPECT_EQ(box->text(), c.shown);
        EXPECT_EQ(box->hasFocus(), c.boxFocused);
        // The outcome's message is passed on as it is; its wording is the entry rule's.
        EXPECT_EQ(messenger.messages.size(), c.told ? 1 : 0);
    }
}

} // namespace
