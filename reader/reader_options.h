#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace lumodm {

// What lumodm-read is asked to do beyond finding the meter.
struct ReaderOptions
{
    QString function;                  // a function code; empty keeps the meter's
    std::optional<std::int16_t> range; // 0 automatic, 1.. a fixed range; none keeps it
    long long count = 1;               // readings to take; 0 until interrupted
    double interval = 1.0;             // seconds from one reading's start to the next
    bool csv = false;                  // the log's columns instead of readout and unit
    bool stats = false;                // a line of statistics on standard error at the end
};

} // namespace lumodm
