#pragma once

#include "app/command_line.h"

namespace lumodm {

class ConsolePlatform;
class GpibDriver;
class ReadingLog;

// lumodm-read's several meters (--address=N,M... or --all) on one shared
// bus: they are identified together, then each is read on a thread of its
// own at its own pace, its lines start with its address, and --stats sums
// each up on a line of its own. Returns when every meter is done, with the
// worst status any of them ended with.
int readSeveralMeters(const CommandLine& line, const MeterSelection& meters, GpibDriver& driver,
                      ConsolePlatform& console, ReadingLog* log);

} // namespace lumodm
