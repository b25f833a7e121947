#include "meter/parse_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace lumodm {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Far beyond any double's decimal exponent; keeps the sum below int range.
constexpr long kExponentCap = 100000;

} // namespace

double ParseLeadingNumber(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }

    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    // The token handed to from_chars: digits, an optional point, and an
    // exponent only when digits follow it. Nothing beyond the number is
    // ever looked at.
    std::string token;
    long intDigits = 0;        // integer digits after leading zeros
    long leadingFracZeros = 0; // fraction zeros before the first non-zero digit
    bool seenNonZero = false;
    bool anyDigit = false;
    for (; i < n && isDigit(text[i]); ++i) {
        const char c = static_cast<char>(text[i].unicode());
        token.push_back(c);
        anyDigit = true;
        if (c != '0') {
            seenNonZero = true;
        }
        if (seenNonZero) {
            ++intDigits;
        }
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        token.push_back('.');
        ++i;
        for (; i < n && isDigit(text[i]); ++i) {
            const char c = static_cast<char>(text[i].unicode());
            token.push_back(c);
            anyDigit = true;
            if (c != '0') {
                seenNonZero = true;
            } else if (!seenNonZero) {
                ++leadingFracZeros;
            }
        }
    }
    if (!anyDigit) {
        return 0.0;
    }

    long exponent = 0;
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        qsizetype j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            expNegative = text[j] == QLatin1Char('-');
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            token.push_back('e');
            if (expNegative) {
                token.push_back('-');
            }
            for (; j < n && isDigit(text[j]); ++j) {
                token.push_back(static_cast<char>(text[j].unicode()));
                if (exponent < kExponentCap) {
                    exponent = exponent * 10 + (text[j].unicode() - '0');
                }
            }
            if (expNegative) {
                exponent = -exponent;
            }
        }
    }

    if (!seenNonZero) {
        return 0.0;
    }

    double value = 0.0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Decimal order of magnitude tells overflow from underflow.
        const long order = (intDigits > 0 ? intDigits : -leadingFracZeros) + exponent;
        value = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    if (value == 0.0) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::int16_t nearestInt16(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 32767.0) {
        return 32767;
    }
    if (value <= -32768.0) {
        return -32768;
    }
    // Ties go to the even neighbour, whatever the FPU rounding mode is.
    const double lower = std::floor(value);
    const double diff = value - lower;
    double rounded = lower;
    if (diff > 0.5) {
        rounded = lower + 1.0;
    } else if (diff == 0.5) {
        rounded = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    }
    if (rounded > 32767.0) {
        return 32767;
    }
    return static_cast<std::int16_t>(rounded);
}

} // namespace lumodm
