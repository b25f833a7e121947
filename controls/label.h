#pragma once

#include "controls/color.h"
#include "controls/control_geometry.h"

#include <QString>

namespace lumodm {

// A label of the window: the properties the program reads and writes.
struct Label
{
    QString caption;
    bool visible = true;
    Color background = Color::buttonFace();
    Color foreground = Color::buttonText();
    Geometry geometry;
    FontSpec font;
    Alignment alignment = Alignment::Left;
    bool border = false;
    int tabIndex = 0;
};

} // namespace lumodm
