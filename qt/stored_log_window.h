#pragma once

#include "qt/readings_window_kit.h"

#include <functional>

class QWidget;

namespace lumodm {

class PlatformServices;

// Opens the reading log at `path` in a readings window of its own, titled
// by the file and shown at once, and fills it as the log is read: a batch
// of rows at a time, a few each turn of the event loop, so the window
// stays responsive however long the log is. A line under the buttons says
// how far the reading has come, then what the log held and how many rows
// were skipped. `loaded`, if set, is called once all of it is in the
// window and drawn. nullptr, with the reason in *error, when the log
// cannot be opened. The window deletes itself when closed.
QWidget* openStoredLog(PlatformServices& platform, const QString& path, QString* error,
                       std::function<void(const StoredLogCount&)> loaded);

} // namespace lumodm
