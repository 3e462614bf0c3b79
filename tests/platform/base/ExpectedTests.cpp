#include <base/Expected.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

Expected<std::unique_ptr<int>> makeOwned(bool isWanted)
{
    if (!isWanted)
        return makeError(ErrorKind::Refused, "not wanted");
    return std::make_unique<int>(7);
}

Expected<void> check(int value)
{
    if (value < 0)
        return makeError(ErrorKind::Malformed, "negative");
    return {};
}

}

TEST(Expected, CarriesAMoveOnlyValueOrItsErrorAndNeverBoth)
{
    auto owned = makeOwned(true);
    ASSERT_TRUE(owned);
    std::unique_ptr<int> taken = std::move(owned).value();
    EXPECT_EQ(*taken, 7);

    auto refused = makeOwned(false);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), (Error { ErrorKind::Refused, "not wanted" }));
    EXPECT_EQ(Expected<std::string>(makeError(ErrorKind::NotFound, "gone")).valueOr("fallback"), "fallback");

    EXPECT_TRUE(check(1));
    ASSERT_FALSE(check(-1));
    EXPECT_EQ(check(-1).error().kind, ErrorKind::Malformed);
}

TEST(ExpectedDeathTest, ReadingTheWrongSideStopsWithAMessage)
{
    EXPECT_DEATH((void)*makeOwned(false), "the value of an Expected that holds an error");
    EXPECT_DEATH((void)makeOwned(true).error(), "the error of an Expected that holds a value");
    EXPECT_DEATH((void)check(1).error(), "the error of an Expected that holds a value");
}
