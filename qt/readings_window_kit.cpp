#include "qt/readings_window_kit.h"

#include "platform/program_module.h"

namespace lumodm {

const ReadingsWindowKit* readingsWindowKit(QString* error)
{
    return static_cast<const ReadingsWindowKit*>(
        programModuleTable(kReadingsWindowModule, kReadingsWindowEntry, error));
}

QString storedLogCountText(const StoredLogCount& count)
{
    return QStringLiteral("%1 %2, %3 %4 skipped")
        .arg(count.readings)
        .arg(count.readings == 1 ? QLatin1String("reading") : QLatin1String("readings"))
        .arg(count.skipped)
        .arg(count.skipped == 1 ? QLatin1String("row") : QLatin1String("rows"));
}

} // namespace lumodm
