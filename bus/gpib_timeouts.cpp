#include "bus/gpib_driver.h"

#include <array>

namespace lumodm::gpib {

double timeoutSeconds(int code)
{
    // NI-488.2 codes: 0 never, then 10 us to 1000 s in 1-3-10 steps.
    static constexpr std::array<double, 18> seconds = {0.0,  10e-6, 30e-6, 100e-6, 300e-6, 1e-3,
                                                       3e-3, 10e-3, 30e-3, 0.1,    0.3,    1.0,
                                                       3.0,  10.0,  30.0,  100.0,  300.0,  1000.0};
    // A code outside the table gets the longest finite timeout: a bad code
    // must neither block for ever nor cut a transfer short.
    if (code < 0 || code >= static_cast<int>(seconds.size())) {
        return seconds.back();
    }
    return seconds[static_cast<std::size_t>(code)];
}

} // namespace lumodm::gpib
