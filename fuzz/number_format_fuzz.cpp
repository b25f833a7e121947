// NrToStr on any single and any digit format, and GeneralNumberText.
#include "meter/number_format.h"
#include "meter/parse_number.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

float floatAt(const std::uint8_t* data)
{
    float value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

void checkPlainAscii(const QString& text)
{
    check(!text.isEmpty() && text.size() <= 200);
    for (const QChar c : text) {
        check(c.unicode() >= 0x20 && c.unicode() < 0x7F);
    }
}

// Fixed mode (0 < |code| <= 100): blanks, the sign, integer digits, then
// a point and exactly F digits when F > 0. Truncating codes never show
// more than the value at seven significant digits.
void checkFixed(float nr, float code, const QString& text)
{
    const float a = std::fabs(code);
    const float whole = std::floor(a);
    const int f = static_cast<int>(std::nearbyint((a - whole) * 10.0f));

    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    const bool negative = nr < 0;
    if (negative) {
        check(i < text.size() && text[i] == QLatin1Char('-'));
        ++i;
    } else {
        check(i > 0);
    }
    const qsizetype digitsStart = i;
    while (i < text.size() && text[i].isDigit()) {
        ++i;
    }
    check(i > digitsStart);
    if (f > 0) {
        check(i < text.size() && text[i] == QLatin1Char('.'));
        check(text.size() - i - 1 == f);
        for (qsizetype k = i + 1; k < text.size(); ++k) {
            check(text[k].isDigit());
        }
    } else {
        check(i == text.size());
    }
    if (whole <= 1.0f) {
        // 1.F codes: the field is the sign and the digits. The digit count
        // comes from a logarithm rounded to single, which may count one
        // digit too many just below a power of ten: one blank at most.
        const qsizetype blanks = digitsStart - 1;
        check(blanks <= 1);
        if (blanks == 1) {
            const double magnitude = lumodm::ParseLeadingNumber(QStringView(text).mid(digitsStart));
            const double nextPower = std::pow(10.0, i - digitsStart);
            check(magnitude >= nextPower * (1 - 1e-5));
        }
    }
    if (code < 0) {
        const double shown = lumodm::ParseLeadingNumber(QStringView(text).mid(digitsStart));
        const double sevenDigit =
            lumodm::ParseLeadingNumber(lumodm::GeneralNumberText(std::fabs(nr)));
        check(shown <= sevenDigit);
    }
}

void checkOne(float nr, float code)
{
    const QString general = lumodm::GeneralNumberText(nr);
    checkPlainAscii(general);
    const QString text = lumodm::NrToStr(nr, code);
    checkPlainAscii(text);
    if (std::isfinite(nr) && std::isfinite(code) && code != 0.0f && std::fabs(code) <= 100.0f) {
        checkFixed(nr, code, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8) {
        return 0;
    }
    const float nr = floatAt(data);
    checkOne(nr, floatAt(data + 4));
    // The codes the program really uses: -(I + F / 10) and H0S.
    if (size >= 10) {
        const float code =
            static_cast<float>(data[8] % 101) + static_cast<float>(data[9] % 10) / 10.0f;
        checkOne(nr, code);
        checkOne(nr, -code);
        checkOne(nr, 100.0f + code * 9.0f);
    }
    return 0;
}
