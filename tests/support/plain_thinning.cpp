#include "tests/support/plain_thinning.h"

#include <algorithm>
#include <cmath>

namespace lumodm::testing {

std::vector<ThinnedColumn> thin(const ReadingHistory& history, std::size_t columns, double from,
                                double to)
{
    std::vector<ThinnedColumn> result;
    const double span = to - from;
    const double perSecond = static_cast<double>(columns) / span;
    if (columns == 0 || !(span > 0.0) || !std::isfinite(span) || !std::isfinite(perSecond)) {
        return result;
    }
    // One slot per column; `seen` tells the filled ones.
    std::vector<ThinnedColumn> slots(columns);
    std::vector<bool> seen(columns, false);
    const double lastColumn = static_cast<double>(columns - 1);
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryPoint& p = history.at(i);
        if (!(p.time >= from && p.time <= to) || std::isnan(p.value)) {
            continue;
        }
        // From 0 to `columns` here; the end of the span goes to the last column.
        const double position = (p.time - from) * perSecond;
        const std::size_t c =
            position < lastColumn ? static_cast<std::size_t>(position) : columns - 1;
        ThinnedColumn& slot = slots[c];
        if (!seen[c]) {
            seen[c] = true;
            slot = {c, p.value, p.value};
        } else {
            slot.minimum = std::min(slot.minimum, p.value);
            slot.maximum = std::max(slot.maximum, p.value);
        }
    }
    for (std::size_t c = 0; c < columns; ++c) {
        if (seen[c]) {
            result.push_back(slots[c]);
        }
    }
    return result;
}

} // namespace lumodm::testing
