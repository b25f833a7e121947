#pragma once

#include <QIcon>
#include <functional>

namespace lumodm {

// An icon made the first time it is drawn or measured: where nothing ever
// asks for it (a window icon offscreen, a button that stays hidden) it
// costs nothing. `make` runs at most once for the icon and all its copies.
QIcon deferredIcon(std::function<QIcon()> make);

} // namespace lumodm
