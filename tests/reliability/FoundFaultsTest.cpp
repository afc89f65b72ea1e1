// Regression cases for the faults the fuzzers and the hostile data found.
#include "journal/JournalLoader.h"
#include "platform/Currency.h"
#include "platform/LikePattern.h"
#include "platform/SqlConnection.h"
#include "support/TestSuite.h"

#include <QVariant>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Typed text can hold a lone surrogate; searched for literally it must find itself.
TEST(FoundFaults, TextWithALoneSurrogateMatchesItsOwnEscape)
{
    for (const QString& text : {QString(QChar(0xD8C7)) + "+", QString("a") + QChar(0xDC00), QString(QChar(0xDBFF))}) {
        EXPECT_TRUE(LikePattern(LikePattern::escape(text)).matches(text));
        EXPECT_TRUE(LikePattern("*").matches(text));
        EXPECT_TRUE(LikePattern("?*").matches(text));
    }
}

// An amount that cannot be read makes the row's change unknown (NULL), never 0.
TEST(MoneyDelta, UnreadableOrOutOfRangeAmountsGiveNoChange)
{
    SqlConnection db = SqlConnection::open(":memory:", SqlConnection::Mode::CreateIfMissing);
    const QVariant none;
    const struct {
        QVariant charge, payment, units;
    } cases[] = {
        {"10.00", none, 100000LL},
        {none, "2.50", -25000LL},
        {"", none, 0LL},
        {" ", "1", -10000LL},
        {"n/a", none, none},
        {none, "n/a", none},
        {"1000000000000000.00", none, none},
        {1e15, none, none},
        {-1e15, none, none},
        {"900000000000000", "-900000000000000", none},
        {"922337203685476", none, 9223372036854760000LL},
    };
    for (const auto& c : cases) {
        const QVariant got = db.scalar("select moneydelta(?, ?)", {c.charge, c.payment});
        EXPECT_EQ(got.isNull(), c.units.isNull())
            << c.charge.toString().toStdString() << " " << c.payment.toString().toStdString();
        if (!c.units.isNull()) {
            EXPECT_EQ(got.toLongLong(), c.units.toLongLong()) << c.charge.toString().toStdString();
        }
    }
}

// The journal's balance is empty from an amount that is no money on, not short of it.
TEST(FoundFaults, JournalBalanceIsUnknownAfterAnAmountThatIsNoMoney)
{
    const struct {
        QVariant amounts[3];
        QStringList balances;
    } cases[] = {
        {{10.0, QVariant(), 5.0}, {"10.00", "10.00", "15.00"}},
        {{10.0, "n/a", 5.0}, {"10.00", "", ""}},
        {{10.0, 1e15, 5.0}, {"10.00", "", ""}},
        {{900000000000000.0, 900000000000000.0, 1.0}, {"900000000000000.00", "", ""}},
    };
    TestSuite suite;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const auto& c = cases[i];
        suite.addAccount(i + 1, 10 + i);
        for (int day = 0; day < 3; ++day)
            suite.exec("insert into [tbl bill detail] (custkey, lockey, code, date, amount) values (?, ?, 'WA', ?, ?)",
                       {i + 1, 10 + i, QDate(2017, 1, day + 1).toString(Qt::ISODate), c.amounts[day]});
        HistoryModule module;
        suite.prepare(module, i + 1, 10 + i);
        JournalFlags flags;
        const JournalLoader::Result loaded = JournalLoader::load(module, flags, QString());
        QStringList balances;
        for (const JournalRow& row : loaded.rows)
            balances << row.rbal;
        EXPECT_EQ(balances, c.balances) << c.amounts[1].toString().toStdString();
        ASSERT_TRUE(module.OpenWorkDb());
        EXPECT_EQ(module.WorkDb.scalar("select count(*) from jurn where rbal is null").toInt(),
                  static_cast<int>(c.balances.count("")));
        module.CloseWorkDb();
    }
}

// The money reader's fast path over UTF-8 and the general reader give one amount,
// however many digits the text carries.
TEST(FoundFaults, MoneyTextReadsTheSameOnBothPaths)
{
    for (const char* text : {"10131401131139.514", "10131401131139.51", "-99999999999999.9999", "0.0001",
                             "000000000000000012.5", "123456789012345", "1234567890123.4567", "12.50"}) {
        const QString general = QString::fromLatin1(text);
        EXPECT_EQ(Currency::fromUtf8(text, std::strlen(text)), Currency::fromText(general)) << text;
    }
}

} // namespace
