// ParseLeadingNumber on any text, and nearestInt16 on any double.
#include "meter/parse_number.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

void checkParse(QStringView text)
{
    const double value = lumodm::ParseLeadingNumber(text);
    check(!std::isnan(value));
    // Nothing after a number changes it: "x" never continues one.
    const QString longer = text.toString() + QLatin1Char('x');
    const double again = lumodm::ParseLeadingNumber(longer);
    check(again == value);
    // A negative result needs a minus sign before any digit.
    if (value < 0) {
        qsizetype i = 0;
        while (i < text.size() && isBlank(text[i].unicode())) {
            ++i;
        }
        check(i < text.size() && text[i] == QLatin1Char('-'));
    }
}

// Ties to even and saturation, checked against the FPU's own rounding.
void checkNearest(double value)
{
    const std::int16_t n = lumodm::nearestInt16(value);
    if (std::isnan(value)) {
        check(n == 0);
    } else if (value >= 32767.0) {
        check(n == 32767);
    } else if (value <= -32768.0) {
        check(n == -32768);
    } else {
        const double expected = std::nearbyint(value);
        check(static_cast<double>(n) == (expected > 32767.0 ? 32767.0 : expected));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The bytes as an instrument answer (one byte per character) ...
    const auto latin1 = std::make_unique<char16_t[]>(size + 1);
    for (std::size_t i = 0; i < size; ++i) {
        latin1[i] = data[i];
    }
    checkParse(QStringView(latin1.get(), static_cast<qsizetype>(size)));

    // ... and as UTF-16 in a buffer that ends exactly with the text.
    const std::size_t units = size / 2;
    const auto wide = std::make_unique<char16_t[]>(units);
    std::memcpy(wide.get(), data, units * 2);
    checkParse(QStringView(wide.get(), static_cast<qsizetype>(units)));

    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        checkNearest(value);
        checkNearest(
            lumodm::ParseLeadingNumber(QStringView(latin1.get(), static_cast<qsizetype>(size))));
    }
    return 0;
}
