#pragma once

#include <QIcon>
#include <QImage>
#include <array>

namespace lumodm {

// The program's icon: "Lumo" over a right-aligned "DM" in yellow letters
// with a black shadow, on a transparent ground. Drawn for any square size;
// 32 is the window's own.
QImage drawPanelIcon(int size);

// The sizes a desktop asks for (and the install puts in the icon theme).
inline constexpr std::array<int, 7> kIconSizes{16, 24, 32, 48, 64, 128, 256};

// The window icon at those sizes, drawn when first asked for. Every window
// of the program has it from the application.
QIcon panelIcon();

} // namespace lumodm
