// The readings window on a location whose readings hold hostile texts, dates and numbers.
#include "HostileSuite.h"

#include "readings/ReadingColumns.h"
#include "readings/widgets/ReadingsGrid.h"
#include "readings/widgets/frmUncomputedReadings.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

using namespace ReadingColumns;

namespace {

class HostileReadingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.prepareHostile(module);
        suite.writeFile("rdgsacct.txt", QString("H'1[%]\r\nO'BRIEN [&] \"SONS\" é中\r\n").toUtf8());
        window = std::make_unique<frmUncomputedReadings>(module, messenger);
        window->show();
        QApplication::processEvents();
        grid = control<ReadingsGrid>(window.get(), "SSDBGrid1");
    }

    QString cell(int row, int column) const { return grid->model()->index(row, column).data().toString(); }

    void type(int row, int column, const QString& text)
    {
        const QModelIndex index = grid->model()->index(row, column);
        grid->setCurrentIndex(index);
        grid->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Tab);
        QApplication::processEvents();
    }

    // A field of every reading, in the grid's order.
    QStringList stored(const char* field)
    {
        QStringList values;
        QSqlQuery q = suite.billing().query(QString("select %1 from [tbl reading] where CustKey = ? and LocKey = ? "
                                                    "order by BillDate, chgout, ReadingKey")
                                                .arg(field),
                                            {HostileData::CustKey, HostileData::LocKey});
        while (q.next())
            values << q.value(0).toString();
        return values;
    }
    QStringList shown(int column) const
    {
        QStringList values;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            values << cell(row, column);
        return values;
    }

    HostileSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    std::unique_ptr<frmUncomputedReadings> window;
    ReadingsGrid* grid = nullptr;
};

// Texts and numbers show as stored, and hostile texts typed are stored exactly.
TEST_F(HostileReadingsTest, ValuesShowAndSaveExactly)
{
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    EXPECT_EQ(control<QLabel>(window.get(), "SSDBGrid1Caption")->text(),
              "All Meter Readings for H'1[%] O'BRIEN [&] \"SONS\" é中");
    EXPECT_EQ(shown(MSN), stored("MSN"));
    EXPECT_EQ(shown(Comment), stored("mrcomment"));
    EXPECT_EQ(shown(Code), stored("Code"));
    const QStringList numbers = shown(Present) + shown(Multiplier);
    for (const char* number : {"12.34", "-125.5", "1000000000000000", "-1000000000000000", "0.005", "n/a"})
        EXPECT_TRUE(numbers.contains(number)) << number;

    const QString texts[] = {
        "M'1 [x] 50% _y_ *?# \\ \"q\" é中", HostileData::longText(), "x'); drop table histcomments; --"};
    for (const QString& text : texts) {
        type(0, MSN, text);
        EXPECT_EQ(stored("MSN").value(0), text);
        type(1, Comment, text);
        EXPECT_EQ(stored("mrcomment").value(1), text);
    }
    EXPECT_TRUE(suite.billing().tableExists("histcomments"));
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
}

} // namespace
