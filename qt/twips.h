#pragma once

#include "controls/control_geometry.h"

#include <QRect>

namespace lumodm {

// Turns design twips into device-independent pixels through the screen's
// logical DPI (15 twips a pixel at 96 DPI).
class TwipScale
{
  public:
    TwipScale(double dpiX = 96.0, double dpiY = 96.0);

    int x(int twips) const;
    int y(int twips) const;
    QRect rect(const Geometry& geometry) const;

  private:
    double dpiX_;
    double dpiY_;
};

} // namespace lumodm
