#include "log/log_timestamp.h"

#include <cstddef>
#include <cstdlib>
#include <time.h>

namespace lumodm {

namespace {

void appendPadded(QByteArray& out, long value, int width)
{
    char digits[24];
    int n = 0;
    unsigned long v = value < 0 ? 0UL : static_cast<unsigned long>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < static_cast<int>(sizeof digits));
    for (int i = n; i < width; ++i) {
        out += '0';
    }
    while (n > 0) {
        out += digits[--n];
    }
}

// Reads `count` digits at `at`, moving past them; false unless all are digits.
bool digits(std::string_view text, std::size_t& at, int count, int& value)
{
    value = 0;
    for (int i = 0; i < count; ++i, ++at) {
        if (at >= text.size() || text[at] < '0' || text[at] > '9') {
            return false;
        }
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

bool expect(std::string_view text, std::size_t& at, char c)
{
    return at < text.size() && text[at++] == c;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long daysFromCivil(int year, int month, int day)
{
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097LL + dayOfEra - 719468;
}

} // namespace

std::optional<std::chrono::system_clock::time_point> parseIsoTimestamp(std::string_view text)
{
    std::size_t at = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!digits(text, at, 4, year) || !expect(text, at, '-') || !digits(text, at, 2, month) ||
        !expect(text, at, '-') || !digits(text, at, 2, day) || at >= text.size() ||
        (text[at] != 'T' && text[at] != ' ') || !digits(text, ++at, 2, hour) ||
        !expect(text, at, ':') || !digits(text, at, 2, minute) || !expect(text, at, ':') ||
        !digits(text, at, 2, second)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 60) {
        return std::nullopt;
    }
    long long fraction = 0; // in nanoseconds
    if (at < text.size() && text[at] == '.') {
        long long scale = 100000000;
        int digit = 0;
        const std::size_t first = ++at;
        while (at < text.size() && digits(text, at, 1, digit)) {
            fraction += digit * scale;
            scale /= 10;
        }
        if (at == first) {
            return std::nullopt;
        }
    }
    int offsetMinutes = 0;
    if (at < text.size() && text[at] == 'Z') {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const bool behind = text[at++] == '-';
        int hours = 0, minutes = 0;
        if (!digits(text, at, 2, hours) || !expect(text, at, ':') ||
            !digits(text, at, 2, minutes) || hours > 23 || minutes > 59) {
            return std::nullopt;
        }
        offsetMinutes = (behind ? -1 : 1) * (hours * 60 + minutes);
    } else {
        return std::nullopt;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    using namespace std::chrono;
    const long long local =
        daysFromCivil(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL + second;
    const long long since = local - offsetMinutes * 60LL;
    // The clock counts nanoseconds: about 292 years either side of 1970.
    const long long limit = duration_cast<seconds>(system_clock::duration::max()).count() - 1;
    if (since < -limit || since > limit) {
        return std::nullopt;
    }
    return system_clock::time_point(
        duration_cast<system_clock::duration>(seconds(since) + nanoseconds(fraction)));
}

QByteArray isoTimestamp(const std::tm& local, int milliseconds, long utcOffsetSeconds)
{
    QByteArray out;
    out.reserve(32);
    appendPadded(out, 1900L + local.tm_year, 4);
    out += '-';
    appendPadded(out, local.tm_mon + 1L, 2);
    out += '-';
    appendPadded(out, local.tm_mday, 2);
    out += 'T';
    appendPadded(out, local.tm_hour, 2);
    out += ':';
    appendPadded(out, local.tm_min, 2);
    out += ':';
    appendPadded(out, local.tm_sec, 2);
    out += '.';
    appendPadded(out, milliseconds, 3);
    // Offsets with seconds (old local mean times) are cut to whole minutes,
    // the finest ISO 8601 extended format allows here.
    const long minutes = std::labs(utcOffsetSeconds) / 60;
    out += utcOffsetSeconds < 0 ? '-' : '+';
    appendPadded(out, minutes / 60, 2);
    out += ':';
    appendPadded(out, minutes % 60, 2);
    return out;
}

QByteArray isoTimestamp(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    // Rounded down, so that the milliseconds stay 0 to 999 before 1970 too.
    const auto ms = floor<milliseconds>(time.time_since_epoch());
    const auto whole = floor<seconds>(ms);
    const time_t t = static_cast<time_t>(whole.count());
    std::tm local{};
    localtime_r(&t, &local);
    return isoTimestamp(local, static_cast<int>((ms - whole).count()), local.tm_gmtoff);
}

} // namespace lumodm
