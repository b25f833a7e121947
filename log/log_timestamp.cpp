#include "log/log_timestamp.h"

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

} // namespace

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
