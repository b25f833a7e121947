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

QByteArray exponentText(int exponent)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "E%d", exponent);
    return QByteArray(buffer);
}

} // namespace

QByteArray simRangeValueText(float value)
{
    if (!std::isfinite(value)) {
        return "0";
    }
    // Seven significant digits, trailing zeros dropped, exponent from 1e7 on;
    // QByteArray::number ignores the locale, so the point is ".".
    return QByteArray::number(static_cast<double>(value), 'G', 7);
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
    return text + exponentText(d.exponent);
}

QByteArray simOverRangeText()
{
    return "+9.9E37";
}

} // namespace lumodm
