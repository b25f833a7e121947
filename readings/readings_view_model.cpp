#include "readings/readings_view_model.h"

#include "meter/readout_copy.h"
#include "meter/unit_prefix.h"
#include "readings/engineering_text.h"

#include <QLocale>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>

namespace lumodm {

namespace {

const QString kHyphens = QStringLiteral("-------");

std::optional<double> limitOf(std::optional<double> limit)
{
    return limit && std::isfinite(*limit) ? limit : std::nullopt;
}

std::optional<double> limitOf(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? limitOf(value) : std::nullopt;
}

} // namespace

double secondsSinceEpoch(const Reading& reading)
{
    using namespace std::chrono;
    return duration<double>(reading.time.time_since_epoch()).count();
}

void ReadingsViewModel::readingTaken(const Reading& reading)
{
    const bool newFunction = !last_ || last_->functionCode != reading.functionCode;
    last_ = reading;
    if (!unitText().isEmpty()) {
        shownUnit_ = reading.unit;
        shownBase_ = reading.baseUnit;
    }
    statistics_.readingTaken(reading);
    analysis_.readingTaken(reading);
    noteResolution(reading);
    // A reference on another function means nothing here.
    if (reference_ && referenceFunction_ != reading.functionCode) {
        reference_.reset();
    }
    const LimitZone zone = zoneOf(reading);
    crossed_ = zone != LimitZone::Unknown && knownZone_ != LimitZone::Unknown && zone != knownZone_;
    zone_ = zone;
    // A reading without a number crosses nothing: the next one is compared
    // with the last that had one, on the same function.
    if (zone != LimitZone::Unknown || newFunction) {
        knownZone_ = zone;
    }
    if (!reading.hasFiniteValue()) {
        return;
    }
    const double time = secondsSinceEpoch(reading);
    if (history_.readings() > 0 && !(time >= history_.lastTime())) {
        return;
    }
    if (series_.empty() || series_.back().functionCode != reading.functionCode ||
        series_.back().unit != reading.baseUnit) {
        series_.push_back({reading.functionCode, reading.baseUnit, time});
    }
    history_.append(time, reading.valueInBase);
}

// The figures keep the digits of the coarsest reading they hold, so that
// an autorange across a range boundary does not make them jump.
void ReadingsViewModel::noteResolution(const Reading& reading)
{
    if (!reading.hasFiniteValue()) {
        return;
    }
    const std::optional<int> resolution = resolutionExponent(reading);
    if (statistics_.values().count() == 1) { // the first since a reset
        statisticsResolution_ = resolution;
    } else if (statisticsResolution_ && resolution) {
        statisticsResolution_ = std::max(*statisticsResolution_, *resolution);
    } else {
        statisticsResolution_.reset();
    }
}

// Min, max and p-p are readings or a difference of two: the readout's own
// digits. The mean of many readings is finer than one: a digit more. The
// deviation to four significant digits, but no more than two beyond the
// readout's. Readings in the general form have no digits to go by: seven
// significant digits, four for the deviation.
QStringList ReadingsViewModel::figureTexts() const
{
    const RunningStatistics& values = statistics_.values();
    const std::optional<int> resolution = statisticsResolution_;
    const auto finer = [&resolution](int digits) {
        return resolution ? std::optional(*resolution - digits) : std::nullopt;
    };
    const std::pair<double, FigureDigits> figures[] = {
        {values.mean(), {finer(1)}},         {values.standardDeviation(), {finer(2), 4}},
        {values.minimum(), {resolution}},    {values.maximum(), {resolution}},
        {values.peakToPeak(), {resolution}},
    };
    QStringList texts{QString::number(values.count())};
    for (std::size_t i = 0; i < std::size(figures); ++i) {
        const bool known = values.count() > (i == 1 ? 1 : 0);
        texts << (known ? engineeringText(figures[i].first, statistics_.unit(), figures[i].second)
                        : QStringLiteral("-"));
    }
    return texts;
}

QString ReadingsViewModel::readoutText() const
{
    if (!last_ || last_->kind == Reading::Kind::NoNumber) {
        return kHyphens;
    }
    return last_->readoutText.trimmed();
}

QString ReadingsViewModel::unitText() const
{
    return last_ && last_->kind != Reading::Kind::NoNumber ? last_->unit : QString();
}

QString ReadingsViewModel::noteText() const
{
    QStringList notes;
    if (!last_ || last_->kind == Reading::Kind::NoNumber) {
        notes << QStringLiteral("no reading");
    } else if (last_->kind == Reading::Kind::Overflow) {
        notes << QStringLiteral("overflow");
    }
    if (held()) {
        notes << QStringLiteral("held");
    }
    return notes.join(QStringLiteral(", "));
}

QString ReadingsViewModel::copyText() const
{
    if (!last_) {
        return {};
    }
    if (last_->kind == Reading::Kind::NoNumber) {
        return QStringLiteral("no reading");
    }
    return readoutCopyText(readoutText(), unitText());
}

bool ReadingsViewModel::setReference()
{
    if (!last_ || !last_->hasFiniteValue()) {
        return false;
    }
    reference_ = last_->valueInBase;
    referenceFunction_ = last_->functionCode;
    return true;
}

std::optional<double> ReadingsViewModel::relative() const
{
    if (!reference_ || !last_ || !last_->hasFiniteValue()) {
        return std::nullopt;
    }
    return last_->valueInBase - *reference_;
}

// At the readout's digits: a difference of two readings is no finer.
QString ReadingsViewModel::relativeText() const
{
    const std::optional<double> difference = relative();
    if (!difference) {
        return {};
    }
    const QString text =
        engineeringText(*difference, last_->baseUnit, {resolutionExponent(*last_)});
    // A difference that rounds to zero has no sign.
    const bool positive = text.section(QLatin1Char(' '), 0, 0).toDouble() > 0.0;
    return QStringLiteral("REL ") + (positive ? QStringLiteral("+") : QString()) + text;
}

void ReadingsViewModel::setLimits(std::optional<double> low, std::optional<double> high)
{
    low_ = limitOf(low);
    high_ = limitOf(high);
    zone_ = last_ ? zoneOf(*last_) : LimitZone::Unknown;
    knownZone_ = zone_;
    crossed_ = false;
}

void ReadingsViewModel::setLimits(const QString& low, const QString& high)
{
    setLimitText(LimitSide::Low, low);
    setLimitText(LimitSide::High, high);
}

bool ReadingsViewModel::isLimitText(const QString& text)
{
    return text.trimmed().isEmpty() || limitOf(text).has_value();
}

bool ReadingsViewModel::setLimitText(LimitSide side, const QString& text)
{
    if (!isLimitText(text)) {
        return false;
    }
    std::optional<double> limit = limitOf(text);
    if (limit) {
        limit = scaledByPowerOfTen(*limit, prefixPower(shownUnit_, shownBase_).value_or(0));
    }
    const bool low = side == LimitSide::Low;
    setLimits(low ? limit : low_, low ? high_ : limit);
    return true;
}

QString ReadingsViewModel::limitText(LimitSide side) const
{
    const std::optional<double>& limit = side == LimitSide::Low ? low_ : high_;
    return limit ? QString::number(
                       scaledByPowerOfTen(*limit, -prefixPower(shownUnit_, shownBase_).value_or(0)),
                       'g', 10)
                 : QString();
}

void ReadingsViewModel::resetStatistics()
{
    statistics_.reset();
    analysis_.reset();
    history_.clear();
    series_.clear();
}

// An overflow lies beyond every limit on its side: its number is huge.
LimitZone ReadingsViewModel::zoneOf(const Reading& reading) const
{
    if (!hasLimits() || reading.kind == Reading::Kind::NoNumber ||
        std::isnan(reading.valueInBase)) {
        return LimitZone::Unknown;
    }
    if (low_ && reading.valueInBase < *low_) {
        return LimitZone::Below;
    }
    if (high_ && reading.valueInBase > *high_) {
        return LimitZone::Above;
    }
    return LimitZone::Inside;
}

} // namespace lumodm
