#include "readings/reading_analysis.h"

#include "readings/engineering_text.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace lumodm {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDateLimitMs = 8.64e15; // the milliseconds a QDateTime holds
// The gaps a text names one by one; the rest it counts.
constexpr std::size_t kGapsNamed = 3;
// The fewest readings in a row the Allan deviation takes: one averaging
// time is at most a quarter of them.
constexpr std::size_t kFewestInARow = 4;

QString countText(std::size_t count)
{
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(count));
}

QString plural(std::size_t count, const char* one, const char* many)
{
    return countText(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QDateTime localTime(double seconds)
{
    const double ms =
        std::isfinite(seconds) ? std::clamp(seconds * 1000.0, -kDateLimitMs, kDateLimitMs) : 0.0;
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(ms)));
}

QString clockText(double seconds, bool withDate)
{
    return localTime(seconds).toString(withDate ? QStringLiteral("yyyy-MM-dd hh:mm:ss")
                                                : QStringLiteral("hh:mm:ss"));
}

// A run within one day is told in times of day; a longer one with dates.
bool acrossDays(double from, double to)
{
    return localTime(from).date() != localTime(to).date();
}

// The first and the last of the values that are readings.
std::pair<std::size_t, std::size_t> readingSpan(const std::vector<double>& values)
{
    const auto finite = [](double v) { return std::isfinite(v); };
    const auto first = std::find_if(values.begin(), values.end(), finite);
    const auto last = std::find_if(values.rbegin(), values.rend(), finite);
    return {static_cast<std::size_t>(first - values.begin()),
            values.size() - 1 - static_cast<std::size_t>(last - values.rbegin())};
}

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString unitSuffix(const QString& unit)
{
    return unit.isEmpty() ? QString() : QLatin1Char('_') + unit;
}

} // namespace

ReadingAnalysis::ReadingAnalysis(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1))
{
}

void ReadingAnalysis::readingTaken(const Reading& reading)
{
    if (reading.functionCode != functionCode_ || reading.baseUnit != unit_) {
        functionCode_ = reading.functionCode;
        unit_ = reading.baseUnit;
        reset();
    }
    using namespace std::chrono;
    const double time = duration<double>(reading.time.time_since_epoch()).count();
    if (reading.hasFiniteValue()) {
        push(time, reading.valueInBase);
    } else {
        mark(time, reading.kind == Reading::Kind::Overflow ? RunBreak::Overflow
                                                           : RunBreak::FailedReading);
    }
}

// The Stop's mark stands at the last reading's time: the next reading,
// however soon, comes after a gap.
void ReadingAnalysis::runEnded()
{
    if (times_.empty() || (!marks_.empty() && marks_.back().sequence + 1 == pushed_ &&
                           marks_.back().cause == RunBreak::Stop)) {
        return;
    }
    mark(times_[(head_ + times_.size() - 1) % times_.size()], RunBreak::Stop);
}

void ReadingAnalysis::reset()
{
    std::vector<double>().swap(times_);
    std::vector<double>().swap(values_);
    head_ = 0;
    readings_ = 0;
    marks_.clear();
    ++revision_;
}

void ReadingAnalysis::push(double time, double value)
{
    if (times_.size() < capacity_) {
        times_.push_back(time);
        values_.push_back(value);
    } else {
        if (std::isfinite(values_[head_])) {
            --readings_;
        }
        times_[head_] = time;
        values_[head_] = value;
        head_ = (head_ + 1) % capacity_;
    }
    ++pushed_;
    if (std::isfinite(value)) {
        ++readings_;
    }
    while (!marks_.empty() && marks_.front().sequence < oldestSequence()) {
        marks_.pop_front();
    }
    ++revision_;
}

void ReadingAnalysis::mark(double time, RunBreak cause)
{
    const std::uint64_t sequence = pushed_;
    push(time, kNaN);
    marks_.push_back({sequence, cause});
}

void ReadingAnalysis::putInOrder() const
{
    if (head_ != 0) {
        const auto head = static_cast<std::ptrdiff_t>(head_);
        std::rotate(times_.begin(), times_.begin() + head, times_.end());
        std::rotate(values_.begin(), values_.begin() + head, values_.end());
        head_ = 0;
    }
}

const ReadingAnalysis::Mark* ReadingAnalysis::markAt(std::uint64_t sequence) const
{
    const auto at = std::lower_bound(
        marks_.begin(), marks_.end(), sequence,
        [](const Mark& mark, std::uint64_t wanted) { return mark.sequence < wanted; });
    return at != marks_.end() && at->sequence == sequence ? &*at : nullptr;
}

