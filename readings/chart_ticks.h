#pragma once

#include <QString>

namespace lumodm {

// The chart's value axis: a range that begins and ends on a tick, ticks
// on round steps (1, 2 or 5 times a power of ten), labels in a prefixed
// unit. The values are drawn times `scale`, in the shown unit, because a
// value axis formats its labels printf-like and cannot add a prefix.
struct ValueAxisTicks
{
    double low = 0.0; // in the shown unit
    double high = 1.0;
    int count = 2; // ticks from low to high, both included
    double scale = 1.0;
    QString labelFormat; // "%.2f"
    QString unit;        // "µV", "kOhm", "dBm"
};

// For values from `low` to `high` in `unit` (a base unit), about `wanted`
// ticks.
ValueAxisTicks valueAxisTicks(double low, double high, int wanted, const QString& unit);

// The chart's time axis in milliseconds since the epoch: a range widened
// to round times of the local clock, `utcOffsetSeconds` ahead of UTC, so
// that evenly spread ticks fall on them, and a format with the resolution
// the step needs: no two ticks read alike.
struct TimeAxisTicks
{
    double from = 0.0;
    double to = 1000.0;
    int count = 2;
    QString format; // a QDateTime format
};

TimeAxisTicks timeAxisTicks(double from, double to, int wanted, int utcOffsetSeconds);
// The range as it is, for a view the user zoomed or panned to: widened to
// round times it would grow at every step of a zoom. The ticks fall where
// they fall, read to the resolution their step needs.
TimeAxisTicks timeAxisTicksWithin(double from, double to, int wanted, int utcOffsetSeconds);

// A date-time format for ticks `stepMs` apart: the date alone for a day
// or more, with the time for minutes and hours that run into another day.
QString timeFormatFor(double stepMs, bool acrossDays);

} // namespace lumodm
