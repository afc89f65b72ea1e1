#include "journal/JournalWindowFixture.h"

#include "journal/JournalModel.h"
#include "platform/Twips.h"

#include <QFileInfo>
#include <QLabel>
#include <QTableView>

namespace {

// Three months of a charge and a reading each.
class frmHistoryTest : public JournalWindowFixture {
protected:
    void SetUp() override
    {
        JournalWindowFixture::SetUp();
        module.JournalIsStartWindow = 1;
    }

    void addHistory()
    {
        for (int month = 1; month <= 3; ++month) {
            const QByteArray day = QStringLiteral("2017-%1-01").arg(month, 2, 10, QLatin1Char('0')).toLatin1();
            bill(day.constData(), "WA", 10);
            reading(day.constData(), month * 10, month * 10 + 10, 10, 1);
        }
    }

    QTableView* grid() { return control<QTableView>(window.get(), "grd"); }
    QLabel* header() { return control<QLabel>(window.get(), "Label2"); }
};

TEST_F(frmHistoryTest, ShowsTheJournalAsStoredAndItsSettingsAndRewritesThemAtClose)
{
    addHistory();
    bill("2017-04-01", "WA", 12110600.25);
    pay("2017-04-02", "WA", 99999999.99);
    open();
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_EQ(window->windowTitle(), "TEST UTILITY   HISTORY JOURNAL for Account: A1 John Smith");
    EXPECT_TRUE(header()->text().startsWith("Account: A1   John Smith\r\n"));
    ASSERT_EQ(grid()->model()->rowCount(), 8);
    EXPECT_EQ(grid()->currentIndex().row(), 7);
    EXPECT_TRUE(grid()->isColumnHidden(JournalModel::Previous));
    EXPECT_EQ(grid()->model()->index(0, 0).data().toString(), "1/1/2017");
    EXPECT_EQ(grid()->model()->index(5, JournalModel::Balance).data().toString(), "30.00");
    // Opened on its own there is no list to page through, and balances wait for their button.
    for (const char* hidden : {"cmdPrev", "cmdNext"})
        EXPECT_FALSE(control<QWidget>(window.get(), hidden)->isVisible()) << hidden;
    EXPECT_FALSE(control<QTableView>(window.get(), "grdbal")->isVisible());
    // The buttons line up with the grid's right edge.
    EXPECT_NEAR(control<QPushButton>(window.get(), "cmdExit")->geometry().right(), grid()->geometry().right(), 2);
    // Every digit of the largest amount shows.
    QStyleOptionViewItem option;
    option.initFrom(grid());
    option.font = grid()->font();
    for (const int column : {JournalModel::Charge, JournalModel::Payment, JournalModel::Balance}) {
        for (int row = 0; row < grid()->model()->rowCount(); ++row) {
            const QModelIndex index = grid()->model()->index(row, column);
            EXPECT_LE(grid()->itemDelegate()->sizeHint(option, index).width(), grid()->columnWidth(column))
                << index.data().toString().toStdString();
        }
    }
    // DESCRIPTION makes room: BALANCE stays in view without scrolling sideways.
    EXPECT_LE(grid()->columnViewportPosition(JournalModel::Balance) + grid()->columnWidth(JournalModel::Balance),
              grid()->viewport()->width());

    const int designWidth = grid()->columnWidth(JournalModel::Description);
    window->resize(window->width() + 300, window->height());
    EXPECT_EQ(grid()->columnWidth(JournalModel::Description), designWidth + 300);
    window->resize(Twips::toPixels(4000, window->logicalDpiX()), Twips::toPixels(1500, window->logicalDpiX()));
    const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
    for (const QPushButton* a : buttons) {
        EXPECT_TRUE(window->rect().contains(a->geometry())) << a->objectName().toStdString();
        for (const QPushButton* b : buttons)
            EXPECT_TRUE(a == b || !a->isVisible() || !b->isVisible() || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " " << b->objectName().toStdString();
    }

    // Stored text shows as text, and an inactive account in red.
    suite.exec("update [tbl customer] set fname = 'O''BRIEN <b>JR</b>', lname = null, active = 0");
    window->Form_Load();
    EXPECT_TRUE(header()->text().startsWith("Account: A1   O'BRIEN <b>JR</b>\r\n"));
    EXPECT_TRUE(header()->text().contains("  -  INACTIVE\r\n"));
    EXPECT_EQ(header()->palette().color(QPalette::Window), QColor(255, 0, 0));
    const QFontMetrics metrics(header()->font());
    EXPECT_GE(header()->sizeHint().height(), 4 * metrics.lineSpacing());
    EXPECT_GE(header()->sizeHint().width(), metrics.horizontalAdvance("Account: A1   O'BRIEN <b>JR</b>"));

    // A missing kind of row is told once, and the rest shown.
    suite.exec("drop table acctedits");
    suite.exec("drop table histcomments");
    window->Form_Load();
    EXPECT_EQ(messenger.texts(),
              QStringList{"The billing database " + suite.billingPath()
                          + " has no table histcomments, acctedits: the journal is shown "
                            "without history comments, account edits."});
    EXPECT_EQ(window->journal().rowCount(), 8);

    // The settings file shapes the window at load and is rewritten at close.
    suite.writeFile("VIEWLED.INI", "-1\r\n0\r\n1\r\n0\r\n13000\r\n");
    window->Form_Load();
    EXPECT_EQ(messenger.messages.size(), 1);
    EXPECT_FALSE(grid()->isColumnHidden(JournalModel::Previous));
    EXPECT_NEAR(Twips::fromPixels(window->width(), window->logicalDpiX()), 13000, 15);
    EXPECT_EQ(grid()->model()->index(0, JournalModel::Reading).data().toString(), " 20");
    window->resize(Twips::toPixels(9000, window->logicalDpiX()), window->height());
    click("cmdExit");
    EXPECT_EQ(suite.readFile("VIEWLED.INI"), QByteArray("-1\r\n 0\r\n-1\r\n 0\r\n 11380\r\n"));
    EXPECT_FALSE(QFileInfo::exists(module.WorkDbPath));
}

TEST_F(frmHistoryTest, AccountWithoutHistoryTellsAndClosesItself)
{
    open();
    // Told once, as paging onto such an account tells it.
    EXPECT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }, 1000));
    EXPECT_FALSE(QFileInfo::exists(module.WorkDbPath));
}

} // namespace
