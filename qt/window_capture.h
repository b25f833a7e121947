#pragma once

#include <QString>

class QWidget;

namespace lumodm {

// Saves what `widget` shows (menu bar included for a main window) as an
// image file; the format follows the file's suffix. False when it cannot
// be written.
bool saveWidgetImage(QWidget& widget, const QString& file);

// Writes the icon at the desktop's sizes into `folder` as
// lumodm-<size>.png, the files the install puts in the icon theme.
bool writeIconFiles(const QString& folder);

} // namespace lumodm
