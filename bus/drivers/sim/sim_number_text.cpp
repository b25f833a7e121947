#include "bus/drivers/sim/sim_number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumodm {

namespace {

// "d.ddddE+xx" from printf split into its digits and decimal exponent.
struct Decimal
{
    bool negative = false;
    std::string digits; // no point, no leading zero unless the value is 0
    int exponent = 0;   // of the first digit
};

Decimal decompose(double value, int significantDigits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%+.*e", significantDigits - 1, value);
    Decimal d;
    d.negative = buffer[0] == '-';
    const char* p = buffer + 1;
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (*p != '.') {
            d.digits.push_back(*p);
        }
    }
    if (*p == 'e') {
        d.exponent = std::atoi(p + 1);
    }
    return d;
}

QByteArray exponentText(int exponent, bool padded)
{
    char buffer[16];
    if (padded) {
        std::snprintf(buffer, sizeof buffer, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
    } else {
        std::snprintf(buffer, sizeof buffer, "E%d", exponent);
    }
    return QByteArray(buffer);
}

} // namespace

QByteArray simRangeValueText(float value)
{
    if (!std::isfinite(value)) {
        return "0";
    }
    if (value == 0.0f) {
        return "0";
    }
    // Fewest digits that still read back as the same single-precision value.
    Decimal d;
    for (int digits = 1; digits <= 7; ++digits) {
        d = decompose(value, digits);
        const double back = std::strtod((std::string("0.") + d.digits).c_str(), nullptr) *
                            std::pow(10.0, d.exponent + 1);
        if (static_cast<float>(back) == std::fabs(value)) {
            break;
        }
    }
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    QByteArray text = d.negative ? "-" : "";
    if (d.exponent >= 7 || d.exponent <= -5) {
        text += d.digits.substr(0, 1).c_str();
        if (d.digits.size() > 1) {
            text += '.';
            text += d.digits.substr(1).c_str();
        }
        return text + exponentText(d.exponent, true);
    }
    if (d.exponent < 0) {
        text += "0.";
        text += QByteArray(-d.exponent - 1, '0');
        text += d.digits.c_str();
        return text;
    }
    const std::size_t whole = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= whole) {
        text += d.digits.c_str();
        text += QByteArray(static_cast<int>(whole - d.digits.size()), '0');
    } else {
        text += d.digits.substr(0, whole).c_str();
        text += '.';
        text += d.digits.substr(whole).c_str();
    }
    return text;
}

QByteArray simReadingText(double value, int significantDigits)
{
    if (!std::isfinite(value)) {
        return simOverRangeText();
    }
    significantDigits = std::clamp(significantDigits, 1, 15);
    const Decimal d = decompose(value, significantDigits);
    QByteArray text = d.negative ? "-" : "+";
    text += d.digits.substr(0, 1).c_str();
    if (d.digits.size() > 1) {
        text += '.';
        text += d.digits.substr(1).c_str();
    }
    return text + exponentText(d.exponent, false);
}

QByteArray simOverRangeText()
{
    return "+9.9E37";
}

} // namespace lumodm
