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
        {"3", 3},       {"2.5", 2},         {"3.5", 4},    {"-1", -1},   {" 4", 4},
        {"5xyz", 5},    {"abc", 0},         {"", 0},       {"2E0", 2},   {"32767", 32767},
        {"32767.5", 0}, {"-32768", -32768}, {"-32769", 0}, {"1e999", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(displayColorFromText(QString::fromLatin1(c.text)), c.scheme) << c.text;
    }
    EXPECT_EQ(displayColorText(-1), QStringLiteral("-1"));
}

TEST(StoredSettings, RefreshRateAndConfirmTexts)
{
    EXPECT_EQ(refreshRateFromText(QStringLiteral("3 sec")), 3.0F);
    EXPECT_EQ(refreshRateFromText(QStringLiteral("fast")), 0.0F);
    EXPECT_EQ(refreshRateFromText(QStringLiteral("1e300")), std::numeric_limits<float>::max());
    EXPECT_TRUE(confirmFromText(QStringLiteral("True")));
    for (const char* text : {"true", "False", "-1"}) {
        EXPECT_FALSE(confirmFromText(QString::fromLatin1(text))) << text;
    }
    EXPECT_EQ(confirmText(false), QStringLiteral("False"));
}

// Written rates have no zero before the point, and read back unchanged.
TEST(StoredSettings, RefreshRateTextRoundTrips)
{
    const struct
    {
        float rate;
        const char* text;
    } cases[] = {
        {0.5F, ".5"},       {-0.5F, "-.5"},
        {10.0F, "10"},      {0.0F, "0"},
        {0.0001F, ".0001"}, {1234567.0F, "1234567"},
        {1e7F, "1E+07"},    {1e-5F, "1E-05"},
        {-3.25F, "-3.25"},  {std::numeric_limits<float>::max(), "3.4028235E+38"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refreshRateText(c.rate), QString::fromLatin1(c.text)) << c.text;
        EXPECT_EQ(refreshRateFromText(QString::fromLatin1(c.text)), c.rate) << c.text;
    }
    for (float rate : {1.0F / 3.0F, 7.7F, 123456.79F, 3e-7F, 6.02e23F}) {
        EXPECT_EQ(refreshRateFromText(refreshRateText(rate)), rate) << rate;
    }
}

} // namespace
} // namespace lumodm
