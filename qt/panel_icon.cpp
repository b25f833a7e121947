#include "qt/panel_icon.h"

#include "qt/deferred_icon.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace lumodm {

namespace {

const QColor kLetters(0xFF, 0xFF, 0x00);
const QColor kShadow(0x00, 0x00, 0x00);

// The largest bold sans font whose "Lumo" fits the width (less the shadow)
// and whose two lines fit the height.
QFont letterFont(int size, double shadow)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    const double room = size - shadow;
    double pixels = room / 2.0;
    for (int step = 0; step < 200 && pixels > 1.0; ++step) {
        font.setPixelSize(std::max(1, static_cast<int>(pixels)));
        const QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(QStringLiteral("Lumo")) <= room &&
            2.0 * metrics.ascent() <= room + 1.0) {
            break;
        }
        pixels -= std::max(1.0, pixels / 20.0);
    }
    return font;
}

} // namespace

QImage drawPanelIcon(int size)
{
    size = std::clamp(size, 8, 1024);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    const double shadow = std::max(1.0, size / 32.0);
    const QFont font = letterFont(size, shadow);
    const QFontMetricsF metrics(font);
    const double room = size - shadow;
    // "Lumo" on the top line at the left, "DM" on the bottom line at the right.
    const QPointF lumo(0.0, metrics.ascent() - 1.0);
    const QPointF dm(room - metrics.horizontalAdvance(QStringLiteral("DM")), room - 1.0);

    QPainter painter(&image);
    QFont letters = font;
    if (size <= 32) {
        // Crisp pixels at the small sizes: smoothing would blur the shadow.
        letters.setStyleStrategy(QFont::NoAntialias);
    }
    painter.setFont(letters);
    auto draw = [&](const QColor& color, QPointF offset) {
        painter.setPen(color);
        painter.drawText(lumo + offset, QStringLiteral("Lumo"));
        painter.drawText(dm + offset, QStringLiteral("DM"));
    };
    draw(kShadow, QPointF(shadow, shadow));
    draw(kLetters, QPointF(0.0, 0.0));
    painter.end();
    return image;
}

QIcon panelIcon()
{
    // Drawn when the window system first asks: offscreen (and so in every
    // --quit-when-up and --screenshot run) the letters' fonts never load.
    return deferredIcon([] {
        QIcon icon;
        for (int size : kIconSizes) {
            icon.addPixmap(QPixmap::fromImage(drawPanelIcon(size)));
        }
        return icon;
    });
}

} // namespace lumodm
