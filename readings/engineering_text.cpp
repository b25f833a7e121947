#include "readings/engineering_text.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

constexpr int kSmallestPrefix = -12;
constexpr int kLargestPrefix = 12;
constexpr int kMaxDecimals = 9;
// Powers of ten a figure is rounded to: beyond them a value is written
// with an exponent anyway.
constexpr int kStepLimit = 40;
// From here on a double has no fraction left to round.
constexpr double kExactLimit = 9e15;
constexpr int kDefaultSignificant = 7;

// Floor to a multiple of three, negative numbers included.
int floorToThree(int exponent)
{
    return exponent >= 0 ? exponent / 3 * 3 : -((2 - exponent) / 3) * 3;
}

// The power of ten of a positive finite magnitude's leading digit. The
// tolerance keeps a rounded 0.001 in its own decade.
int decadeOf(double magnitude)
{
    return static_cast<int>(std::floor(std::log10(magnitude) + 1e-9));
}

double powerOfTen(int exponent)
{
    return std::pow(10.0, exponent);
}

// The multiple of 10^step nearest to `value`; a value too large for the
// step to matter stays as it is.
double roundTo(double value, int step)
{
    const double scale = powerOfTen(std::abs(step));
    const double units = step < 0 ? value * scale : value / scale;
    if (!(std::fabs(units) < kExactLimit)) {
        return value;
    }
    return step < 0 ? std::round(units) / scale : std::round(units) * scale;
}

// The last digit of the answer's leading number ("1.49998E+0" gives -5),
// as a power of ten of the base unit it is in; none without a number.
std::optional<int> answerResolution(const QString& answer)
{
    const auto isDigit = [&answer](qsizetype i) {
        return i < answer.size() && answer[i] >= QLatin1Char('0') && answer[i] <= QLatin1Char('9');
    };
    qsizetype i = 0;
    while (i < answer.size() && answer[i] == QLatin1Char(' ')) {
        ++i;
    }
    if (i < answer.size() && (answer[i] == QLatin1Char('+') || answer[i] == QLatin1Char('-'))) {
        ++i;
    }
    bool anyDigit = false;
    for (; isDigit(i); ++i) {
        anyDigit = true;
    }
    int decimals = 0;
    if (i < answer.size() && answer[i] == QLatin1Char('.')) {
        for (++i; isDigit(i); ++i) {
            anyDigit = true;
            ++decimals;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    int exponent = 0;
    if (i < answer.size() && (answer[i] == QLatin1Char('E') || answer[i] == QLatin1Char('e'))) {
        ++i;
        const bool negative = i < answer.size() && answer[i] == QLatin1Char('-');
        if (i < answer.size() && (answer[i] == QLatin1Char('+') || negative)) {
            ++i;
        }
        for (; isDigit(i); ++i) {
            exponent = std::min(exponent * 10 + (answer[i].unicode() - '0'), kStepLimit * 10);
        }
        exponent = negative ? -exponent : exponent;
    }
    return std::clamp(exponent - std::min(decimals, kStepLimit), -kStepLimit, kStepLimit);
}

std::optional<int> readoutResolution(const Reading& reading)
{
    const float format = reading.digitFormat;
    // 1.F is the only form the range tables use; anything else is general.
    if (!(format > 0.0F && format < 10.0F)) {
        return std::nullopt;
    }
    const std::optional<int> power = prefixPower(reading.unit, reading.baseUnit);
    if (!power) {
        return std::nullopt;
    }
    return *power - digitFormatDecimals(format);
}

} // namespace

// A meter may answer with a digit more than its readout shows; the
// figures then show it too, so that min, max and p-p agree with the
// deviation taken from the same numbers.
std::optional<int> resolutionExponent(const Reading& reading)
{
    const std::optional<int> readout = readoutResolution(reading);
    const std::optional<int> answer = answerResolution(reading.rawAnswer);
    if (readout && answer) {
        return std::min(*readout, *answer);
    }
    return readout;
}

bool takesPrefixes(const QString& unit)
{
    return unit == QLatin1String("V") || unit == QLatin1String("A") || unit == QLatin1String("Ohm");
}

int prefixExponentFor(double magnitude)
{
    if (!(magnitude > 0.0) || !std::isfinite(magnitude)) {
        return 0;
    }
    return std::clamp(floorToThree(decadeOf(magnitude)), kSmallestPrefix, kLargestPrefix);
}

QString engineeringText(double value, const QString& unit, FigureDigits digits)
{
    if (!std::isfinite(value)) {
        return QStringLiteral("-");
    }
    const int significant =
        digits.significant > 0 || digits.finest ? digits.significant : kDefaultSignificant;
    const double magnitude = std::fabs(value);
    const std::optional<int> finest =
        digits.finest ? std::optional(std::clamp(*digits.finest, -kStepLimit, kStepLimit))
                      : std::nullopt;
    int step = finest.value_or(0); // zero, with nothing to say how finely
    bool stepFromSignificant = false;
    if (significant > 0 && magnitude > 0.0) {
        const int significantStep = decadeOf(magnitude) - significant + 1;
        if (!finest || significantStep > *finest) {
            step = significantStep;
            stepFromSignificant = true;
        }
    }
    const auto withExponent = [&] {
        const QString text =
            QString::number(value, 'e', (significant > 0 ? significant : kDefaultSignificant) - 1);
        return unit.isEmpty() ? text : text + QLatin1Char(' ') + unit;
    };
    if (std::abs(step) > kStepLimit) {
        return withExponent();
    }
    double rounded = roundTo(value, step);
    // 9.9996 at four digits is 10.00, not 10.000.
    if (stepFromSignificant && rounded != 0.0 &&
        decadeOf(std::fabs(rounded)) > decadeOf(magnitude)) {
        ++step;
        rounded = roundTo(value, step);
    }
    if (rounded == 0.0) {
        rounded = 0.0; // no "-0"
    }

    int exponent = 0;
    const bool prefixed = takesPrefixes(unit);
    if (prefixed) {
        // Never a prefix so small that the finest digit falls left of the
        // point: 0.3 mV, not 300 µV, when 0.1 mV is the finest digit.
        exponent = floorToThree(step + 2);
        if (rounded != 0.0) {
            exponent = std::max(prefixExponentFor(std::fabs(rounded)), exponent);
        }
        exponent = std::clamp(exponent, kSmallestPrefix, kLargestPrefix);
    }
    const double mantissa = rounded / powerOfTen(exponent);
    if (std::fabs(mantissa) >= (prefixed ? 1000.0 : kExactLimit)) {
        return withExponent();
    }
    const QString text =
        QString::number(mantissa, 'f', std::clamp(exponent - step, 0, kMaxDecimals));
    const QString shownUnit = prefixText(exponent) + unit;
    return shownUnit.isEmpty() ? text : text + QLatin1Char(' ') + shownUnit;
}

} // namespace lumodm
