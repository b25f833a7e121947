#include "panel/stored_settings.h"

#include "meter/parse_number.h"
#include "meter/single_precision.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace lumodm::stored_settings {

std::int16_t displayColorFromText(const QString& text)
{
    const double value = ParseLeadingNumber(text);
    // nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        return 0;
    }
    return static_cast<std::int16_t>(rounded);
}

float refreshRateFromText(const QString& text)
{
    return toSingle(ParseLeadingNumber(text));
}

bool confirmFromText(const QString& text)
{
    return text == QLatin1String("True");
}

QString displayColorText(std::int16_t scheme)
{
    return QString::number(scheme);
}

QString refreshRateText(float rate)
{
    if (std::isnan(rate)) {
        rate = 0.0F;
    } else if (std::isinf(rate)) {
        // Reading saturates, so write what reads back the same way.
        rate = std::copysign(std::numeric_limits<float>::max(), rate);
    }
    if (rate == 0.0F) {
        return QStringLiteral("0");
    }
    // The shortest digits that read back to the same float.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rate, std::chars_format::scientific);
    const std::string scientific(buffer, result.ptr);

    const bool negative = scientific.front() == '-';
    const std::size_t ePos = scientific.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
        if (scientific[i] != '.') {
            digits += scientific[i];
        }
    }
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);

    std::string text = negative ? "-" : "";
    if (exponent >= -4 && exponent < 7) {
        if (exponent >= 0) {
            const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                text += digits + std::string(intDigits - digits.size(), '0');
            } else {
                text += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
            }
        } else {
            // No zero before the point: 0.5 is written ".5".
            text += "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        }
    } else {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text += "." + digits.substr(1);
        }
        const int magnitude = std::abs(exponent);
        text += exponent < 0 ? "E-" : "E+";
        if (magnitude < 10) {
            text += '0';
        }
        text += std::to_string(magnitude);
    }
    return QString::fromStdString(text);
}

QString confirmText(bool confirm)
{
    return confirm ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace lumodm::stored_settings
