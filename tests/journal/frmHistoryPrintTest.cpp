#include "journal/widgets/frmHistory.h"

#include "app/HistoryModule.h"
#include "journal/widgets/JournalGrid.h"
#include "journal/JournalModel.h"
#include "platform/Twips.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"
#include "support/PdfTools.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTest>

namespace {

class frmHistoryPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        suite.addAccount(1, 10);
        for (int day = 1; day <= 12; ++day)
            suite.insert("[tbl bill detail]",
                         {{"custkey", 1},
                          {"lockey", 10},
                          {"code", "WA"},
                          {"amount", day},
                          {"date", QDate(2017, 3, day).toString(Qt::ISODate)}});
        suite.prepare(module, 1, 10);
        window = std::make_unique<frmHistory>(module, messenger, navigator);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        grid = control<JournalGrid>(window.get(), "grd");
    }

    // Clicks a row selector, as the operator selects whole rows.
    void selectRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QHeaderView* selectors = grid->verticalHeader();
        const QPoint at(
            selectors->width() / 2, selectors->sectionViewportPosition(row) + selectors->sectionSize(row) / 2);
        QTest::mouseClick(selectors->viewport(), Qt::LeftButton, modifiers, at);
    }

    // Prints, keeping what the preview shows as a PDF and closing it; true when a
    // preview showed.
    bool print()
    {
        previewed = false;
        QFile::remove(pdf());
        // A member timer: a preview that never opens leaves nothing pending behind the test.
        closer.setSingleShot(true);
        closer.callOnTimeout([this] {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                previewed = true;
                preview->printer()->setOutputFormat(QPrinter::PdfFormat);
                preview->printer()->setOutputFileName(pdf());
                Q_EMIT preview->paintRequested(preview->printer());
                preview->reject();
            }
        });
        closer.start(50);
        QTest::mouseClick(control<QPushButton>(window.get(), "cmdPrint"), Qt::LeftButton);
        closer.stop();
        closer.disconnect();
        return previewed;
    }

    QString pdf() const { return suite.filePath("printed.pdf"); }

    // The printed rows' post dates, top to bottom, with the top of each in points.
    QList<std::pair<QString, double>> printedPostDates() const
    {
        QList<std::pair<QString, double>> dates;
        for (const auto& word : PdfTools::wordTops(pdf()))
            if (word.first.endsWith("/2017"))
                dates.append(word);
        return dates;
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    RecordingNavigator navigator;
    std::unique_ptr<frmHistory> window;
    JournalGrid* grid = nullptr;
    QTimer closer;
    bool previewed = false;
};

TEST_F(frmHistoryPrintTest, CellClicksMoveTheCurrentRowWithoutSelecting)
{
    const QRect cell = grid->visualRect(grid->model()->index(3, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_TRUE(grid->selectedRowsInOrder().empty());
    EXPECT_TRUE(print());
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(frmHistoryPrintTest, SelectedRowsAskFirstAndKeepTheirOrder)
{
    grid->scrollToTop();
    selectRow(9);
    selectRow(2, Qt::ControlModifier);
    EXPECT_EQ(grid->selectedRowsInOrder(), (std::vector<int>{9, 2}));

    messenger.answers.push_back(Messenger::Answer::Cancel);
    EXPECT_FALSE(print());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, "Print just the selected history records?");
    EXPECT_EQ(messenger.messages[0].title, "WHAT DO YOU WANT TO PRINT?");
    EXPECT_EQ(messenger.messages[0].buttons, Messenger::Buttons::YesNoCancel);

    messenger.answers.push_back(Messenger::Answer::Yes);
    EXPECT_TRUE(print());
    EXPECT_EQ(grid->currentIndex().row(), 2);
}

TEST_F(frmHistoryPrintTest, ASelectionPrintsAllItsRowsWhicheverWayItWasMade)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    const struct {
        const char* name;
        int clicked;
        Qt::KeyboardModifiers modifier;
    } cases[] = {{"shift-clicked upwards", 5, Qt::ShiftModifier}, {"control-clicked above", 3, Qt::ControlModifier}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->clearSelection();
        grid->scrollToTop();
        selectRow(9);
        selectRow(c.clicked, c.modifier);
        messenger.answers.push_back(Messenger::Answer::Yes);
        ASSERT_TRUE(print());
        QStringList dates;
        for (const auto& date : printedPostDates())
            dates << date.first;
        QStringList expected;
        for (int row = c.clicked; row <= 9; ++row)
            expected << QStringLiteral("3/%1/2017").arg(row + 1);
        EXPECT_EQ(dates, expected);
    }
}

TEST_F(frmHistoryPrintTest, RowsPrintAsHighAsTheGridShowsThem)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    suite.exec("update [tbl bill detail] set comment = 'a long note that wraps onto a second and a third line of "
               "the description column, as long notes do' where amount = 4");
    window->Form_Load();
    QApplication::processEvents();
    // The operator widens DESCRIPTION by dragging its right edge; the rows keep their height.
    QHeaderView* header = grid->horizontalHeader();
    const int edge =
        header->sectionViewportPosition(JournalModel::Description) + header->sectionSize(JournalModel::Description) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + 150, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 150, y));
    ASSERT_GT(header->sectionSize(JournalModel::Description), 140 + Twips::toPixels(3100, grid->logicalDpiX()));
    ASSERT_GT(grid->rowHeight(0), 2 * grid->fontMetrics().height());

    ASSERT_TRUE(print());
    const auto dates = printedPostDates();
    ASSERT_GE(dates.size(), 2);
    const double pitchTwips = (dates[1].second - dates[0].second) * 20;
    EXPECT_NEAR(pitchTwips, Twips::fromPixels(grid->rowHeight(0), grid->logicalDpiY()), 2);
}

