#include "bus/vbib32rv.h"

namespace lumodm {

Vbib32Rv::Vbib32Rv(Vbib32& gpib, PlatformServices& platform) : gpib_(gpib), platform_(platform) {}

} // namespace lumodm
