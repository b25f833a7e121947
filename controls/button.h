#pragma once

#include "controls/control_geometry.h"

#include <QString>

namespace lumodm {

// A push button; the caption's "&" marks the access key.
struct Button
{
    QString caption;
    bool enabled = true;
    bool visible = true;
    Geometry geometry;
    int tabIndex = 0;
};

} // namespace lumodm
