#include "journal/JournalWindowFixture.h"

#include "journal/widgets/JournalGrid.h"
#include "journal/JournalModel.h"
#include "platform/Twips.h"
#include "support/PdfTools.h"

#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>

namespace {

// Sixty charges of 10.00, one a day from New Year's Day 2017: two printed pages.
class frmHistoryPrintTest : public JournalWindowFixture {
protected:
    void SetUp() override
    {
        JournalWindowFixture::SetUp();
        for (int i = 0; i < 60; ++i)
            bill(QDate(2017, 1, 1).addDays(i).toString(Qt::ISODate), "WA", 10,
                 {{"comment", QString("Charge %1").arg(i)}});
        open();
        grid = control<JournalGrid>(window.get(), "grd");
    }
    // Rebuilds the journal from the billing database as it is now.
    void reload()
    {
        window->Form_Load();
        QApplication::processEvents();
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
        closer.start(0);
        click("cmdPrint");
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

    JournalGrid* grid = nullptr;
    QTimer closer;
    bool previewed = false;
};

TEST_F(frmHistoryPrintTest, SelectionsRowHeightsLargeAmountsAndReadingsPrintAsTheWindowShowsThem)
{
    // A click on a cell moves the current row and selects nothing: the journal prints unasked.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 3)).center());
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_TRUE(grid->selectedRowsInOrder().empty());
    EXPECT_TRUE(print());
    EXPECT_TRUE(messenger.messages.isEmpty());
    if (PdfTools::available()) {
        EXPECT_EQ(PdfTools::pageCount(pdf()), 2); // 48 rows a page
        EXPECT_TRUE(PdfTools::run("pdfinfo", {pdf()}).contains("612 x 792 pts (letter)"));
        const QString text = PdfTools::text(pdf());
        // pdftotext lays the page out again, so blanks between words are not counted.
        EXPECT_EQ(text.count(QRegularExpression("TEST UTILITY\\s+Customer History")), 2);
        EXPECT_EQ(text.count("Account: A1"), 2);
        EXPECT_EQ(text.count(QRegularExpression("Charge \\d+")), 60);
        EXPECT_TRUE(text.contains(QRegularExpression("1/11/2017\\s+WA\\s+Charge 10\\s+10.00\\s+110.00")));
    }
    // A work file gone from under the window is told, not printed.
    const QString work = std::exchange(module.WorkDbPath, suite.filePath("gone.mdb"));
    EXPECT_FALSE(print());
    EXPECT_EQ(messenger.messages.value(0).title, QStringLiteral("CANNOT PRINT"));
    module.WorkDbPath = work;

    const struct {
        const char* name;
        int clicked;
        Qt::KeyboardModifiers modifier;
        std::vector<int> selected;
        int currentRow;
    } cases[] = {{"control-clicked above", 2, Qt::ControlModifier, {9, 2}, 2},
                 {"shift-clicked upwards", 5, Qt::ShiftModifier, {9, 5, 6, 7, 8}, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->clearSelection();
        grid->scrollToTop();
        selectRow(9);
        selectRow(c.clicked, c.modifier);
        EXPECT_EQ(grid->selectedRowsInOrder(), c.selected);
        messenger.messages.clear();
        messenger.answers = {Messenger::Answer::Cancel, Messenger::Answer::Yes};
        EXPECT_FALSE(print());
        EXPECT_EQ(messenger.texts(), QStringList{"Print just the selected history records?"});
        ASSERT_TRUE(print());
        EXPECT_EQ(grid->currentIndex().row(), c.currentRow);
        if (!PdfTools::available())
            continue;
        QStringList dates, expected;
        for (const auto& date : printedPostDates())
            dates << date.first;
        for (int row = c.clicked; row <= 9; ++row)
            expected << QStringLiteral("1/%1/2017").arg(row + 1);
        EXPECT_EQ(dates, expected);
    }

    // The newest rows stay in view while row heights change.
    grid->clearSelection();
    suite.exec("update [tbl bill detail] set comment = 'a long note that wraps onto a second and a third line of "
               "the description column, as long notes do' where date = '2017-01-04'");
    reload();
    auto lastRowShown = [&] {
        QApplication::processEvents();
        const QModelIndex last = grid->model()->index(grid->model()->rowCount() - 1, 0);
        return grid->viewport()->rect().contains(grid->visualRect(last));
    };
    ASSERT_TRUE(lastRowShown());
    const int rowHeight = grid->rowHeight(0);
    click("cmdShowPrev");
    ASSERT_GT(grid->rowHeight(0), rowHeight);
    EXPECT_TRUE(lastRowShown());
    window->resize(window->width(), window->height() - 60);
    EXPECT_TRUE(lastRowShown());
    click("cmdShowPrev");
    EXPECT_TRUE(lastRowShown());
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";

    // Rows print as high as the grid shows them.
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

    // Large amounts print whole, and readings as the multiplier switch shows them.
    suite.exec("delete from [tbl bill detail]");
    const std::pair<const char*, double> rows[] = {{"[tbl bill detail]", 1234567.89},
                                                   {"[tbl payment detail]", 147},
                                                   {"[tbl bill detail]", 123456.78},
                                                   {"[tbl bill detail]", 998000000},
                                                   {"[tbl payment detail]", 999999999.99}};
    int day = 0;
    for (const auto& [table, amount] : rows)
        add(table, {{"code", "WA"}, {"amount", amount}, {"date", QDate(2017, 3, ++day).toString(Qt::ISODate)}});
    reading("2017-03-05", 120, 135, 15, 10, {{"readdate", "2017-02-27"}, {"mrcomment", "note"}});
    reload();
    // Nothing selected: each print holds the whole journal, as built and with the multiplier applied.
    const struct {
        const char* state;
        QStringList printed, notPrinted;
    } states[] = {{"as built",
                   {"1234567.89", "147.00", "1234420.89", "123456.78", "1357877.67", "998000000.00", "999357877.67",
                    "999999999.99", "-642122.32", "135", "15", "MULT:10", "2/27/2017"},
                   {"1350", "150"}},
                  {"applied", {"1350", "150"}, {"135", "MULT:10"}}};
    for (const auto& state : states) {
        SCOPED_TRACE(state.state);
        if (state.state != states[0].state)
            click("cmdApplyMult");
        ASSERT_TRUE(print());
        const QStringList words = PdfTools::text(pdf()).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (const QString& word : state.printed)
            EXPECT_TRUE(words.contains(word)) << word.toStdString() << " in " << words.join(' ').toStdString();
        for (const QString& word : state.notPrinted)
            EXPECT_FALSE(words.contains(word)) << word.toStdString();
    }
    // Arial's metrics hold only in a face made to them, and readers need it in the file.
    const QStringList fonts = PdfTools::fonts(pdf()).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        const QStringList columns = font.split(' ', Qt::SkipEmptyParts);
        EXPECT_TRUE(columns.first().contains("LiberationSans")) << font.toStdString();
        EXPECT_EQ(columns.value(columns.size() - 5), "yes") << font.toStdString();
    }
}

} // namespace
