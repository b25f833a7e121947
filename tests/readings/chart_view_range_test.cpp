#include "readings/chart_view_range.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace lumodm {
namespace {

// A run from 1000 s to 2000 s drawn whole, values 0 to 10 on the axis;
// each case acts on it and expects the time span, following or not, and
// the values held (none: fitted).
TEST(ChartViewRange, ZoomsPansAndFollowsOnTheRun)
{
    using V = ChartViewRange;
    const struct
    {
        const char* name;
        std::function<void(V&)> act;
        double from, to;
        bool following;
        double low = NAN, high = NAN;
    } cases[] = {
        {"whole", [](V&) {}, 1000, 2000, true},
        {"wheel in", [](V& v) { v.zoomTime(0.5, 0.5); }, 1250, 1750, false},
        {"wheel at left", [](V& v) { v.zoomTime(0.5, 0); }, 1000, 1500, false},
        {"wheel out", [](V& v) { v.zoomTime(4, 0.5); }, 1000, 2000, false},
        {"narrowest", [](V& v) { v.zoomTime(1e-9, 0.3); }, 1299.997, 1300.007, false},
        {"no factor", [](V& v) { v.zoomTime(NAN, 0.3); }, 1000, 2000, true},
        {"pan", [](V& v) { v.setShown(1200, 1400, 0, 10), v.pan(0.5, 0.1); }, 1100, 1300, false, -1,
         9},
        {"pan past the end", [](V& v) { v.setShown(1800, 2000, 0, 10), v.pan(-0.5, 0); }, 1800,
         2000, false},
        {"box", [](V& v) { v.zoomToBox(0.75, 0.25, 0.2, 0.6); }, 1250, 1750, false, 2, 6},
        {"values", [](V& v) { v.zoomValues(0.5, 0); }, 1000, 2000, false, 0, 5},
        {"stop", [](V& v) { v.stopFollowing(); }, 1000, 2000, false},
        {"follow keeps the width",
         [](V& v) { v.zoomToBox(0.25, 0.75, 0, 0.5), v.setData(1000, 3000), v.follow(); }, 2500,
         3000, true},
        {"zoomed out, follow is the whole run",
         [](V& v) { v.zoomTime(2, 0.5), v.follow(), v.setData(1000, 3000); }, 1000, 3000, true},
        {"reset", [](V& v) { v.zoomTime(0.5, 0.5), v.reset(), v.setData(5, 5.5); }, 5, 6, true},
    };
    for (const auto& c : cases) {
        ChartViewRange v;
        v.setData(1000, 2000);
        v.setShown(1000, 2000, 0, 10);
        c.act(v);
        EXPECT_NEAR(v.time().first, c.from, 1e-6) << c.name;
        EXPECT_NEAR(v.time().second, c.to, 1e-6) << c.name;
        EXPECT_EQ(v.following(), c.following) << c.name;
        const auto values = v.values().value_or(std::pair(NAN, NAN));
        EXPECT_TRUE(std::isnan(c.low) ? std::isnan(values.first)
                                      : values == std::pair(c.low, c.high))
            << c.name << " " << values.first << " " << values.second;
    }
}

} // namespace
} // namespace lumodm
