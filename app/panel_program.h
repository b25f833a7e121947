#pragma once

namespace lumodm {

// lumodm from its command line to its end: the bus the options name, the
// panel's start-up, the window, and the event loop. The panel ends the
// program itself (closing the window, or a fatal failure); the status is
// returned only for --help, --version and a bad command line.
int runPanelProgram(int argc, char** argv);

} // namespace lumodm
