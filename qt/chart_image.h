#pragma once

#include <QString>

class QWidget;

namespace lumodm {

// Writes what `view` shows (a chart) as an SVG drawing titled `title` when
// `format` is "svg", else as a PNG image; false when the file cannot be
// written.
bool writeChartImage(QWidget& view, const QString& path, const QString& format,
                     const QString& title);

} // namespace lumodm
