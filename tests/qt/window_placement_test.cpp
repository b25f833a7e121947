#include "qt/window_placement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace lumodm::testing {
namespace {

// The place beside a panel on 1280x800 and 1024x768 screens (a 28-pixel
// bar at the top), and what becomes of a stored place.
TEST(WindowPlacement, BesideThePanelOnItsScreenAndNeverOverIt)
{
    const QRect wide(0, 28, 1280, 772);
    const QRect small(0, 28, 1024, 740);
    const QRect second(1280, 0, 1920, 1080);
    const std::optional<QRect> none;
    const std::tuple<QRect, QSize, QList<QRect>, std::optional<QRect>, QRect> cases[] = {
        // Right of the panel, kept below the bar.
        {{10, 20, 400, 300}, {760, 560}, {wide}, none, {418, 28, 760, 560}},
        // No room on the right: left.
        {{870, 40, 400, 300}, {760, 560}, {wide}, none, {102, 40, 760, 560}},
        // No room on either side: below.
        {{200, 28, 624, 200}, {760, 500}, {small}, none, {200, 236, 760, 500}},
        // No room beside nor below: above.
        {{200, 568, 624, 200}, {760, 500}, {small}, none, {200, 60, 760, 500}},
        // Larger than the screen: shrunk to it, covering what it must.
        {{0, 28, 400, 300}, {1458, 900}, {wide}, none, {0, 28, 1280, 772}},
        // On the panel's screen, not the first.
        {{1300, 0, 400, 300}, {760, 560}, {wide, second}, none, {1708, 0, 760, 560}},
        // A stored place is kept, pulled onto its screen.
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(500, 300, 600, 400), {500, 300, 600, 400}},
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(900, 600, 600, 400), {680, 400, 600, 400}},
        // Off every screen, or over the panel: beside it, at its size.
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(5000, 90, 600, 400), {418, 28, 600, 400}},
        {{10, 20, 400, 300}, {760, 560}, {wide}, QRect(10, 20, 600, 400), {418, 28, 600, 400}},
    };
    for (const auto& [panel, size, screens, stored, place] : cases) {
        EXPECT_EQ(placeBesidePanel(panel, size, screens, stored), place) << panel.x();
    }
}

} // namespace
} // namespace lumodm::testing
