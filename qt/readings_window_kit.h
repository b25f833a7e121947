#pragma once

#include "readings/stored_log.h"
#include <QList>
#include <QPair>

#include <QString>
#include <cstdint>
#include <functional>

class QObject;
class QWidget;

namespace lumodm {

class PanelLink;
class PlatformServices;
class ReadingsWindow;
struct Reading;

// What the panel does with a readings window, as functions. The window
// draws with Qt Charts and lives in a module of its own, opened the first
// time it opens, so a panel that never shows it never loads Qt Charts. The
// module takes the panel's code from the program (which exports it), so
// both share one state, the fonts included.
struct ReadingsWindowKit
{
    // A new window, owned by the caller (deleted as a QWidget).
    ReadingsWindow* (*make)(PanelLink& panel, PlatformServices& platform);
    QWidget* (*widget)(ReadingsWindow& window);
    // The meter's model name, and what follows it in the title.
    void (*setMeterName)(ReadingsWindow& window, const QString& modelName, const QString& where);
    // Calls `toggle` while `context` lives when the window asks to be
    // shown or hidden (its Ctrl+T).
    void (*onToggleRequested)(ReadingsWindow& window, QObject* context,
                              std::function<void()> toggle);
    // The other meters served, by address and name, and their readings:
    // the window may show its meter's readings minus one of theirs.
    void (*setOtherMeters)(ReadingsWindow& window, const QList<QPair<int, QString>>& meters);
    void (*otherReading)(ReadingsWindow& window, const Reading& reading);
    // A stored log in a readings window of its own (see stored_log_window.h).
    QWidget* (*openStoredLog)(PlatformServices& platform, const QString& path, QString* error,
                              std::function<void(const StoredLogCount&)> loaded);
};

// The module's file, and the one name it exports: a function taking
// nothing and returning its ReadingsWindowKit (as const void*).
inline constexpr char kReadingsWindowModule[] = "lumodm-readings-window.so";
inline constexpr char kReadingsWindowEntry[] = "lumodm_readings_window_kit";

// Where a kit comes from; nullptr, with the reason in *error, when there
// is none.
using ReadingsWindowKitSource = const ReadingsWindowKit* (*)(QString* error);

// The module's kit, opened once and kept for the program's life.
const ReadingsWindowKit* readingsWindowKit(QString* error);

// The kit of the window linked into the program itself (the module's own;
// the tests link the window).
const ReadingsWindowKit* linkedReadingsWindowKit(QString* error);

} // namespace lumodm
