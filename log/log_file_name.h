#pragma once

#include <QString>
#include <chrono>
#include <ctime>
#include <optional>

namespace lumodm {

// True when the log's name has fields of the time in it (a "%"): such a log
// goes on in a new file whenever the expanded name changes.
bool hasTimeFields(const QString& pattern);

// The log's name with its fields filled in from the local time `local`:
// %Y year, %y year of the century, %m month, %d day of the month, %j day of
// the year, %H hour, %M minute, %S second (all with leading zeros),
// %F as %Y-%m-%d and %% a percent sign. Any other field, a "%" at the end,
// and a name that grows beyond what a path may hold are refused: nothing,
// with the reason in `error`. A refused field would otherwise go on as text
// and the log stay in one file for good, unnoticed.
std::optional<QString> expandLogFileName(const QString& pattern, const std::tm& local,
                                         QString* error = nullptr);

// The same at a time of the wall clock, in local time.
std::optional<QString> expandLogFileName(const QString& pattern,
                                         std::chrono::system_clock::time_point time,
                                         QString* error = nullptr);

} // namespace lumodm
