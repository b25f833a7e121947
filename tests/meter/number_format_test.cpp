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
    {1.23456f, 1.4f, " 1.2346"},
    {1.23456f, -1.4f, " 1.2345"},
    {-0.5f, -1.4f, "-0.5000"},
    {0.0f, -1.4f, " 0.0000"},
    {12.3456f, -1.2f, " 12.34"},
    {199.99f, -1.2f, " 199.99"},
    {12.0f, 1.3f, " 12.000"},
    {9.99996f, 1.4f, " 10.0000"},
    {99.999f, 1.2f, " 100.00"},
    {1000.0f, -1.1f, " 1000.0"},
    {1234.5678f, 1.4f, " 1234.5680"},
    {5.0f, 3.2f, "  5.00"},
    {-0.004f, 1.2f, "-0.00"},
    {100.5f, 1.0f, " 101"},
    {2.675f, 1.2f, " 2.68"},
    {2.675f, -1.2f, " 2.67"},
    {0.5f, 0.0f, " 0.5"},
    {-0.25f, 0.0f, "-0.25"},
    {1234.5f, 0.0f, " 1234.5"},
    {3.14159f, 104.0f, " 3.142"},
    {9.9996f, 104.0f, " 10.00"},
    {1234.5f, 103.0f, "  1235"},
    {42.0f, 101.0f, "Error: IntFrac= 101 "},
    // Readings as the reading procedure formats them (negated 1.F codes).
    {12.3456f, -1.2f, " 12.34"},
    {1.2345678f, -1.5f, " 1.23456"},
    {0.5f, -1.4f, " 0.5000"},
    {1.5f, -1.4f, " 1.5000"},
    // Edge cases of the format itself.
    {1.99999f, -1.4f, " 1.9999"},
    {1.99999f, 1.4f, " 2.0000"},
    {0.12345f, 0.1f, " 0.1"},
    {-3.2f, -1.3f, "-3.200"},
    {0.000005f, -1.6f, " 0.000005"},
    {1e-30f, -1.2f, " 0.00"},
    {-1e-30f, -1.2f, "-0.00"},
    {-0.0f, -1.2f, " 0.00"},
    {2.0f, 203.0f, " 2.00"},
    {1234.5f, 203.0f, "  1235"},
    {1234.5f, 303.0f, "   1235"},
    {1.0f, -101.0f, "Error: IntFrac= 101 "},
    {5.0f, 111.0f, "Error: IntFrac= 111 "},
    {12345678.0f, -1.2f, " 12345680.00"},
    {123456789.0f, -1.1f, " 123456800.0"},
};

TEST(NrToStr, WorkedExamplesExactly)
{
    for (const FormatCase& c : kWorkedExamples) {
        EXPECT_EQ(NrToStr(c.nr, c.intFrac), QString::fromLatin1(c.expected))
            << "Nr=" << c.nr << " IntFrac=" << c.intFrac;
    }
}

// The DM5120's lowered AC formats are computed in single precision.
TEST(NrToStr, LoweredSingleFormatsKeepTheirDigits)
{
    EXPECT_EQ(NrToStr(1.2345678f, -(1.6f - 0.1f)), " 1.23456");
    EXPECT_EQ(NrToStr(1.2345678f, -(1.4f - 0.1f)), " 1.234");
    EXPECT_EQ(NrToStr(0.12345f, -(0.0f - 0.1f)), " 0.1");
}

// The digit count is floor(log10(x) + 1) with the sum held in single
// precision, so a value a hair below a power of ten counts one digit more
// and the field keeps a blank for it.
TEST(NrToStr, DigitCountFromSingleLogarithm)
{
    EXPECT_EQ(NrToStr(99.99998f, -1.6f), "  99.999980");
    EXPECT_EQ(NrToStr(-99.99998f, -1.6f), " -99.999980");
    EXPECT_EQ(NrToStr(99.9998f, -1.6f), " 99.999800");
}

