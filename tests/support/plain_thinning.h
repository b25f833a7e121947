#pragma once

#include "stats/reading_history.h"

#include <cstddef>
#include <vector>

namespace lumodm::testing {

// The smallest and largest value among the points that fall into one
// column of a drawing.
struct ThinnedColumn
{
    std::size_t column = 0;
    double minimum = 0.0;
    double maximum = 0.0;

    bool operator==(const ThinnedColumn& o) const
    {
        return column == o.column && minimum == o.minimum && maximum == o.maximum;
    }
};

// The plain reference for the chart's incremental thinning: the points
// from `from` to `to` (both included) cut into `columns` equal slices of
// time, each non-empty slice given as its smallest and largest value, in
// column order. Points out of the span, or with a time or value that is
// not a number, are left out.
std::vector<ThinnedColumn> thin(const ReadingHistory& history, std::size_t columns, double from,
                                double to);

} // namespace lumodm::testing
