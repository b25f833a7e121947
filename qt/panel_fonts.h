#pragma once

#include "controls/control_geometry.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>

class QPaintDevice;

namespace lumodm {

// Registers the seven-segment face shipped inside the program and makes it
// the stand-in for "Segment7" when no such font is installed; makes a
// metric-compatible face stand in for Arial where Arial is missing. Safe to
// call more than once.
void installPanelFonts();

// The family of the shipped seven-segment face; empty if it failed to load.
QString bundledSevenSegmentFamily();

// Whether `font` is drawn with the shipped seven-segment face.
bool drawnWithBundledFace(const QFont& font);

// Whether the font asks for the seven-segment readout face.
bool isSevenSegment(const FontSpec& spec);

// The Qt font for a requested font; the default spec gives `defaultFont`.
QFont toQFont(const FontSpec& spec, const QFont& defaultFont);

// Shrinks `font` (never grows it) until `text` fits `box` on `device`. The
// stand-in seven-segment face has wider cells and a taller ascent than the
// face the layout was drawn for; this keeps the readout's design text whole.
QFont fitToBox(const QFont& font, const QSize& box, const QString& text,
               const QPaintDevice* device);

// Shrinks `font` (never grows it) until the widest of `texts` fits `box`:
// a list's entries, whole in its field at the design size.
QFont fitWidestToBox(const QFont& font, const QSize& box, const QStringList& texts,
                     const QPaintDevice* device);

} // namespace lumodm