HistogramAnalysis ReadingAnalysis::histogram() const
{
    HistogramAnalysis result;
    result.unit = unit_;
    putInOrder();
    result.histogram = lumodm::histogram(values_);
    const Histogram& h = result.histogram;
    if (h.total == 0) {
        result.text = QStringLiteral("Histogram: no readings since Reset");
        return result;
    }
    const auto [first, last] = readingSpan(values_);
    const bool withDate = acrossDays(times_[first], times_[last]);
    result.text = QStringLiteral("Histogram of %1 from %2 to %3\n")
                      .arg(plural(h.total, "reading", "readings"),
                           clockText(times_[first], withDate), clockText(times_[last], withDate));
    result.text += h.width > 0.0
                       ? plural(h.counts.size(), "bin", "bins") + QStringLiteral(" of ") +
                             engineeringText(h.width, unit_, {std::nullopt, 4}) +
                             QStringLiteral("; the curve: a normal distribution of their mean "
                                            "and deviation")
                       : QStringLiteral("all alike");
    return result;
}

AllanAnalysis ReadingAnalysis::allanDeviation() const
{
    AllanAnalysis result;
    result.unit = unit_;
    putInOrder();
    const std::vector<double>& times = times_;
    const std::vector<double>& values = values_;
    result.allan = lumodm::allanDeviation(times, values);
    const AllanDeviation& a = result.allan;
    if (readings_ == 0) {
        result.text = QStringLiteral("Allan deviation: no readings since Reset");
        return result;
    }
    const auto [first, last] = readingSpan(values);
    const bool withDate = acrossDays(times[first], times[last]);
    // A gap's cause is the first mark before the reading that ends it,
    // else the time stamps on either side.
    QStringList named;
    for (const RunGap& gap : a.gaps) {
        std::size_t at = gap.index;
        while (at > 0 && std::isnan(values[at - 1])) {
            --at;
        }
        RunBreak cause = gap.to > gap.from ? RunBreak::Pause : RunBreak::ClockBack;
        if (at < gap.index) {
            const Mark* mark = markAt(oldestSequence() + at);
            cause = mark != nullptr ? mark->cause : RunBreak::FailedReading;
        }
        result.causes.push_back(cause);
        if (named.size() < static_cast<qsizetype>(kGapsNamed)) {
            const QString when = clockText(times[at], withDate);
            const QString from = clockText(gap.from, withDate);
            const QString to = clockText(gap.to, withDate);
            switch (cause) {
            case RunBreak::Stop:
                named << QStringLiteral("a Stop after ") + when;
                break;
            case RunBreak::FailedReading:
                named << QStringLiteral("a failed reading at ") + when;
                break;
            case RunBreak::Overflow:
                named << QStringLiteral("an overflow at ") + when;
                break;
            case RunBreak::Pause:
                named << QStringLiteral("a pause from %1 to %2").arg(from, to);
                break;
            case RunBreak::ClockBack:
                named << QStringLiteral("the clock set back from %1 to %2").arg(from, to);
                break;
            }
        }
    }
    result.text = QStringLiteral("Allan deviation over %1 from %2 to %3")
                      .arg(plural(readings_, "reading", "readings"),
                           clockText(times[first], withDate), clockText(times[last], withDate));
    if (a.interval > 0.0) {
        result.text += QStringLiteral(", one every %1 s").arg(QString::number(a.interval, 'g', 3));
    }
    if (a.gapCount > 0) {
        if (a.gapCount > kGapsNamed) {
            named << QStringLiteral("and %1 more").arg(countText(a.gapCount - kGapsNamed));
        }
        result.text +=
            QStringLiteral("\n%1: %2\nThe longest stretch without one is used: %3 from %4 to %5")
                .arg(plural(a.gapCount, "gap", "gaps"), named.join(QStringLiteral(", ")),
                     plural(a.count, "reading", "readings"), clockText(times[a.first], withDate),
                     clockText(times[a.first + a.count - 1], withDate));
    }
    if (a.points.empty()) {
        result.text +=
            QStringLiteral("\nToo few readings in a row: it takes at least %1").arg(kFewestInARow);
    }
    return result;
}

QString histogramCsv(const HistogramAnalysis& analysis)
{
    const Histogram& h = analysis.histogram;
    const QString unit = unitSuffix(analysis.unit);
    QString csv = QStringLiteral("bin_low%1,bin_high%1,count,normal_expected\r\n").arg(unit);
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        const double low = h.start + h.width * static_cast<double>(i);
        const double high = h.start + h.width * static_cast<double>(i + 1);
        csv += number(low) + QLatin1Char(',') + number(high) + QLatin1Char(',') +
               QString::number(static_cast<qulonglong>(h.counts[i])) + QLatin1Char(',') +
               number(i < h.normal.size() ? h.normal[i] : 0.0) + QStringLiteral("\r\n");
    }
    return csv;
}

QString allanDeviationCsv(const AllanAnalysis& analysis)
{
    const AllanDeviation& a = analysis.allan;
    QString csv = QStringLiteral("tau_s,adev%1,n_terms\r\n").arg(unitSuffix(analysis.unit));
    for (const AllanPoint& point : a.points) {
        // The overlapping terms: every start from which 2m readings follow.
        const std::size_t terms = a.count + 1 - std::min(a.count + 1, 2 * point.m);
        csv += number(point.tau) + QLatin1Char(',') + number(point.deviation) + QLatin1Char(',') +
               QString::number(static_cast<qulonglong>(terms)) + QStringLiteral("\r\n");
    }
    return csv;
}

} // namespace lumodm
