#include "reader/fatal_status_platform.h"

#include <cstdlib>

namespace lumodm {

void FatalStatusPlatform::endProgram(int)
{
    // The reader itself never ends through here: every end that arrives is
    // a fatal one, whatever status the panel's code chose for it.
    inner().endProgram(fatalStatus_);
    std::abort(); // not reached: endProgram does not return
}

} // namespace lumodm
