#pragma once

#include "controls/button.h"
#include "controls/combo_box.h"
#include "controls/label.h"
#include "controls/line.h"
#include "qt/twips.h"

#include <QFont>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace lumodm {

// Each function makes a widget show its model, touching only what differs,
// so mirroring an unchanged model is cheap and repaints nothing. None of
// them emits a widget signal the window listens to.

// Text, colours, position, visibility, alignment, border. The font is the
// window's business (it may be fitted to the label), passed in ready.
void mirrorLabel(const Label& model, QLabel& label, const TwipScale& scale, const QFont& font);

void mirrorButton(const Button& model, QPushButton& button, const TwipScale& scale);

// Items, selected index, colours, position, visibility, enabled. The text
// a user typed into an editable box stays until the selection changes. The
// font, the window's business, is passed in ready; the open list shows its
// entries in it too.
void mirrorComboBox(const ComboBox& model, QComboBox& combo, const TwipScale& scale,
                    const QFont& font);

// A one-pixel line, horizontal or vertical, as a filled strip.
void mirrorLine(const Line& model, QWidget& strip, const TwipScale& scale);

// Position, size and visibility common to all controls.
void mirrorPlacement(QWidget& widget, const QRect& rect, bool visible);

} // namespace lumodm
