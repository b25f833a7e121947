#pragma once

#include "stats/reading_statistics.h"

#include <QString>

namespace lumodm {

// The shortest text that reads back to the same double ("1499.964",
// "1e-05", "-0.25"), as std::to_chars writes it.
QString exactNumberText(double value);

// "statistics: n=N mean=M std=S min=A max=B pp=P unit=U adev1=D" (D the
// Allan deviation at one interval), numbers in the
// base unit as exactNumberText writes them; "-" for a number not known yet
// (all of them at n=0, the deviation at n=1) and for a unit not known yet.
QString statisticsLine(const ReadingStatistics& statistics);

} // namespace lumodm
