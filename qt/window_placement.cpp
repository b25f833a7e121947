#include "qt/window_placement.h"

#include <algorithm>
#include <array>

namespace lumodm {

namespace {

// Room between the panel and the window, so their frames do not touch.
constexpr int kGap = 8;

qint64 area(const QRect& rect)
{
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

// The screen that holds most of `rect`; none when it touches no screen.
std::optional<QRect> screenOf(const QRect& rect, const QList<QRect>& screens)
{
    std::optional<QRect> best;
    qint64 most = 0;
    for (const QRect& screen : screens) {
        const qint64 shared = area(screen.intersected(rect));
        if (shared > most) {
            most = shared;
            best = screen;
        }
    }
    return best;
}

// `rect` shrunk to `area` and moved inside it.
QRect pulledInto(QRect rect, const QRect& area)
{
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
    return rect;
}

} // namespace

QRect placeBesidePanel(const QRect& panel, const QSize& size, const QList<QRect>& screens,
                       const std::optional<QRect>& stored)
{
    if (stored) {
        if (const std::optional<QRect> screen = screenOf(*stored, screens)) {
            const QRect kept = pulledInto(*stored, *screen);
            if (!kept.intersects(panel)) {
                return kept;
            }
        }
    }
    const QSize wanted = stored ? stored->size() : size;
    if (screens.isEmpty()) {
        return QRect(panel.topRight() + QPoint(kGap + 1, 0), wanted);
    }
    const QRect screen = screenOf(panel, screens).value_or(screens.front());
    const QSize fitted = wanted.boundedTo(screen.size());
    const int w = fitted.width();
    const int h = fitted.height();
    // Right, left, below, above; each pulled inside the screen.
    const std::array<QRect, 4> sides = {
        QRect(panel.right() + 1 + kGap, panel.top(), w, h),
        QRect(panel.left() - kGap - w, panel.top(), w, h),
        QRect(panel.left(), panel.bottom() + 1 + kGap, w, h),
        QRect(panel.left(), panel.top() - kGap - h, w, h),
    };
    QRect best;
    qint64 leastCovered = -1;
    for (const QRect& side : sides) {
        const QRect place = pulledInto(side, screen);
        const qint64 covered = area(place.intersected(panel));
        if (leastCovered < 0 || covered < leastCovered) {
            leastCovered = covered;
            best = place;
        }
    }
    return best;
}

} // namespace lumodm
