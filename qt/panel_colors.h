#pragma once

#include "controls/color.h"

#include <QColor>
#include <QPalette>

class QWidget;

namespace lumodm {

// The colour a model colour stands for. The two button colours come from
// the application palette, so they follow the desktop theme; the toolkit
// default gives `toolkitDefault`.
QColor resolveColor(const Color& color, const QPalette& application, const QColor& toolkitDefault);

// Sets one role of a widget's palette only when it differs, so mirroring
// the same colours again costs no repaint.
void setPaletteColor(QWidget& widget, QPalette::ColorRole role, const QColor& color);

} // namespace lumodm
