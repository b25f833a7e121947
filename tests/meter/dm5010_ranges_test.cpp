#include "meter/settings_readback.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

// The DM5010's ranges, both ways, and the text the range command writes.
TEST(Dm5010Ranges, NumberValueAndText)
{
    const struct
    {
        bool ohms;
        std::int16_t number;
        float value;
        const char* text;
    } cases[] = {
        {false, 0, -2.0F, "-2"},
        {false, 1, 0.2F, "0.2"},
        {false, 2, 2.0F, "2"},
        {false, 3, 20.0F, "20"},
        {false, 4, 200.0F, "200"},
        {false, 5, 1000.0F, "1000"},
        {true, 0, -200.0F, "-200"},
        {true, 1, 200.0F, "200"},
        {true, 5, 2000000.0F, "2000000"},
        {true, 6, 20000000.0F, "2E+07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const float value =
            c.ohms ? dm5010OhmsRangeValue(c.number) : dm5010VoltageRangeValue(c.number);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(dm5010RangeValueText(value), QString::fromLatin1(c.text));
        if (c.number > 0) {
            EXPECT_EQ(c.ohms ? dm5010OhmsRangeNumber(c.value) : dm5010VoltageRangeNumber(c.value),
                      c.number);
        }
    }
}

// A negative value is automatic naming its range; zero and extremes stay in
// sixteen bits (the read-back then cuts them to the list).
TEST(Dm5010Ranges, NegativeZeroAndExtremeValues)
{
    EXPECT_EQ(dm5010VoltageRangeNumber(-2.0F), -2);
    EXPECT_EQ(dm5010VoltageRangeNumber(-0.2F), -1);
    EXPECT_EQ(dm5010OhmsRangeNumber(-2000.0F), -2);
    EXPECT_EQ(dm5010VoltageRangeNumber(0.0F), 0);
    EXPECT_EQ(dm5010OhmsRangeNumber(-0.0F), 0);
    EXPECT_GT(dm5010VoltageRangeNumber(3e38F), 5);
    EXPECT_LT(dm5010OhmsRangeNumber(-3e38F), -6);
    EXPECT_LT(dm5010VoltageRangeNumber(1e-30F), 0);
    EXPECT_EQ(dm5010VoltageRangeValue(-32768), -2.0F);
    EXPECT_GT(dm5010OhmsRangeValue(32767), 2e7F);
}

TEST(Dm5010RangeValueText, ShortestFormUpToSevenDigits)
{
    EXPECT_EQ(dm5010RangeValueText(1234567.0F), QStringLiteral("1234567"));
    EXPECT_EQ(dm5010RangeValueText(12345678.0F), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(dm5010RangeValueText(0.0F), QStringLiteral("0"));
    EXPECT_EQ(dm5010RangeValueText(-3.25F), QStringLiteral("-3.25"));
}

} // namespace
} // namespace lumodm
