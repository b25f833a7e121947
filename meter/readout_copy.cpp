#include "meter/readout_copy.h"

#include <algorithm>

namespace lumodm {

QString readoutCopyText(const QString& readout, const QString& unit)
{
    const QString shown = readout.trimmed();
    if (shown.count(QLatin1Char('-')) == shown.size()) {
        return {}; // hyphens, or nothing at all
    }
    const bool figures =
        std::any_of(shown.cbegin(), shown.cend(), [](QChar c) { return c.isDigit(); });
    return figures && !unit.isEmpty() ? shown + QLatin1Char(' ') + unit : shown;
}

} // namespace lumodm
