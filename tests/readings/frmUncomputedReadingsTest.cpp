#include "readings/widgets/frmUncomputedReadings.h"

#include "app/HistoryModule.h"
#include "readings/ReadingColumns.h"
#include "readings/widgets/ReadingsGrid.h"
#include "support/FakeMessenger.h"
#include "platform/widgets/MessageBoxMessenger.h"
#include "support/GuiHelpers.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTest>
#include <memory>

using namespace ReadingColumns;

namespace {

const QString loadedLine = "20190307 02:49 PM CLERK1 Edit existing readings form loaded for account 10442\r\n";
const QString unloadedLine = "20190307 02:49 PM CLERK1 Edit existing readings form unloaded for account 10442\r\n";

class frmUncomputedReadingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.prepare(module, 1, 10);
        suite.writeFile("rdgsacct.txt", "10442\r\nRIVERSIDE MILL\r\n");
    }

    // Reading n is billed on the first of month n from 2015 on.
    void addReadings(int count)
    {
        suite.exec("delete from [tbl reading]");
        for (int n = 1; n <= count; ++n) {
            const QDate bill = QDate(2015, 1, 1).addMonths(n - 1);
            suite.exec("insert into [tbl reading] (ReadingKey, CustKey, LocKey, Code, ReadDate, BillDate, Previous, "
                       "Present, Usage, Multiplier, MultiTenants, Factor, MSN, ChgOut, estimated, mrcomment, "
                       "EntryDate) values (?, 1, 10, 'A', ?, ?, 100, 150, 50, 1, 2, 1, 'M-1', 0, 0, 'ok', ?)",
                       {n, bill.addDays(-3).toString(Qt::ISODate), bill.toString(Qt::ISODate),
                        bill.addDays(-2).toString(Qt::ISODate)});
        }
    }

    void open(Messenger* speaker = nullptr)
    {
        window = std::make_unique<frmUncomputedReadings>(module, speaker ? *speaker : messenger);
        checkModels(window.get());
        window->setAuditClock([] { return QDateTime(QDate(2019, 3, 7), QTime(14, 49)); });
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible() || window->isActiveWindow(); }));
        QApplication::processEvents();
        grid = control<ReadingsGrid>(window.get(), "SSDBGrid1");
    }

    void activateAgain()
    {
        QDialog other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        other.close();
        window->activateWindow();
    }

    void type(int row, int column, const QString& text, Qt::Key leave = Qt::Key_Tab)
    {
        // As a clerk does: on the cell, typing replaces its value; F2 to empty it.
        grid->setCurrentIndex(grid->model()->index(row, column));
        grid->setFocus();
        if (text.isEmpty())
            QTest::keyClick(grid, Qt::Key_F2);
        else
            QTest::keyClicks(grid, text.left(1));
        auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
        ASSERT_NE(editor, nullptr);
        if (text.isEmpty())
            editor->clear();
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, leave);
        QApplication::processEvents();
    }

    QVariant stored(int key, const QString& field)
    {
        return suite.billing().scalar("select " + field + " from [tbl reading] where ReadingKey = ?", {key});
    }

    QString audit() const { return QString::fromUtf8(suite.readFile("AUDIT/billing201903.LOG")); }
    QString cell(int row, int column) const { return grid->model()->index(row, column).data().toString(); }
    QString caption() { return control<QLabel>(window.get(), "SSDBGrid1Caption")->text(); }
    void expectOnly(const QString& text, const char* title, Messenger::Icon icon)
    {
        ASSERT_EQ(messenger.texts(), QStringList{text});
        EXPECT_EQ(messenger.messages[0].title, title);
        EXPECT_EQ(messenger.messages[0].icon, icon);
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    std::unique_ptr<frmUncomputedReadings> window;
    ReadingsGrid* grid = nullptr;
};

