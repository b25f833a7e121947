#include "log/log_file_name.h"

#include <QFile>
#include <climits>
#include <cstdlib>
#include <time.h>

namespace lumodm {

namespace {

void appendNumber(QString& out, long long value, int digits)
{
    if (value < 0) {
        out += QLatin1Char('-');
    }
    out += QString::number(std::llabs(value)).rightJustified(digits, QLatin1Char('0'));
}

// False for a field this name does not know.
bool appendField(QString& out, char16_t field, const std::tm& t)
{
    const long long year = 1900LL + t.tm_year;
    switch (field) {
    case u'Y':
        appendNumber(out, year, 4);
        return true;
    case u'y':
        appendNumber(out, (year % 100 + 100) % 100, 2);
        return true;
    case u'm':
        appendNumber(out, t.tm_mon + 1LL, 2);
        return true;
    case u'd':
        appendNumber(out, t.tm_mday, 2);
        return true;
    case u'j':
        appendNumber(out, t.tm_yday + 1LL, 3);
        return true;
    case u'H':
        appendNumber(out, t.tm_hour, 2);
        return true;
    case u'M':
        appendNumber(out, t.tm_min, 2);
        return true;
    case u'S':
        appendNumber(out, t.tm_sec, 2);
        return true;
    case u'F':
        appendField(out, u'Y', t);
        out += QLatin1Char('-');
        appendField(out, u'm', t);
        out += QLatin1Char('-');
        return appendField(out, u'd', t);
    case u'%':
        out += QLatin1Char('%');
        return true;
    default:
        return false;
    }
}

std::optional<QString> refuse(QString* error, const QString& reason)
{
    if (error != nullptr) {
        *error = reason;
    }
    return std::nullopt;
}

} // namespace

bool hasTimeFields(const QString& pattern)
{
    return pattern.contains(QLatin1Char('%'));
}

std::optional<QString> expandLogFileName(const QString& pattern, const std::tm& local,
                                         QString* error)
{
    const QString tooLong = QStringLiteral("The log's name is too long for a path");
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        // A character is a byte at least in the file's name: stop early.
        if (out.size() >= PATH_MAX) {
            return refuse(error, tooLong);
        }
        if (pattern[i] != QLatin1Char('%')) {
            out += pattern[i];
            continue;
        }
        if (++i == pattern.size()) {
            return refuse(error, QStringLiteral("The log's name ends in a lone %"));
        }
        if (!appendField(out, pattern[i].unicode(), local)) {
            return refuse(error,
                          QStringLiteral("The log's name has an unknown field: %") + pattern[i]);
        }
    }
    if (QFile::encodeName(out).size() >= PATH_MAX) {
        return refuse(error, tooLong);
    }
    return out;
}

std::optional<QString> expandLogFileName(const QString& pattern,
                                         std::chrono::system_clock::time_point time, QString* error)
{
    // Rounded down, so that a time before 1970 keeps its second too.
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time.time_since_epoch());
    const time_t t = static_cast<time_t>(seconds.count());
    std::tm local{};
    localtime_r(&t, &local);
    return expandLogFileName(pattern, local, error);
}

} // namespace lumodm
