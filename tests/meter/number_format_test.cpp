#include "meter/number_format.h"
#include "meter/parse_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace lumodm {
namespace {

struct FormatCase
{
    float nr;
    float intFrac;
    const char* expected;
};

// The readout's reference table, blanks included.
const FormatCase kWorkedExamples[] = {
    {1.23456f, 1.4f, " 1.2346"}, {1.23456f, -1.4f, " 1.2345"}, {-0.5f, -1.4f, "-0.5000"},
    {0.0f, -1.4f, " 0.0000"}, {12.3456f, -1.2f, " 12.34"}, {199.99f, -1.2f, " 199.99"},
    {12.0f, 1.3f, " 12.000"}, {9.99996f, 1.4f, " 10.0000"}, {99.999f, 1.2f, " 100.00"},
    {1000.0f, -1.1f, " 1000.0"}, {1234.5678f, 1.4f, " 1234.5680"}, {5.0f, 3.2f, "  5.00"},
    {-0.004f, 1.2f, "-0.00"}, {100.5f, 1.0f, " 101"}, {2.675f, 1.2f, " 2.68"},
    {2.675f, -1.2f, " 2.67"}, {0.5f, 0.0f, " 0.5"}, {-0.25f, 0.0f, "-0.25"},
    {1234.5f, 0.0f, " 1234.5"}, {3.14159f, 104.0f, " 3.142"}, {9.9996f, 104.0f, " 10.00"},
    {1234.5f, 103.0f, "  1235"}, {42.0f, 101.0f, "Error: IntFrac= 101 "},
    {1.2345678f, -1.5f, " 1.23456"},
    // Edge cases of the format itself.
    {1.99999f, -1.4f, " 1.9999"}, {1.99999f, 1.4f, " 2.0000"}, {0.12345f, 0.1f, " 0.1"},
    {0.000005f, -1.6f, " 0.000005"}, {-1e-30f, -1.2f, "-0.00"}, {-0.0f, -1.2f, " 0.00"},
    {1234.5f, 203.0f, "  1235"}, {1.0f, -101.0f, "Error: IntFrac= 101 "},
    {12345678.0f, -1.2f, " 12345680.00"}, {123456789.0f, -1.1f, " 123456800.0"},
    // The DM5120's lowered AC formats are computed in single precision.
    {1.2345678f, -(1.6f - 0.1f), " 1.23456"}, {1.2345678f, -(1.4f - 0.1f), " 1.234"},
    {0.12345f, -(0.0f - 0.1f), " 0.1"},
    // The digit count is floor(log10(x) + 1) summed in single precision: a
    // hair below a power of ten counts one digit more, kept as a blank.
    {99.99998f, -1.6f, "  99.999980"}, {-99.99998f, -1.6f, " -99.999980"},
    {99.9998f, -1.6f, " 99.999800"},
    // Non-finite and extreme inputs give short, bounded texts.
    {-std::numeric_limits<float>::infinity(), -1.4f, "-Inf"},
    {std::numeric_limits<float>::quiet_NaN(), 0.0f, " NaN"},
    {1.0f, std::numeric_limits<float>::quiet_NaN(), "Error: IntFrac= NaN "},
    {1.0f, -std::numeric_limits<float>::infinity(), "Error: IntFrac= Inf "},
    {std::numeric_limits<float>::denorm_min(), 1.9f, " 0.000000000"},
    {1.5f, 1.96f, " 1.5000000000"},
};

TEST(NrToStr, WorkedExamplesExactly)
{
    for (const FormatCase& c : kWorkedExamples) {
        EXPECT_EQ(NrToStr(c.nr, c.intFrac), QString::fromLatin1(c.expected))
            << "Nr=" << c.nr << " IntFrac=" << c.intFrac;
    }
}

TEST(GeneralNumberText, SevenDigitsPositional)
{
    const FormatCase cases[] = {
        {0.0f, 0, " 0"}, {-0.0f, 0, " 0"}, {0.5f, 0, " .5"}, {-0.25f, 0, "-.25"},
        {1234.5f, 0, " 1234.5"}, {3.14159265f, 0, " 3.141593"}, {1.0f / 3.0f, 0, " .3333333"},
        {0.00001234f, 0, " .00001234"}, {12345678.0f, 0, " 12345680"}, {1e10f, 0, " 10000000000"},
        {std::numeric_limits<float>::quiet_NaN(), 0, " NaN"},
        {-std::numeric_limits<float>::infinity(), 0, "-Inf"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(GeneralNumberText(c.nr), QString::fromLatin1(c.expected)) << c.nr;
    }
}

TEST(NrToStr, ExtremeInputsStayBounded)
{
    const float big = std::numeric_limits<float>::max();
    const QString maxText = NrToStr(big, -1.4f);
    EXPECT_TRUE(maxText.startsWith(" 340282300000000000000000000000000000000."));
    EXPECT_TRUE(maxText.endsWith(".0000"));
    EXPECT_LE(NrToStr(1.0f, 1e30f).size(), 140);
    EXPECT_LE(NrToStr(-big, 99999.5f).size(), 140);
}

// Truncating 1.F formats: exactly F fraction digits, no padding, and the
// shown magnitude never exceeds the value at seven significant digits.
TEST(NrToStr, TruncatingFormatsNeverRoundUp)
{
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> mantissa(1.0f, 10.0f);
    std::uniform_int_distribution<int> exponent(-8, 8);
    std::uniform_int_distribution<int> digits(0, 9);
    for (int i = 0; i < 20000; ++i) {
        float nr = mantissa(random) * std::pow(10.0f, static_cast<float>(exponent(random)));
        if (i % 2 != 0) {
            nr = -nr;
        }
        const int f = digits(random);
        const float intFrac = -(1.0f + static_cast<float>(f) / 10.0f);
        const QString text = NrToStr(nr, intFrac);
        SCOPED_TRACE(text.toStdString());
        // "[ -]int.frac"
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        const QString integer = text.mid(1, point >= 0 ? point - 1 : -1);
        ASSERT_EQ(text.startsWith(QLatin1Char('-')), nr < 0);
        ASSERT_EQ(point >= 0, f > 0);
        ASSERT_EQ(point >= 0 ? text.size() - point - 1 : 0, f);
        ASSERT_FALSE(integer.trimmed().isEmpty());
        // No padding, except the one blank of the single-rounded digit count
        // just below a power of ten.
        if (integer.startsWith(QLatin1Char(' '))) {
            ASSERT_GE(std::fabs(nr), std::pow(10.0, integer.size() - 1) * (1 - 1e-5));
        }

        const double shown = ParseLeadingNumber(QString(text).remove(0, 1));
        const double sevenDigit = ParseLeadingNumber(GeneralNumberText(std::fabs(nr)));
        ASSERT_LE(shown, sevenDigit * (1 + 1e-12));
        // Single precision may lose one unit of the last digit kept, no more.
        ASSERT_GE(shown, sevenDigit - 2.0 * std::pow(10.0, -f) - sevenDigit * 1e-6);
    }
}

} // namespace
} // namespace lumodm