TEST_F(frmUncomputedReadingsTest, OpensOnTheTwelfthReadingFromTheEndReloadsWhenActiveAgainAndAudits)
{
    const QStringList connections = QSqlDatabase::connectionNames();
    // Each activation reads the identity file, which shapes the caption, and the readings afresh.
    // clang-format off
    const std::tuple<int, int, const char*, QByteArray, const char*> cases[] = {
        {1, 0, "other.txt", "", "All Meter Readings for  "},
        {13, 1, "rdgsacct.txt", "10442\r\n", "All Meter Readings for 10442 "},
        {12, 0, "RDGSACCT.TXT", "77\r\nO'HARA\r\n", "All Meter Readings for 77 O'HARA"},
        {1, 0, "rdgsacct.txt", "a\rb\nc\r\n", "All Meter Readings for a\rb c"}, // a lone CR is no line break
        {30, 18, "rdgsacct.txt", "10442\nRIVERSIDE MILL\n", "All Meter Readings for 10442 RIVERSIDE MILL"},
    };
    // clang-format on
    for (const auto& [count, current, name, contents, expected] : cases) {
        QFile::remove(suite.filePath("rdgsacct.txt"));
        QFile::remove(suite.filePath("RDGSACCT.TXT"));
        suite.writeFile(name, contents);
        addReadings(count);
        suite.exec("update [tbl reading] set mrcomment = 'moved' || char(10) || 'to the wall' where ReadingKey = 2");
        if (window)
            activateAgain();
        else
            open();
        EXPECT_TRUE(QTest::qWaitFor([&, expected = QString(expected)] { return caption() == expected; })) << name;
        EXPECT_EQ(grid->currentIndex(), grid->model()->index(current, Code)) << count;
    }
    EXPECT_TRUE(messenger.messages.isEmpty());
    ASSERT_EQ(grid->model()->rowCount(), 30);
    EXPECT_TRUE(grid->isColumnHidden(CustKey) && grid->isColumnHidden(LocKey) && !grid->isColumnHidden(Code));
    EXPECT_EQ(cell(0, BillDate), "1/1/2015");
    EXPECT_EQ(cell(0, ReadDate), "12/29/2014");
    EXPECT_EQ(cell(29, BillDate), "6/1/2017");
    // Rows are one line but for a two-line comment, and the latest reading is on screen.
    const int line = grid->fontMetrics().lineSpacing();
    EXPECT_LT(grid->rowHeight(0), 2 * line);
    EXPECT_GE(grid->rowHeight(1), 2 * line);
    const int height = grid->viewport()->height();
    EXPECT_GE(grid->rowAt(height - 1) - grid->rowAt(0) + 1, 15);
    const QRect latest = grid->visualRect(grid->model()->index(29, Code));
    EXPECT_GE(latest.top(), 0);
    EXPECT_LE(latest.bottom(), height);
    EXPECT_GE(grid->visualRect(grid->currentIndex()).top(), 0);
    // A row's height follows its comment, never the mouse: dragging its lower edge leaves it.
    QWidget* rows = grid->verticalHeader()->viewport();
    const int top = grid->rowAt(0), before = grid->rowHeight(top);
    const QPoint edge(rows->width() / 2, grid->rowViewportPosition(top) + before - 1);
    QTest::mousePress(rows, Qt::LeftButton, {}, edge);
    QTest::mouseMove(rows, edge + QPoint(0, 30));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, edge + QPoint(0, 30));
    EXPECT_EQ(grid->rowHeight(top), before);
    QTest::mouseClick(control<QPushButton>(window.get(), "cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(audit().count("form loaded"), 5);
    EXPECT_TRUE(audit().endsWith(loadedLine + unloadedLine));
    // Closing gives the billing connection and the rows back.
    EXPECT_EQ(QSqlDatabase::connectionNames(), connections);
    EXPECT_EQ(grid->model()->rowCount(), 0);
}

// One row edited column after column: each audited change writes its line, the others none.
TEST_F(frmUncomputedReadingsTest, EditsWriteTheRowEnterMovesOnAndOnlyAuditedChangesALineIfItCan)
{
    addReadings(2);
    open();
    // clang-format off
    const std::tuple<int, const char*, const char*, QVariant, const char*> cases[] = {
        {Code, "B", "Code", "B", "changed meter reading code from A to B for bill date 1/1/2015"},
        {Code, "a", "Code", "a", "changed meter reading code from B to a for bill date 1/1/2015"},
        {ReadDate, "1517", "ReadDate", "2017-01-05", "changed meter read date from 12/29/2014 to 01/05/2017 for bill date 1/1/2015"},
        {Usage, "55", "Usage", 55, "changed metered usage from 50 to 55 for bill date 1/1/2015"},
        {Previous, "120", "Previous", 120, "changed previous reading from 100 to 120 for bill date 1/1/2015"},
        {Present, "175.5", "Present", 175.5, "changed present reading from 150 to 175.5 for bill date 1/1/2015"},
        {Multiplier, "10", "Multiplier", 10, "changed meter multiplier from 1 to 10 for bill date 1/1/2015"},
        {Tenants, "3", "MultiTenants", 3, "changed number of metered tenants from 2 to 3 for bill date 1/1/2015"},
        {EntryDate, "6/3/2017", "EntryDate", "2017-06-03", "changed meter reading entry date from 12/30/2014 to 6/3/2017 for bill date 1/1/2015"},
        {BillDate, "020115", "BillDate", "2015-02-01", "changed meter bill date from 1/1/2015 to 02/01/2015"},
        {Factor, "2", "Factor", 2, nullptr}, {MSN, "M'2 [x] 50% _y_ *?# \\ \"q\"", "MSN", "M'2 [x] 50% _y_ *?# \\ \"q\"", nullptr}, {ChangedOut, "-1", "ChgOut", -1, nullptr},
        {Estimated, "-1", "estimated", -1, nullptr}, {Comment, "x'); drop table x; --", "mrcomment", "x'); drop table x; --", nullptr},
        {EstimatedAgain, "0", "estimated", 0, nullptr}, {Previous, "120.0", "Previous", 120, nullptr}, // numerically the same
        {ReadDate, "01052017", "ReadDate", "2017-01-05", nullptr}, // the same date
    };
    // clang-format on
    QString expected = loadedLine;
    for (const auto& [column, typed, field, value, line] : cases) {
        type(0, column, typed);
        EXPECT_TRUE(messenger.messages.isEmpty()) << typed << ": " << messenger.texts().join('|').toStdString();
        EXPECT_EQ(stored(1, field), value) << typed;
        if (line)
            expected += "20190307 02:49 PM CLERK1 " + QString::fromUtf8(line) + " for account 10442\r\n";
        EXPECT_EQ(audit(), expected) << typed;
    }
    // Enter moves on a column; Previous or Present rewrites the usage of that row alone.
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, Code));
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(grid->currentIndex().column(), ReadDate);
    auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "1/29/2015");
    EXPECT_EQ(editor->selectedText(), "1/29/2015");
    type(1, Code, "Z", Qt::Key_Enter);
    EXPECT_EQ(stored(2, "Code"), "Z");
    EXPECT_EQ(grid->currentIndex().column(), ReadDate);
    type(1, EntryDate, "1/2/2015", Qt::Key_Return);
    EXPECT_EQ(grid->currentIndex().column(), EntryDate);
    EXPECT_EQ(stored(2, "EntryDate"), "2015-01-02");
    type(1, Previous, "120");
    EXPECT_EQ(stored(2, "Usage").toDouble(), 30);
    EXPECT_EQ(cell(1, Usage), "30");
    type(1, Present, "200");
    EXPECT_EQ(stored(2, "Usage").toDouble(), 80);
    EXPECT_EQ(stored(1, "Usage").toDouble(), 55.5);
    type(1, Usage, "81");
    EXPECT_TRUE(audit().endsWith("changed metered usage from 80 to 81 for bill date 2/1/2015 for account 10442\r\n"));
    // A date without a year is this year's.
    type(0, ReadDate, "5/4");
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join('|').toStdString();
    EXPECT_EQ(stored(1, "ReadDate"), QDate(QDate::currentDate().year(), 5, 4).toString(Qt::ISODate));
    // A click on the cell already selected opens its editor as well.
    const QModelIndex cell = grid->model()->index(0, Comment);
    grid->setCurrentIndex(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    EXPECT_TRUE(QTest::qWaitFor([this] { return grid->openEditor() != nullptr; }, 2000));
    // An unwritable audit is told once and edits go on.
    QDir(suite.filePath("AUDIT")).removeRecursively();
    suite.writeFile("AUDIT", "a file where the folder should be");
    type(0, Code, "B");
    type(0, Code, "C");
    expectOnly(messenger.messages.value(0).text, "AUDIT NOT WRITTEN", Messenger::Icon::Warning);
    EXPECT_EQ(stored(1, "Code"), "C");
    window->reject();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(messenger.messages.size(), 1);
}

