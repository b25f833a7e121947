#pragma once

#include "controls/form1.h"

namespace lumodm {

// Ends a measurement run: idle controls, StopRequested set, the seven
// hyphens, the unit prefix stripped. Does not wait for the run loop.
void Button_Stop_Click(Form1& form);

} // namespace lumodm
