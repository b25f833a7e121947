#include "bus/drivers/sim/sim_number_text.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

TEST(SimNumberText, RangeValuesAreWrittenAsTheDm5010WritesThem)
{
    const struct
    {
        float value;
        const char* text;
    } cases[] = {
        {0.2f, "0.2"},
        {2.0f, "2"},
        {20.0f, "20"},
        {200.0f, "200"},
        {1000.0f, "1000"},
        {-2.0f, "-2"},
        {-0.2f, "-0.2"},
        {2000.0f, "2000"},
        {20000.0f, "20000"},
        {200000.0f, "200000"},
        {2000000.0f, "2000000"},
        {2e7f, "2E+07"},
        {-2e7f, "-2E+07"},
        {-200.0f, "-200"},
        {1.2345678f, "1.234568"},
        {0.0f, "0"},
        {1e-5f, "1E-05"},
        {0.0003f, "0.0003"},
        {3e8f, "3E+08"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(simRangeValueText(c.value), QByteArray(c.text)) << c.value;
    }
}

TEST(SimNumberText, ReadingsStartWithTheSignedNumber)
{
    EXPECT_EQ(simReadingText(1.23456e-3, 6), QByteArray("+1.23456E-3"));
    EXPECT_EQ(simReadingText(-4.0, 6), QByteArray("-4.00000E0"));
    EXPECT_EQ(simReadingText(1500.0, 6), QByteArray("+1.50000E3"));
    EXPECT_EQ(simReadingText(1.2345678, 7), QByteArray("+1.234568E0"));
    EXPECT_EQ(simReadingText(0.0, 6), QByteArray("+0.00000E0"));
    EXPECT_EQ(simReadingText(9.9999996, 6), QByteArray("+1.00000E1"));
    EXPECT_EQ(simOverRangeText(), QByteArray("+9.9E37"));
}

} // namespace
} // namespace lumodm
