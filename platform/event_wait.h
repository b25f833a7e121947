#pragma once

#include "platform/platform_services.h"

#include <functional>

namespace lumodm {

// Waits until `seconds()` have passed on the platform's monotonic clock,
// or `stop()` says so (checked before every pass), letting the platform
// serve what arrives meanwhile: on a panel's own thread the user's input
// to that panel, in the reader an interrupt. It blocks in between, so the
// processor is not spun. `seconds` is asked again on every pass: a caller
// may hand a length that changes during the wait (the run's update rate).
void waitServingInput(PlatformServices& platform, const std::function<double()>& seconds,
                      const std::function<bool()>& stop = {});

// The same for a fixed length.
inline void waitServingInput(PlatformServices& platform, double seconds,
                             const std::function<bool()>& stop = {})
{
    waitServingInput(
        platform, [seconds] { return seconds; }, stop);
}

} // namespace lumodm
