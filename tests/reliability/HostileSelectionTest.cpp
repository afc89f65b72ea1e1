// The selection window over customers whose every text is hostile: the list builds,
// and searches for quotes, wildcards and brackets find exactly the lines holding them.
#include "HostileSuite.h"

#include "selection/SearchListModel.h"
#include "selection/SearchOption.h"
#include "selection/widgets/frmHistorySelect.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>

namespace {

class HostileSelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.prepare(module);
        window = std::make_unique<frmHistorySelect>(module, messenger, navigator);
        window->Form_Load();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }

    void click(const char* button) { QTest::mouseClick(control<QPushButton>(window.get(), button), Qt::LeftButton); }

    // Every customer the find buttons reach for the text, from the top to the end.
    QSet<int> found(int option, const QString& text)
    {
        control<QRadioButton>(window.get(), QString("opt%1").arg(option).toLatin1().constData())->click();
        control<QLineEdit>(window.get(), "Text1")->setText(text);
        messenger.messages.clear();
        QSet<int> keys;
        click("cmdFindFirst");
        while (messenger.messages.isEmpty() && !window->listText().isEmpty()) {
            keys.insert(window->list().lines().custKey(window->currentRow()));
            click("cmdFindNext");
        }
        return keys;
    }

    // The customers whose line shows the text in the option's column.
    QSet<int> holding(int option, const QString& text) const
    {
        const SearchOption* searched = SearchOption::at(option);
        QSet<int> keys;
        const SearchLines& lines = window->list().lines();
        for (qsizetype row = 0; row < lines.size(); ++row) {
            if (searched->slice(lines.text(row)).contains(text))
                keys.insert(lines.custKey(row));
        }
        return keys;
    }

    HostileSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    RecordingNavigator navigator;
    std::unique_ptr<frmHistorySelect> window;
};

TEST_F(HostileSelectionTest, LiteralQuotesAndBracketsFindTheirLines)
{
    struct Case {
        int option;
        const char* typed; // what the operator types
        const char* literal; // the text it stands for
    };
    // A '[' is a wildcard set only when a ']' closes it; "[[]" is the bracket itself.
    const Case cases[] = {
        {1, "'", "'"},   {1, "\"", "\""}, {1, "%", "%"}, {1, "_", "_"},   {1, "\\", "\\"}, {1, "é", "é"},
        {1, "中", "中"}, {1, "[[]", "["}, {1, "]", "]"}, {1, "[*]", "*"}, {1, "[?]", "?"}, {1, "[#]", "#"},
        {2, "'", "'"},   {3, "[[]", "["}, {3, "'", "'"}, {0, "'", "'"},
    };
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    EXPECT_EQ(window->list().lines().size(), HostileData::texts().size() + 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " under option " + std::to_string(c.option));
        const QSet<int> expected = holding(c.option, QString::fromUtf8(c.literal));
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(found(c.option, QString::fromUtf8(c.typed)), expected);
    }
}

} // namespace
