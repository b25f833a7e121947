#include "log/decimal_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace lumodm {

QByteArray plainDecimalText(double value)
{
    if (!std::isfinite(value)) {
        return {};
    }
    if (value == 0.0) {
        return QByteArrayLiteral("0"); // also for -0
    }
    // Scientific form first: it gives the significant digits and where the
    // point goes, independent of the locale.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    if (result.ec != std::errc() || e == std::string_view::npos) {
        return {};
    }
    const bool negative = text.front() == '-';
    int exponent = 0;
    const char* expBegin = text.data() + e + 1;
    if (*expBegin == '+') {
        ++expBegin;
    }
    std::from_chars(expBegin, text.data() + text.size(), exponent);

    QByteArray digits;
    for (char c : text.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    while (digits.size() > 1 && digits.endsWith('0')) {
        digits.chop(1);
    }

    QByteArray out;
    if (negative) {
        out += '-';
    }
    const qsizetype pointAt = exponent + 1; // digits before the point
    if (pointAt <= 0) {
        out += "0.";
        out += QByteArray(-pointAt, '0');
        out += digits;
    } else if (pointAt >= digits.size()) {
        out += digits;
        out += QByteArray(pointAt - digits.size(), '0');
    } else {
        out += digits.left(pointAt);
        out += '.';
        out += digits.mid(pointAt);
    }
    return out;
}

} // namespace lumodm
