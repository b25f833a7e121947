#pragma once

#include "platform/platform_services.h"

#include <functional>

namespace lumodm {

// Waits while the window processes its events, blocking in between so the
// processor is not spun, until `seconds` have passed on the monotonic clock
// or `stop` says so (checked before every pass). `seconds` is read again
// on every pass: a caller may hand a value that changes during the wait.
void waitProcessingEvents(PlatformServices& platform, const float& seconds,
                          const std::function<bool()>& stop = {});

} // namespace lumodm
