#pragma once

#include "platform/platform_services.h"

#include <functional>

namespace lumodm {

// Waits while the window processes its events, blocking in between so the
// processor is not spun, until `seconds()` have passed on the monotonic
// clock or `stop()` says so (checked before every pass). `seconds` is asked
// again on every pass: a caller may hand a length that changes during the
// wait (the run's update rate).
void waitProcessingEvents(PlatformServices& platform, const std::function<double()>& seconds,
                          const std::function<bool()>& stop = {});

// The same for a fixed length.
inline void waitProcessingEvents(PlatformServices& platform, double seconds,
                                 const std::function<bool()>& stop = {})
{
    waitProcessingEvents(
        platform, [seconds] { return seconds; }, stop);
}

} // namespace lumodm
