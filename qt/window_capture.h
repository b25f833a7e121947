#pragma once

#include <QString>

class QWidget;

namespace lumodm {

// Saves what `widget` shows (menu bar included for a main window) as an
// image file; the format follows the file's suffix. False when it cannot
// be written.
bool saveWidgetImage(QWidget& widget, const QString& file);

// Shows the tab named `name` (its text without the access key's "&",
// any case) of the first tab widget in `root` that has one; false when
// none has.
bool showTabNamed(QWidget& root, const QString& name);

// Copies the user's settings file into `folder` and gives the copy's path:
// a capture shows the stored choices and changes none of them. Anything but
// a small regular file is left alone (the copy is then missing: the
// defaults).
QString copySettingsFile(const QString& userFile, const QString& folder);

// Writes the icon at the desktop's sizes into `folder` as
// lumodm-<size>.png, the files the install puts in the icon theme.
bool writeIconFiles(const QString& folder);

} // namespace lumodm
