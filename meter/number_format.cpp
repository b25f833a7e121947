#include "meter/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace lumodm {

namespace {

// A non-negative finite single at seven significant digits:
// d[0].d[1]..d[count-1] x 10^exp10, trailing zeros dropped; count 0 is zero.
// `text` keeps the scientific form so its value can be read back exactly.
struct Decimal7
{
    char digits[7];
    int count = 0;
    int exp10 = 0;
    char text[32];
    int textLength = 0;
};

Decimal7 toDecimal7(float magnitude)
{
    Decimal7 d;
    // to_chars is exact and ignores the C locale's decimal separator.
    const auto r =
        std::to_chars(d.text, d.text + sizeof d.text, magnitude, std::chars_format::scientific, 6);
    d.textLength = static_cast<int>(r.ptr - d.text);
    if (magnitude == 0.0f) {
        return d;
    }
    // Layout: d.dddddde+XX
    d.digits[0] = d.text[0];
    std::memcpy(d.digits + 1, d.text + 2, 6);
    int exp = 0;
    const char* p = d.text + 9;
    const bool negExp = *p == '-';
    for (++p; p < r.ptr; ++p) {
        exp = exp * 10 + (*p - '0');
    }
    d.exp10 = negExp ? -exp : exp;
    d.count = 7;
    while (d.count > 1 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
    return d;
}

// The decimal value of the seven-digit form, as the nearest double.
double decimalValue(const Decimal7& d)
{
    double value = 0.0;
    std::from_chars(d.text, d.text + d.textLength, value);
    return value;
}

// A bounded append-only text; every text built here is far below its size.
class Buffer
{
  public:
    void put(char c)
    {
        if (length_ < static_cast<int>(sizeof data_)) {
            data_[length_++] = c;
        }
    }
    void put(const char* s, int n)
    {
        for (int i = 0; i < n; ++i) {
            put(s[i]);
        }
    }
    void repeat(char c, int n)
    {
        for (int i = 0; i < n; ++i) {
            put(c);
        }
    }
    int length() const { return length_; }
    const char* data() const { return data_; }
    QString toQString() const { return QString::fromLatin1(data_, length_); }

  private:
    char data_[256];
    int length_ = 0;
};

// Integer digits of the seven-digit form ("" below 1), then its fraction
// digits ("" when there is no fraction).
void appendIntegerDigits(Buffer& out, const Decimal7& d)
{
    if (d.count == 0 || d.exp10 < 0) {
        return;
    }
    const int intLength = d.exp10 + 1;
    const int fromDigits = intLength < d.count ? intLength : d.count;
    out.put(d.digits, fromDigits);
    out.repeat('0', intLength - fromDigits);
}

void appendFractionDigits(Buffer& out, const Decimal7& d)
{
    if (d.count == 0) {
        return;
    }
    if (d.exp10 < 0) {
        out.repeat('0', -d.exp10 - 1);
        out.put(d.digits, d.count);
    } else if (d.count > d.exp10 + 1) {
        out.put(d.digits + d.exp10 + 1, d.count - d.exp10 - 1);
    }
}

bool appendNonFinite(Buffer& out, float number)
{
    if (std::isnan(number)) {
        out.put(" NaN", 4);
        return true;
    }
    if (std::isinf(number)) {
        out.put(number < 0 ? "-Inf" : " Inf", 4);
        return true;
    }
    return false;
}

void appendGeneral(Buffer& out, float number)
{
    if (appendNonFinite(out, number)) {
        return;
    }
    out.put(number < 0 ? '-' : ' ');
    const Decimal7 d = toDecimal7(std::fabs(number));
    if (d.count == 0) {
        out.put('0');
        return;
    }
    appendIntegerDigits(out, d);
    Buffer fraction;
    appendFractionDigits(fraction, d);
    if (fraction.length() > 0) {
        out.put('.');
        out.put(fraction.data(), fraction.length());
    }
}

// Nearest integer, ties to even, for small non-negative singles.
int roundHalfEven(float value)
{
    const float lower = std::floor(value);
    const float diff = value - lower;
    int result = static_cast<int>(lower);
    if (diff > 0.5f || (diff == 0.5f && result % 2 != 0)) {
        ++result;
    }
    return result;
}

// floor(log10(x) + 1) with the sum rounded to single first; x > 0, finite.
int digitCountByLog(float x)
{
    return static_cast<int>(
        std::floor(static_cast<float>(std::log10(static_cast<double>(x)) + 1.0)));
}

const float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
const float kPow10Neg[] = {1e0f,  1e-1f, 1e-2f, 1e-3f, 1e-4f, 1e-5f,
                           1e-6f, 1e-7f, 1e-8f, 1e-9f, 1e-10f};

// The sign-and-integer field of a huge significant-digits code would
// otherwise ask for billions of blanks.
constexpr int kMaxFieldWidth = 128;

QString intFracError(float magnitude)
{
    Buffer out;
    out.put("Error: IntFrac=", 15);
    appendGeneral(out, magnitude);
    out.put(' ');
    return out.toQString();
}

} // namespace

QString GeneralNumberText(float number)
{
    Buffer out;
    appendGeneral(out, number);
    return out.toQString();
}

QString NrToStr(float number, float intFrac)
{
    // A code that is no number cannot be read as a format: refuse it like S = 1.
    if (!std::isfinite(intFrac)) {
        return intFracError(std::fabs(intFrac));
    }
    if (!std::isfinite(number)) {
        return GeneralNumberText(number);
    }
    if (intFrac == 0.0f) {
        Buffer out;
        appendGeneral(out, number);
        QString text = out.toQString();
        const float magnitude = std::fabs(number);
        if (magnitude > 0.0f && magnitude < 1.0f) {
            text.insert(1, QLatin1Char('0'));
        }
        return text;
    }

    const bool negative = number < 0.0f;
    float aNr = std::fabs(number);
    const float roundUp = intFrac > 0.0f ? 0.5f : 0.0f;
    float a = std::fabs(intFrac);
    bool lead = false;

    if (a > 100.0f) {
        // Significant-digits mode: turn the code into a fixed one.
        const float unitsDigit = a - 10.0f * std::floor(a / 10.0f);
        // Only huge codes lose the units digit to single precision.
        const int s = unitsDigit >= 0.0f && unitsDigit <= 10.0f ? roundHalfEven(unitsDigit) : 0;
        if (s == 1) {
            return intFracError(a);
        }
        int nrDig = aNr > 0.0f ? digitCountByLog(aNr) : 0;
        if (nrDig <= 0) {
            nrDig = 1;
        }
        int fracDig = s - nrDig;
        if (fracDig < 0) {
            fracDig = 0;
        }
        const float t = aNr + roundUp * kPow10Neg[fracDig];
        if (fracDig != 0 && std::floor(static_cast<double>(t)) >= std::pow(10.0, nrDig)) {
            ++nrDig;
            --fracDig;
        }
        if (fracDig == 0) {
            lead = true;
        }
        const float h = std::floor(a / 100.0f);
        a = h + static_cast<float>(nrDig) - 1.0f + static_cast<float>(fracDig) / 10.0f;
    }

    const float integerPart = std::floor(a);
    int width = integerPart > static_cast<float>(kMaxFieldWidth) ? kMaxFieldWidth
                                                                 : static_cast<int>(integerPart);
    const int f = roundHalfEven((a - integerPart) * 10.0f);

    // Cut at f decimals, starting from the seven-digit value so that the
    // binary fraction of the single cannot drop a digit. A value without
    // digits beyond the cut is left alone: scaling it in single precision
    // could only add noise to a number that needs no cutting.
    const Decimal7 seven = toDecimal7(aNr);
    const double sevenDigit = decimalValue(seven);
    const int sevenFraction = seven.count - 1 - seven.exp10;
    if (sevenFraction > f) {
        // Fewer than seven integer digits here, so every step is exact or
        // rounds only where the single arithmetic itself would.
        const float scale = kPow10[f];
        const float scaled = static_cast<float>(sevenDigit * static_cast<double>(scale));
        aNr = std::floor(scaled + roundUp) / scale;
    } else {
        aNr = static_cast<float>(sevenDigit);
    }

    const int nDig = std::floor(aNr) == 0.0f ? 1 : digitCountByLog(aNr);
    if (width <= nDig) {
        width = nDig + 1;
    }

    // Integer and fraction digits both come from the seven-digit form, so
    // they agree even when its rounding carries into the integer part.
    const Decimal7 cut = toDecimal7(aNr);
    Buffer intStr;
    intStr.put(negative ? '-' : ' ');
    if (aNr < 1.0f) {
        intStr.put('0');
    } else {
        appendIntegerDigits(intStr, cut);
    }

    Buffer out;
    if (lead) {
        out.put(' ');
    }
    out.repeat(' ', width - intStr.length());
    out.put(intStr.data(), intStr.length());
    if (f > 0) {
        Buffer fraction;
        appendFractionDigits(fraction, cut);
        const int kept = fraction.length() < f ? fraction.length() : f;
        out.put('.');
        out.put(fraction.data(), kept);
        out.repeat('0', f - kept);
    }
    return out.toQString();
}

} // namespace lumodm
