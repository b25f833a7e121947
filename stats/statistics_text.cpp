#include "stats/statistics_text.h"

#include <charconv>

namespace lumodm {

QString exactNumberText(double value)
{
    char text[32]; // the longest shortest form of a double is 24 characters
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return QString::fromLatin1(text, static_cast<qsizetype>(end.ptr - text));
}

QString statisticsLine(const ReadingStatistics& statistics)
{
    const RunningStatistics& v = statistics.values();
    const bool any = v.count() > 0;
    const auto number = [](bool known, double value) {
        return known ? exactNumberText(value) : QStringLiteral("-");
    };
    const QString unit = statistics.unit().isEmpty() ? QStringLiteral("-") : statistics.unit();
    const std::optional<double> adev1 = statistics.allanDeviationOneStep();
    return QStringLiteral("statistics: n=%1 mean=%2 std=%3 min=%4 max=%5 pp=%6 unit=%7 adev1=%8")
        .arg(v.count())
        .arg(number(any, v.mean()), number(v.count() > 1, v.standardDeviation()),
             number(any, v.minimum()), number(any, v.maximum()), number(any, v.peakToPeak()), unit,
             number(adev1.has_value(), adev1.value_or(0.0)));
}

} // namespace lumodm
