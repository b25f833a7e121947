#include "meter/settings_readback.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

struct RangeRowCase
{
    std::int16_t number;
    float value;
    const char* text; // as the range command writes it
};

// The DM5010's ranges, both ways.
constexpr RangeRowCase kVoltage[] = {
    {0, -2.0F, "-2"}, {1, 0.2F, "0.2"},   {2, 2.0F, "2"},
    {3, 20.0F, "20"}, {4, 200.0F, "200"}, {5, 1000.0F, "1000"},
};
constexpr RangeRowCase kOhms[] = {
    {0, -200.0F, "-200"},      {1, 200.0F, "200"},       {2, 2000.0F, "2000"},
    {3, 20000.0F, "20000"},    {4, 200000.0F, "200000"}, {5, 2000000.0F, "2000000"},
    {6, 20000000.0F, "2E+07"},
};

TEST(Dm5010Ranges, VoltageNumberValueAndText)
{
    for (const RangeRowCase& c : kVoltage) {
        EXPECT_EQ(dm5010VoltageRangeValue(c.number), c.value) << c.number;
        EXPECT_EQ(dm5010RangeValueText(dm5010VoltageRangeValue(c.number)),
                  QString::fromLatin1(c.text));
        if (c.number > 0) {
            EXPECT_EQ(dm5010VoltageRangeNumber(c.value), c.number) << c.value;
        }
    }
}

TEST(Dm5010Ranges, OhmsNumberValueAndText)
{
    for (const RangeRowCase& c : kOhms) {
        EXPECT_EQ(dm5010OhmsRangeValue(c.number), c.value) << c.number;
        EXPECT_EQ(dm5010RangeValueText(dm5010OhmsRangeValue(c.number)),
                  QString::fromLatin1(c.text));
        if (c.number > 0) {
            EXPECT_EQ(dm5010OhmsRangeNumber(c.value), c.number) << c.value;
        }
    }
}

TEST(Dm5010Ranges, NegativeValueIsAutomaticNamingItsRange)
{
    EXPECT_EQ(dm5010VoltageRangeNumber(-2.0F), -2);
    EXPECT_EQ(dm5010VoltageRangeNumber(-0.2F), -1);
    EXPECT_EQ(dm5010OhmsRangeNumber(-200.0F), -1);
    EXPECT_EQ(dm5010OhmsRangeNumber(-2000.0F), -2);
}

TEST(Dm5010Ranges, ZeroAndExtremeValuesStayInSixteenBits)
{
    EXPECT_EQ(dm5010VoltageRangeNumber(0.0F), 0);
    EXPECT_EQ(dm5010OhmsRangeNumber(-0.0F), 0);
    // Far outside the meter's ranges, still a number; step 6 of the
    // read-back cuts it to the list.
    EXPECT_GT(dm5010VoltageRangeNumber(3e38F), 5);
    EXPECT_LT(dm5010OhmsRangeNumber(-3e38F), -6);
    EXPECT_LT(dm5010VoltageRangeNumber(1e-30F), 0);
    // Range numbers outside the list give no undefined arithmetic either.
    EXPECT_EQ(dm5010VoltageRangeValue(-32768), -2.0F);
    EXPECT_GT(dm5010OhmsRangeValue(32767), 2e7F);
}

TEST(Dm5010RangeValueText, ShortestFormUpToSevenDigitsWithPoint)
{
    EXPECT_EQ(dm5010RangeValueText(0.5F), QStringLiteral("0.5"));
    EXPECT_EQ(dm5010RangeValueText(1234567.0F), QStringLiteral("1234567"));
    EXPECT_EQ(dm5010RangeValueText(12345678.0F), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(dm5010RangeValueText(10000000.0F), QStringLiteral("1E+07"));
    EXPECT_EQ(dm5010RangeValueText(0.0F), QStringLiteral("0"));
    EXPECT_EQ(dm5010RangeValueText(-3.25F), QStringLiteral("-3.25"));
}

} // namespace
} // namespace lumodm