TEST_F(frmUncomputedReadingsTest, RefusedValuesKeepTheEditorAndTheRow)
{
    addReadings(3);
    suite.exec("create trigger refuse before update of Code on [tbl reading] when new.Code = 'XX' "
               "begin select raise(abort, 'code XX is retired'); end");
    open();
    // clang-format off
    const std::tuple<int, QString, const char*, const char*> cases[] = {
        {ReadDate, "13517", "Invalid Date", "Quillmark32"}, {BillDate, "", "Invalid Date", "Quillmark32"},
        {Previous, "abc", "Previous was not saved: \"abc\" is not a number.", "TRY AGAIN"},
        {Tenants, "2.5", "Tenants was not saved: \"2.5\" is not a whole number.", "TRY AGAIN"},
        {Present, "1e13", "Present was not saved: \"1e13\" is out of range.", "TRY AGAIN"},
        {Multiplier, "-2000000000000", "Multiplier was not saved: \"-2000000000000\" is out of range.", "TRY AGAIN"},
        {EntryDate, "2/30/2017", "EntryDate was not saved: \"2/30/2017\" is not a date.", "TRY AGAIN"},
        {Code, "XX", "Code was not saved: code XX is retired", "TRY AGAIN"},
    };
    // clang-format on
    for (const auto& [column, typed, message, title] : cases) {
        SCOPED_TRACE(typed.toStdString());
        messenger.messages.clear();
        type(0, column, typed);
        ASSERT_EQ(messenger.messages.size(), 1);
        EXPECT_EQ(messenger.messages[0].text, message);
        EXPECT_EQ(messenger.messages[0].title, title);
        auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), typed);
        EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, column));
        QTest::keyClick(editor, Qt::Key_Escape);
    }
    EXPECT_EQ(suite.billing().scalar("select ReadDate || BillDate || Previous || Usage || MultiTenants || Code "
                                     "from [tbl reading]"),
              "2014-12-292015-01-01100502A");
    EXPECT_EQ(audit(), loadedLine);
    type(0, Previous, "120");
    EXPECT_EQ(stored(1, "Previous").toInt(), 120);
    // A refused value is not lost by moving to another row.
    messenger.messages.clear();
    grid->setCurrentIndex(grid->model()->index(0, Present));
    grid->edit(grid->currentIndex());
    auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
    ASSERT_NE(editor, nullptr);
    editor->setText("lots");
    grid->setCurrentIndex(grid->model()->index(2, Code));
    QApplication::processEvents();
    const QString refused = "Present was not saved: \"lots\" is not a number.";
    EXPECT_EQ(messenger.texts(), QStringList{refused});
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, Present));
    ASSERT_NE(grid->openEditor(), nullptr);
    EXPECT_EQ(qobject_cast<QLineEdit*>(grid->openEditor())->text(), "lots");

    // Closing tries it once more, says so, and lets the operator keep editing or drop it.
    for (const Messenger::Answer answer : {Messenger::Answer::No, Messenger::Answer::Yes}) {
        messenger.messages.clear();
        messenger.answers = {Messenger::Answer::Ok, answer};
        QTest::keyClick(grid->openEditor(), Qt::Key_X, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([this] { return messenger.messages.size() == 2; }));
        EXPECT_EQ(messenger.texts(),
                  (QStringList{refused,
                               "The value typed in Present has not been saved. Close the "
                               "window and discard it?"}));
        EXPECT_EQ(messenger.messages[1].title, "NOT SAVED");
        if (answer == Messenger::Answer::No) {
            EXPECT_TRUE(window->isVisible());
            ASSERT_NE(grid->openEditor(), nullptr);
            EXPECT_EQ(QApplication::focusWidget(), grid->openEditor());
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
    EXPECT_EQ(stored(1, "Present").toInt(), 150);
}

TEST_F(frmUncomputedReadingsTest, AfterARefusalTheNextKeysReplaceTheRefusedText)
{
    addReadings(3);
    MessageBoxMessenger boxes;
    MessageBoxAnswerer answerer;
    open(&boxes);
    int typed = 200;
    for (const Qt::Key leave : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Down}) {
        SCOPED_TRACE(leave);
        answerer.texts.clear();
        type(1, Previous, "12x", leave);
        ASSERT_EQ(answerer.texts, QStringList{"Previous was not saved: \"12x\" is not a number."});
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return grid->openEditor() && QApplication::focusWidget() == grid->openEditor(); }, 1000));
        QTest::keyClicks(QApplication::focusWidget(), QString::number(++typed));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(stored(2, "Previous").toInt(), typed);
        EXPECT_EQ(answerer.texts.size(), 1);
    }
}

TEST_F(frmUncomputedReadingsTest, NoReadingsOrAnUnreadableDatabaseIsTold)
{
    open();
    expectOnly("No reading records exist for this service location.", "NOTHING TO SHOW", Messenger::Icon::Information);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(grid->model()->rowCount(), 0);
    activateAgain();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
    EXPECT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(audit(), loadedLine + unloadedLine);

    messenger.messages.clear();
    module.BillingDbPath = suite.filePath("missing.mdb");
    open();
    EXPECT_TRUE(messenger.messages.value(0).text.contains("missing.mdb"));
    expectOnly(messenger.messages.value(0).text, "CANNOT CONTINUE", Messenger::Icon::Critical);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
