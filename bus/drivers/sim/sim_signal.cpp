#include "bus/drivers/sim/sim_signal.h"

namespace lumodm {

std::uint64_t SimRandom::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SimRandom::symmetric()
{
    // 53 random bits give a double in [0, 1].
    const double unit = static_cast<double>(next() >> 11) / static_cast<double>(1ULL << 53);
    return 2.0 * unit - 1.0;
}

double SignalSource::sample()
{
    if (noise_ == 0.0) {
        return value_;
    }
    return value_ + noise_ * random_.symmetric();
}

} // namespace lumodm
