#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <optional>

namespace lumodm {

// Where a window beside the panel goes, in frame geometry: to the right of
// `panel`, else to its left, else below, else above, inside the available
// area of the panel's screen (`screens` are the screens' available
// geometries). A window too big for that area is shrunk to it; where no
// side leaves room, the place covering the least of the panel is taken.
// A `stored` place is kept, pulled wholly onto the screen it lies most on,
// unless it lies on no screen or would then cover the panel: the window
// then goes beside the panel at the stored size.
QRect placeBesidePanel(const QRect& panel, const QSize& size, const QList<QRect>& screens,
                       const std::optional<QRect>& stored = std::nullopt);

} // namespace lumodm
