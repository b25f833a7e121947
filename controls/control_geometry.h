#pragma once

#include <QString>

namespace lumodm {

// Positions and sizes in twips (1/1440 inch) from the top-left corner of
// the window's client area.
struct Geometry
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Alignment { Left, Right, Center };

// A requested font; an empty family means the toolkit's default UI font.
struct FontSpec
{
    QString family;
    float pointSize = 0.0F;
    int weight = 400;
    bool italic = false;

    bool isDefault() const { return family.isEmpty(); }
};

} // namespace lumodm
