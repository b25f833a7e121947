#include "meter/parse_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace lumodm {
namespace {

struct ParseCase
{
    const char* text;
    double expected;
};

const double kInf = std::numeric_limits<double>::infinity();

const ParseCase kParseCases[] = {
    {"0.0123456", 0.0123456}, {"\t 7", 7.0}, {"  -1.5E+3V", -1500.0}, {"+.5", 0.5}, {"5.", 5.0},
    {"1e-3x", 0.001}, {"9.9E+37", 9.9e37}, {"9.0000001E+09", 9.0000001e9},
    // An E without digits ends the number before the E.
    {"1e", 1.0}, {"1E-V", 1.0}, {"2E3E4", 2000.0},
    // No number at the start.
    {"", 0.0}, {".", 0.0}, {"+-1", 0.0}, {"E5", 0.0}, {"DCV 2", 0.0}, {"0x1A", 0.0},
    // The first character that cannot continue the number ends it.
    {"1.2.3", 1.2}, {"12 34", 12.0}, {"1d3", 1.0}, {"-0.000", 0.0},
    // Out of double range: saturate.
    {"1e400", kInf}, {"-1E99999999999999999999", -kInf}, {"1e-400", 0.0},
};

TEST(ParseLeadingNumber, TableOfTexts)
{
    for (const ParseCase& c : kParseCases) {
        EXPECT_EQ(ParseLeadingNumber(QString::fromLatin1(c.text)), c.expected) << c.text;
    }
}

TEST(ParseLeadingNumber, LongDigitStringsSaturateOrVanish)
{
    EXPECT_EQ(ParseLeadingNumber(QString(QLatin1String("1")) + QString(400, QLatin1Char('0'))),
              kInf);
    EXPECT_EQ(ParseLeadingNumber(QString(QLatin1String(".")) + QString(400, QLatin1Char('0')) +
                                 QLatin1String("1")),
              0.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(QString(300, QLatin1Char('0')) + QLatin1String("42")),
                     42.0);
}

// The view ends exactly where the number does: under AddressSanitizer any
// look beyond it is a fault, and what follows a number never changes it.
TEST(ParseLeadingNumber, NeverReadsPastTheNumber)
{
    const char* const numbers[] = {"-2.5", "3e7", "4.E-2", ".6", "7e", "8E+"};
    const char* const tails[] = {" 1", ";E5", ",5"};
    for (const char* number : numbers) {
        const QString text = QString::fromLatin1(number);
        const qsizetype n = text.size();
        const auto exact = std::make_unique<char16_t[]>(static_cast<size_t>(n));
        for (qsizetype i = 0; i < n; ++i) {
            exact[static_cast<size_t>(i)] = text[i].unicode();
        }
        const double alone = ParseLeadingNumber(QStringView(exact.get(), n));
        EXPECT_EQ(alone, ParseLeadingNumber(text)) << number;
        for (const char* tail : tails) {
            EXPECT_EQ(ParseLeadingNumber(text + QLatin1String(tail)), alone) << number << tail;
        }
    }
}

TEST(NearestInt16, TiesToEvenAndSaturates)
{
    const struct
    {
        double value;
        std::int16_t expected;
    } cases[] = {
        {2.5, 2},         {3.5, 4},         {-3.5, -4},
        {0.49999, 0},     {-0.5, 0},        {2.5000001, 3},
        {32767.4, 32767}, {32767.5, 32767}, {-32768.5, -32768},
        {-1e300, -32768}, {kInf, 32767},    {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nearestInt16(c.value), c.expected) << c.value;
    }
}

} // namespace
} // namespace lumodm