TEST(GeneralNumberText, SevenDigitsPositional)
{
    const FormatCase cases[] = {
        {0.0f, 0, " 0"},
        {-0.0f, 0, " 0"},
        {0.5f, 0, " .5"},
        {-0.25f, 0, "-.25"},
        {1234.5f, 0, " 1234.5"},
        {101.0f, 0, " 101"},
        {3.14159265f, 0, " 3.141593"},
        {1.0f / 3.0f, 0, " .3333333"},
        {0.00001234f, 0, " .00001234"},
        {12345678.0f, 0, " 12345680"},
        {1e10f, 0, " 10000000000"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(GeneralNumberText(c.nr), QString::fromLatin1(c.expected)) << c.nr;
    }
}

TEST(NrToStr, NonFiniteInputsGiveShortTexts)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(GeneralNumberText(nan), " NaN");
    EXPECT_EQ(GeneralNumberText(inf), " Inf");
    EXPECT_EQ(GeneralNumberText(-inf), "-Inf");
    EXPECT_EQ(NrToStr(-inf, -1.4f), "-Inf");
    EXPECT_EQ(NrToStr(nan, 0.0f), " NaN");
    EXPECT_EQ(NrToStr(1.0f, nan), "Error: IntFrac= NaN ");
    EXPECT_EQ(NrToStr(1.0f, -inf), "Error: IntFrac= Inf ");
}

TEST(NrToStr, ExtremeInputsStayBounded)
{
    const float big = std::numeric_limits<float>::max();
    const QString maxText = NrToStr(big, -1.4f);
    EXPECT_TRUE(maxText.startsWith(" 340282300000000000000000000000000000000."));
    EXPECT_TRUE(maxText.endsWith(".0000"));
    EXPECT_LE(NrToStr(1.0f, 1e30f).size(), 140);
    EXPECT_LE(NrToStr(-big, 99999.5f).size(), 140);
    EXPECT_EQ(NrToStr(std::numeric_limits<float>::denorm_min(), 1.9f), " 0.000000000");
    EXPECT_EQ(NrToStr(1.5f, 1.96f), " 1.5000000000");
}

// Parses a "[ -]int.frac" readout back into a sign, integer and fraction.
struct Readout
{
    bool negative = false;
    QString integer;
    QString fraction;
    bool hasPoint = false;
};

Readout splitReadout(const QString& text)
{
    Readout r;
    r.negative = text.startsWith(QLatin1Char('-'));
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    r.hasPoint = point >= 0;
    r.integer = text.mid(1, r.hasPoint ? point - 1 : -1);
    r.fraction = r.hasPoint ? text.mid(point + 1) : QString();
    return r;
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
        const Readout r = splitReadout(text);

        ASSERT_EQ(r.negative, nr < 0) << text.toStdString();
        ASSERT_EQ(r.hasPoint, f > 0) << text.toStdString();
        ASSERT_EQ(r.fraction.size(), f) << text.toStdString();
        ASSERT_FALSE(r.integer.trimmed().isEmpty()) << text.toStdString();
        // No padding, except the one blank of the single-rounded digit count
        // just below a power of ten.
        if (r.integer.startsWith(QLatin1Char(' '))) {
            const double power = std::pow(10.0, r.integer.size() - 1);
            ASSERT_GE(std::fabs(nr), power * (1 - 1e-5)) << text.toStdString();
        }

        const double shown = ParseLeadingNumber(QString(text).remove(0, 1));
        const double sevenDigit = ParseLeadingNumber(GeneralNumberText(std::fabs(nr)));
        ASSERT_LE(shown, sevenDigit * (1 + 1e-12)) << text.toStdString();
        // Single precision may lose one unit of the last digit kept, no more.
        ASSERT_GE(shown, sevenDigit - 2.0 * std::pow(10.0, -f) - sevenDigit * 1e-6)
            << text.toStdString();
    }
}

} // namespace
} // namespace lumodm
