#pragma once

#include "bus/drivers/driver_choice.h"
#include "bus/drivers/prologix/plus_plus_timings.h"
#include "bus/gpib_driver.h"

#include <QString>
#include <iosfwd>
#include <memory>

namespace lumodm {

// The driver built, or why there is none: a message for the user's box
// (stop icon), after which the program ends with status 1.
struct DriverCreation
{
    std::unique_ptr<GpibDriver> driver;
    QString errorTitle;
    QString errorText;
    // The meters to serve on it: the command line's, or the remembered or
    // chosen connection's.
    MeterSelection meters;

    bool ok() const { return driver != nullptr; }
};

// Whom a failure's advice speaks to: the user of a command line, or the
// user of the connection chooser, who picks a bus in its window.
enum class DriverAdvice { CommandLine, Chooser };

// Builds and opens the driver `spec` names. With spec.trace the driver is
// wrapped so that every call is written to `traceOut`. The messages' hints
// name `program`, the command the user started ("lumodm", "lumodm-read").
DriverCreation createDriver(const DriverSpec& spec, const QString& program, std::ostream& traceOut,
                            const PlusPlusTimings& adapterTimings = {},
                            DriverAdvice advice = DriverAdvice::CommandLine);

} // namespace lumodm
