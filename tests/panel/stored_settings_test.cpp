#include "panel/stored_settings.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using namespace stored_settings;

TEST(StoredSettings, DisplayColorReadsTheNearestIntegerTiesToEven)
{
    const struct
    {
        const char* text;
        std::int16_t scheme;
    } cases[] = {
        {"0", 0},         {"3", 3},       {"2.5", 2},         {"3.5", 4},    {"-1", -1},
        {" 4", 4},        {"5xyz", 5},    {"abc", 0},         {"", 0},       {"9", 9},
        {"32767", 32767}, {"32767.5", 0}, {"-32768", -32768}, {"-32769", 0}, {"1e999", 0},
        {"2E0", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(displayColorFromText(QString::fromLatin1(c.text)), c.scheme) << c.text;
    }
}

TEST(StoredSettings, RefreshRateReadsTheLeadingNumberAsFloat)
{
    EXPECT_EQ(refreshRateFromText(QStringLiteral(".5")), 0.5F);
    EXPECT_EQ(refreshRateFromText(QStringLiteral("1")), 1.0F);
    EXPECT_EQ(refreshRateFromText(QStringLiteral("3 sec")), 3.0F);
    EXPECT_EQ(refreshRateFromText(QStringLiteral("fast")), 0.0F);
    EXPECT_EQ(refreshRateFromText(QStringLiteral("1e300")), std::numeric_limits<float>::max());
}

TEST(StoredSettings, ConfirmIsTrueOnlyForTheExactWord)
{
    EXPECT_TRUE(confirmFromText(QStringLiteral("True")));
    EXPECT_FALSE(confirmFromText(QStringLiteral("true")));
    EXPECT_FALSE(confirmFromText(QStringLiteral("False")));
    EXPECT_FALSE(confirmFromText(QStringLiteral("-1")));
    EXPECT_EQ(confirmText(true), QStringLiteral("True"));
    EXPECT_EQ(confirmText(false), QStringLiteral("False"));
}

TEST(StoredSettings, RefreshRateTextHasNoZeroBeforeThePoint)
{
    const struct
    {
        float rate;
        const char* text;
    } cases[] = {
        {0.5F, ".5"},
        {-0.5F, "-.5"},
        {1.0F, "1"},
        {10.0F, "10"},
        {2.5F, "2.5"},
        {0.1F, ".1"},
        {0.0F, "0"},
        {0.0001F, ".0001"},
        {1234567.0F, "1234567"},
        {1e7F, "1E+07"},
        {1e-5F, "1E-05"},
        {-3.25F, "-3.25"},
        {std::numeric_limits<float>::max(), "3.4028235E+38"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refreshRateText(c.rate), QString::fromLatin1(c.text)) << c.text;
    }
}

TEST(StoredSettings, EveryWrittenRateReadsBackUnchanged)
{
    for (float rate : {0.5F, 1.0F / 3.0F, 7.7F, -0.25F, 123456.79F, 3e-7F, 6.02e23F}) {
        EXPECT_EQ(refreshRateFromText(refreshRateText(rate)), rate) << rate;
    }
    EXPECT_EQ(displayColorText(-1), QStringLiteral("-1"));
    EXPECT_EQ(displayColorText(5), QStringLiteral("5"));
}

} // namespace
} // namespace lumodm