TEST_F(frmHistoryPrintTest, LargeAmountsPrintWholeInAMetricCompatibleFace)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    suite.exec("delete from [tbl bill detail]");
    const std::pair<const char*, double> rows[] = {{"[tbl bill detail]", 1234567.89},
                                                   {"[tbl payment detail]", 147},
                                                   {"[tbl bill detail]", 123456.78},
                                                   {"[tbl bill detail]", 998000000},
                                                   {"[tbl payment detail]", 999999999.99}};
    int day = 0;
    for (const auto& [table, amount] : rows)
        suite.insert(table,
                     {{"custkey", 1},
                      {"lockey", 10},
                      {"code", "WA"},
                      {"amount", amount},
                      {"date", QDate(2017, 3, ++day).toString(Qt::ISODate)}});
    window->Form_Load();
    QApplication::processEvents();
    ASSERT_TRUE(print());

    const QStringList words = PdfTools::text(pdf()).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    for (const char* amount : {"1234567.89", "147.00", "1234420.89", "123456.78", "1357877.67", "998000000.00",
                               "999357877.67", "999999999.99", "-642122.32"})
        EXPECT_TRUE(words.contains(QString::fromLatin1(amount))) << amount << " in " << words.join(' ').toStdString();
    for (const char* heading :
         {"Post", "Date", "Read", "Code", "Description", "Present", "Usage", "Charge", "Payment", "Balance"})
        EXPECT_TRUE(words.contains(QString::fromLatin1(heading))) << heading;

    // Arial's metrics hold only in a face made to them, and readers need it in the file.
    const QStringList fonts = PdfTools::fonts(pdf()).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        const QStringList columns = font.split(' ', Qt::SkipEmptyParts);
        EXPECT_TRUE(columns.first().contains("LiberationSans")) << font.toStdString();
        EXPECT_EQ(columns.value(columns.size() - 5), "yes") << font.toStdString();
    }
}

TEST_F(frmHistoryPrintTest, PrintedReadingsFollowTheMultiplierSwitch)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    suite.insert("[tbl reading]",
                 {{"custkey", 1},
                  {"lockey", 10},
                  {"billdate", "2017-03-05"},
                  {"readdate", "2017-03-02"},
                  {"code", "WA"},
                  {"previous", 120},
                  {"present", 135},
                  {"usage", 15},
                  {"multiplier", 10},
                  {"mrcomment", "note"}});
    window->Form_Load();
    QApplication::processEvents();
    // Nothing selected: each print holds the whole journal.
    const struct {
        const char* state;
        QStringList printed, notPrinted;
    } clicks[] = {{"applied", {"1350", "150"}, {"135", "MULT:10"}},
                  {"removed", {"135", "15", "MULT:10"}, {"1350", "150"}},
                  {"applied again", {"1350", "150"}, {"135", "MULT:10"}}};
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.state);
        QTest::mouseClick(control<QPushButton>(window.get(), "cmdApplyMult"), Qt::LeftButton);
        ASSERT_TRUE(print());
        const QStringList words = PdfTools::text(pdf()).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (const QString& word : click.printed)
            EXPECT_TRUE(words.contains(word)) << word.toStdString() << " in " << words.join(' ').toStdString();
        for (const QString& word : click.notPrinted)
            EXPECT_FALSE(words.contains(word)) << word.toStdString();
    }
}

} // namespace
