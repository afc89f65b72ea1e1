#include "readings/ReadingsModel.h"

#include "support/TestSuite.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace ReadingColumns;

namespace {

class ReadingsModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.exec("insert into [tbl reading] (ReadingKey, CustKey, LocKey, Code, BillDate, ChgOut, Previous, Present, "
                   "Usage, estimated, ReadDate) values (1, 1, 10, 'WA', '2017-05-01', 1, 100.1, 150.3, 50.2, 0, null), "
                   "(2, 1, 10, 'WA', '2017-05-01', -1, 0, 7, null, null, null), "
                   "(3, 1, 10, 'SW', '2017-04-01', null, null, null, null, null, 'N/A'), "
                   "(4, 1, 11, null, '2017-01-01', null, null, null, null, null, null), "
                   "(5, 2, 10, null, '2017-01-01', null, null, null, null, null, null)");
        const Outcome loaded = model.load(SqlConnection::open(suite.billingPath()), 1, 10);
        ASSERT_TRUE(loaded) << loaded.message().toStdString();
    }

    QVariant stored(int key, const QString& field)
    {
        return suite.billing().scalar("select " + field + " from [tbl reading] where ReadingKey = ?", {key});
    }

    TestSuite suite;
    ReadingsModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(ReadingsModelTest, LoadsTheLocationInBillDateAndChangeOutOrder)
{
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.text(0, Code), "SW");
    EXPECT_EQ(model.text(0, ReadDate), "N/A"); // no date: shown as stored
    EXPECT_EQ(model.text(1, Present), "7"); // change-out -1 before 1
    EXPECT_EQ(model.text(2, BillDate), "5/1/2017");
    EXPECT_EQ(model.text(2, Previous), "100.1");
    EXPECT_FALSE(model.flags(model.index(0, CustKey)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, Code)) & Qt::ItemIsEditable);
}

TEST(ReadingsModelValues, StoredValuesByKind)
{
    const QVariant refused; // an invalid variant: the text is no value of the kind
    const QVariant null = QVariant(QMetaType(QMetaType::QString));
    // clang-format off
    const std::tuple<Kind, const char*, QVariant> cases[] = {
        {Kind::Text, "O'Brien \"x\"", QString("O'Brien \"x\"")}, {Kind::Text, "  ", null}, {Kind::Date, "", null},
        {Kind::Date, "05/01/2017", QString("2017-05-01")}, {Kind::Date, "1/35/17", refused}, {Kind::Date, "1517", refused},
        {Kind::Number, " 120.5 ", 120.5}, {Kind::Number, "-3", -3.0}, {Kind::Number, "12abc", refused},
        {Kind::Number, "abc", refused}, {Kind::Number, "-1e12", -1e12}, {Kind::Number, "1000000000000.5", refused},
        {Kind::Number, "1e308", refused}, {Kind::Number, "inf", refused}, {Kind::Number, "nan", refused},
        {Kind::Integer, "3", 3}, {Kind::Integer, "2.5", refused}, {Kind::Integer, "2147483648", refused},
        {Kind::Integer, "-2147483648", INT32_MIN}, {Kind::Integer, "2147483647", INT32_MAX}, {Kind::Integer, "-2147483649", refused},
    };
    // clang-format on
    for (const auto& [kind, typed, expected] : cases) {
        QString problem;
        const std::optional<QVariant> value = ReadingsModel::storedValue(kind, QString::fromUtf8(typed), &problem);
        ASSERT_EQ(value.has_value(), expected.isValid()) << typed << ": " << problem.toStdString();
        if (!value)
            EXPECT_TRUE(problem.contains(QString::fromUtf8(typed))) << typed;
        else if (expected.isNull())
            EXPECT_TRUE(value->isNull()) << typed;
        else
            EXPECT_EQ(*value, expected) << typed;
    }
}

TEST_F(ReadingsModelTest, SameValueWritesNothingAndRefusalsChangeNothing)
{
    suite.exec("create trigger refuse before update on [tbl reading] begin select raise(abort, 'no writes'); end");
    for (const auto& [column, typed] : {std::pair{Previous, "100.10"}, {BillDate, "05/01/2017"}, {Code, "WA"}}) {
        const ReadingsModel::WriteOutcome outcome = model.write(2, column, QString::fromLatin1(typed));
        EXPECT_TRUE(outcome.ok) << typed;
        EXPECT_FALSE(outcome.changed) << typed;
    }
    // Refusals leave the row and the cache as they were.
    suite.exec("drop trigger refuse");
    suite.exec("create trigger refuse before update of Code on [tbl reading] when new.Code = 'XX' "
               "begin select raise(abort, 'code XX is retired'); end");
    auto outcome = model.write(2, Code, "XX");
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains("code XX is retired")) << outcome.error.toStdString();
    EXPECT_EQ(model.text(2, Code), "WA");
    outcome = model.write(2, Present, "lots");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(stored(1, "Present").toDouble(), 150.3);

    // Readings another program stored huge: a usage that would be infinite is not written.
    suite.exec("update [tbl reading] set Previous = -1.7e308 where ReadingKey = 1");
    ASSERT_TRUE(model.load(SqlConnection::open(suite.billingPath()), 1, 10));
    outcome = model.write(2, Present, "1e12");
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains("out of range")) << outcome.error.toStdString();
    EXPECT_EQ(stored(1, "Usage").toDouble(), 50.2);
    suite.exec("delete from [tbl reading] where ReadingKey = 1");
    outcome = model.write(2, Code, "XY");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(model.text(2, Code), "WA");
}

} // namespace
