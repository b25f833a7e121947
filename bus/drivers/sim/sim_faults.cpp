#include "bus/drivers/sim/sim_faults.h"

#include "bus/drivers/sim/sim_signal.h"

#include <algorithm>

namespace lumodm {

QByteArray SimFaults::garbageBytes(int length, std::uint32_t seed)
{
    constexpr int MaxLength = 1 << 20;
    length = std::clamp(length, 0, MaxLength);
    QByteArray bytes(length, '\0');
    SimRandom random(seed);
    for (int i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>(random.next() & 0xFF);
    }
    if (length > 0) {
        bytes[0] = '\0';
    }
    if (length > 1) {
        bytes[length - 1] = static_cast<char>(0xC3);
    }
    return bytes;
}

} // namespace lumodm
