#pragma once

#include <QByteArray>
#include <chrono>
#include <ctime>
#include <optional>
#include <string_view>

namespace lumodm {

// Local time in ISO 8601 with milliseconds and the offset from UTC, e.g.
// "2024-03-09T21:07:05.042+01:00". The offset makes the log unambiguous
// across daylight-saving changes in a night-long run.
QByteArray isoTimestamp(const std::tm& local, int milliseconds, long utcOffsetSeconds);

// A time of the wall clock (a reading's) in the form above, local time.
QByteArray isoTimestamp(std::chrono::system_clock::time_point time);

// The time a text in that form names: date, "T" (or a blank), time with
// any fraction of a second, and "Z" or an offset; nullopt for anything
// else, a day that does not exist included.
std::optional<std::chrono::system_clock::time_point> parseIsoTimestamp(std::string_view text);

} // namespace lumodm
