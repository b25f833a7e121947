#include "readings/meter_comparison.h"

#include "readings/engineering_text.h"

#include <cmath>

namespace lumodm {

namespace {

// The differences as readings of their own, so the statistics' rules
// (restart on another unit, a reading without a number breaks the chain)
// serve them too.
Reading differenceReading(std::optional<double> value, const QString& unit,
                          std::chrono::system_clock::time_point time)
{
    Reading r;
    r.time = time;
    r.kind = value ? Reading::Kind::Value : Reading::Kind::NoNumber;
    r.functionCode = unit;
    r.baseUnit = unit;
    r.value = r.valueInBase = value.value_or(0.0);
    return r;
}

double secondsBetween(std::chrono::system_clock::time_point from,
                      std::chrono::system_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

void MeterComparison::compareWith(int address, const QString& name)
{
    if (address == otherAddress_) {
        return;
    }
    otherAddress_ = address;
    otherName_ = name;
    other_.reset();
    reset();
}

void MeterComparison::reset()
{
    difference_.reset();
    ppm_.reset();
    differences_.reset();
    ppmDifferences_.reset();
    analysis_.reset();
}

void MeterComparison::readingTaken(const Reading& reading, int ownAddress)
{
    if (otherAddress_ == 0) {
        return;
    }
    if (reading.meterAddress == otherAddress_) {
        other_ = reading;
    } else if (reading.meterAddress == ownAddress) {
        pair(reading);
    }
}

void MeterComparison::pair(const Reading& own)
{
    difference_.reset();
    ppm_.reset();
    const bool paired = own.hasFiniteValue() && other_ && other_->hasFiniteValue() &&
                        other_->baseUnit == own.baseUnit &&
                        std::fabs(secondsBetween(other_->time, own.time)) <= kStaleSeconds;
    if (paired) {
        const double difference = own.valueInBase - other_->valueInBase;
        if (std::isfinite(difference)) {
            difference_ = difference;
            unit_ = own.baseUnit;
        }
        const double ppm = difference / other_->valueInBase * 1e6;
        if (other_->valueInBase != 0.0 && std::isfinite(ppm)) {
            ppm_ = ppm;
        }
    }
    const Reading difference =
        differenceReading(difference_, paired ? own.baseUnit : unit_, own.time);
    differences_.readingTaken(difference);
    analysis_.readingTaken(difference);
    ppmDifferences_.readingTaken(differenceReading(ppm_, QStringLiteral("ppm"), own.time));
}

QString MeterComparison::text() const
{
    if (otherAddress_ == 0) {
        return {};
    }
    const QString absolute =
        difference_ ? engineeringText(*difference_, unit_, {std::nullopt, 4}) : QStringLiteral("-");
    const QString relative =
        ppm_ ? engineeringText(*ppm_, QString(), {std::nullopt, 4}) + QStringLiteral(" ppm")
             : QStringLiteral("- ppm");
    const QString sign = difference_ && *difference_ > 0.0 ? QStringLiteral("+") : QString();
    const QString ppmSign = ppm_ && *ppm_ > 0.0 ? QStringLiteral("+") : QString();
    return QStringLiteral("minus %1: %2%3 (%4%5)")
        .arg(otherName_, sign, absolute, ppmSign, relative);
}

} // namespace lumodm
