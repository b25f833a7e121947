#include "platform/event_wait.h"

namespace lumodm {

void waitServingInput(PlatformServices& platform, const std::function<double()>& seconds,
                      const std::function<bool()>& stop)
{
    // Elapsed time on the monotonic clock: no midnight or clock change can
    // stretch the wait, and a long uptime costs no resolution.
    const double start = platform.now();
    double now = start;
    while (seconds() > now - start) {
        if (stop && stop()) {
            return;
        }
        platform.processEvents(start + seconds());
        now = platform.now();
    }
}

} // namespace lumodm
