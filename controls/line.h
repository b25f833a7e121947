#pragma once

#include "controls/color.h"

namespace lumodm {

// A one-pixel line between two points, in twips.
struct Line
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Color color = Color::buttonText();
};

} // namespace lumodm
