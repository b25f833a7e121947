#include "qt/readings_window_kit.h"

#include "platform/program_module.h"

namespace lumodm {

const ReadingsWindowKit* readingsWindowKit(QString* error)
{
    return static_cast<const ReadingsWindowKit*>(
        programModuleTable(kReadingsWindowModule, kReadingsWindowEntry, error));
}

} // namespace lumodm
