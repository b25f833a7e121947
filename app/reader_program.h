#pragma once

namespace lumodm {

// lumodm-read from its command line to its exit status: 0 every reading
// taken, 1 no meter (or no bus), 2 a bad command line, 3 a reading failed
// or the log could not be opened or written.
int runHeadlessReaderProgram(int argc, char** argv);

} // namespace lumodm
