#include "qt/panel_colors.h"

#include <QWidget>

namespace lumodm {

QColor resolveColor(const Color& color, const QPalette& application, const QColor& toolkitDefault)
{
    switch (color.role) {
    case Color::Role::Rgb:
        return QColor::fromRgb(static_cast<QRgb>(color.rgb & 0xFFFFFFU) | 0xFF000000U);
    case Color::Role::ButtonFace:
        return application.color(QPalette::Active, QPalette::Button);
    case Color::Role::ButtonText:
        return application.color(QPalette::Active, QPalette::ButtonText);
    case Color::Role::ToolkitDefault:
        break;
    }
    return toolkitDefault;
}

void setPaletteColor(QWidget& widget, QPalette::ColorRole role, const QColor& color)
{
    if (widget.palette().color(role) == color) {
        return;
    }
    QPalette palette = widget.palette();
    palette.setColor(role, color);
    widget.setPalette(palette);
}

} // namespace lumodm
