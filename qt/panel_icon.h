#pragma once

#include <QIcon>
#include <QImage>

namespace lumodm {

// The program's icon: "Lumo" over a right-aligned "DM" in yellow letters
// with a black shadow, on a transparent ground. Drawn for any square size;
// 32 is the window's own.
QImage drawPanelIcon(int size);

// The window icon with the sizes a desktop asks for.
QIcon panelIcon();

} // namespace lumodm
