#include "meter/number_format.h"
#include "meter/parse_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <algorithm>
#include <memory>
#include <string>

namespace lumodm {
namespace {

const float kInfF = std::numeric_limits<float>::infinity();

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
    {1.2345678f, -1.5f, " 1.23456"}, {1.23456f, 1.25f, " 1.23"}, {1.23456f, 1.35f, " 1.2346"},
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
    {-kInfF, -1.4f, "-Inf"},
    {std::numeric_limits<float>::quiet_NaN(), 0.0f, " NaN"},
    {1.0f, std::numeric_limits<float>::quiet_NaN(), "Error: IntFrac= NaN "},
    {1.0f, -kInfF, "Error: IntFrac= Inf "},
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

struct ParseCase
{
    std::string text;
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
    {"1" + std::string(400, '0'), kInf}, {"." + std::string(400, '0') + "1", 0.0},
    {std::string(300, '0') + "42", 42.0}};

TEST(ParseLeadingNumber, TableOfTexts)
{
    for (const ParseCase& c : kParseCases) {
        EXPECT_EQ(ParseLeadingNumber(QString::fromStdString(c.text)), c.expected) << c.text;
    }
}

// The view ends exactly where the number does: under AddressSanitizer any
// look beyond it is a fault, and what follows a number never changes it.
TEST(ParseLeadingNumber, NeverReadsPastTheNumber)
{
    for (const char* number : {"-2.5", "3e7", "4.E-2", ".6", "7e", "8E+"}) {
        const std::u16string text = QString::fromLatin1(number).toStdU16String();
        const auto exact = std::make_unique<char16_t[]>(text.size()); // nothing beyond it
        std::copy(text.begin(), text.end(), exact.get());
        const double alone = ParseLeadingNumber(QStringView(exact.get(), qsizetype(text.size())));
        EXPECT_EQ(alone, ParseLeadingNumber(QString::fromLatin1(number))) << number;
        for (const char* tail : {" 1", ";E5", ",5"}) {
            EXPECT_EQ(ParseLeadingNumber(QString::fromLatin1(number) + QLatin1String(tail)), alone)
                << number << tail;
        }
    }
}

} // namespace
} // namespace lumodm
