#pragma once

#include <QString>

namespace lumodm {

// The parts of the program that only some runs need (the readings window,
// the adapters' ports) are modules: shared libraries of its own, opened the
// first time they are needed, so a run without them never loads them nor
// the libraries they link. A module exports one function that takes nothing
// and returns a pointer to its table of functions.
//
// The table of the module in `fileName` (from its function `entry`),
// opened once and kept for the program's life; nullptr when it cannot be
// opened, with the reason in *error. Modules sit in the installation's
// library folder (<prefix>/lib/lumodm beside <prefix>/bin), found from the
// program's own place; the build folder holds them in the same place
// relative to the programs, and a program elsewhere (a test) finds them on
// its library path.
const void* programModuleTable(const char* fileName, const char* entry, QString* error);

} // namespace lumodm
