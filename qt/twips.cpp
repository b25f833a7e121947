#include "qt/twips.h"

#include <cmath>
#include <limits>

namespace lumodm {

namespace {

constexpr double kTwipsPerInch = 1440.0;

int toPixels(int twips, double dpi)
{
    const double pixels = std::round(twips * dpi / kTwipsPerInch);
    // A design value never comes near the int range, but a silly DPI must not
    // turn into undefined behaviour.
    if (!(pixels > std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    if (!(pixels < std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(pixels);
}

double sane(double dpi)
{
    return (dpi > 0.0 && std::isfinite(dpi)) ? dpi : 96.0;
}

} // namespace

TwipScale::TwipScale(double dpiX, double dpiY) : dpiX_(sane(dpiX)), dpiY_(sane(dpiY)) {}

int TwipScale::x(int twips) const
{
    return toPixels(twips, dpiX_);
}

int TwipScale::y(int twips) const
{
    return toPixels(twips, dpiY_);
}

QRect TwipScale::rect(const Geometry& geometry) const
{
    return QRect(x(geometry.left), y(geometry.top), x(geometry.width), y(geometry.height));
}

} // namespace lumodm
