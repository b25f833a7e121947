#pragma once

#include <QString>

namespace lumodm {

// The user's INI file `name` of `application` (~/.config/LumoDM/Connection.ini),
// where QSettings keeps it, found without opening it: QSettings reads
// every file it is pointed at as soon as it is made.
QString userSettingsFile(const QString& application, const QString& name);

// Whether QSettings may read and replace `file`: absent (the caller's
// defaults serve) or a regular file within the settings bound. Anything
// else is left alone, the defaults serve, and why is told once on standard
// error.
bool settingsFileUsable(const QString& file);

} // namespace lumodm
