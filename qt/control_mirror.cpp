#include "qt/control_mirror.h"

#include "qt/panel_colors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace lumodm {

namespace {

Qt::Alignment toQt(Alignment alignment)
{
    // Labels draw their text from the top, as the layout expects.
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Center:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

bool sameItems(const ComboBox& model, const QComboBox& combo)
{
    if (combo.count() != model.listCount()) {
        return false;
    }
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemText(i) != model.item(i)) {
            return false;
        }
    }
    return true;
}

void mirrorComboColors(const ComboBox& model, QComboBox& combo)
{
    const QPalette application = QApplication::palette(&combo);
    const QColor background =
        resolveColor(model.background, application, application.color(QPalette::Base));
    const QColor text =
        resolveColor(model.foreground, application, application.color(QPalette::Text));
    // The field, its button face and the list all carry the colours.
    setPaletteColor(combo, QPalette::Base, background);
    setPaletteColor(combo, QPalette::Button, background);
    setPaletteColor(combo, QPalette::Window, background);
    setPaletteColor(combo, QPalette::Text, text);
    setPaletteColor(combo, QPalette::ButtonText, text);
    setPaletteColor(combo, QPalette::WindowText, text);
}

} // namespace

void mirrorPlacement(QWidget& widget, const QRect& rect, bool visible)
{
    if (widget.geometry() != rect) {
        widget.setGeometry(rect);
    }
    // The model's "visible" is the property, not what is on screen: a child
    // of a hidden window is not visible but not hidden either.
    if (widget.isHidden() == visible) {
        widget.setVisible(visible);
    }
}

void mirrorLabel(const Label& model, QLabel& label, const TwipScale& scale, const QFont& font)
{
    const QPalette application = QApplication::palette(&label);
    setPaletteColor(
        label, QPalette::Window,
        resolveColor(model.background, application, application.color(QPalette::Window)));
    setPaletteColor(
        label, QPalette::WindowText,
        resolveColor(model.foreground, application, application.color(QPalette::WindowText)));
    if (!label.autoFillBackground()) {
        label.setAutoFillBackground(true);
    }
    const int frame = model.border ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame;
    if (label.frameStyle() != frame) {
        label.setFrameStyle(frame);
        label.setLineWidth(1);
    }
    const Qt::Alignment alignment = toQt(model.alignment);
    if (label.alignment() != alignment) {
        label.setAlignment(alignment);
    }
    if (label.font() != font) {
        label.setFont(font);
    }
    if (label.text() != model.caption) {
        label.setText(model.caption);
    }
    mirrorPlacement(label, scale.rect(model.geometry), model.visible);
}

void mirrorButton(const Button& model, QPushButton& button, const TwipScale& scale)
{
    if (button.text() != model.caption) {
        button.setText(model.caption);
    }
    if (button.isEnabled() != model.enabled) {
        button.setEnabled(model.enabled);
    }
    mirrorPlacement(button, scale.rect(model.geometry), model.visible);
}

void mirrorComboBox(const ComboBox& model, QComboBox& combo, const TwipScale& scale,
                    const QFont& font)
{
    const QSignalBlocker quiet(&combo);
    // The open list is a window of its own and does not inherit the font.
    if (combo.font() != font || combo.view()->font() != font) {
        combo.setFont(font);
        combo.view()->setFont(font);
    }
    if (combo.isEditable() != model.editable) {
        combo.setEditable(model.editable);
        // A typed text never becomes a list entry: the list is the program's.
        combo.setInsertPolicy(QComboBox::NoInsert);
    }
    if (!sameItems(model, combo)) {
        combo.clear();
        combo.addItems(model.items());
    }
    if (combo.currentIndex() != model.listIndex()) {
        combo.setCurrentIndex(model.listIndex());
    }
    mirrorComboColors(model, combo);
    if (combo.isEnabled() != model.enabled) {
        combo.setEnabled(model.enabled);
    }
    mirrorPlacement(combo, scale.rect(model.geometry), model.visible);
}

void mirrorLine(const Line& model, QWidget& strip, const TwipScale& scale)
{
    const int x1 = scale.x(std::min(model.x1, model.x2));
    const int y1 = scale.y(std::min(model.y1, model.y2));
    const int x2 = scale.x(std::max(model.x1, model.x2));
    const int y2 = scale.y(std::max(model.y1, model.y2));
    // One pixel across, the line's length along.
    const QRect rect(x1, y1, std::max(1, x2 - x1), std::max(1, y2 - y1));
    const QPalette application = QApplication::palette(&strip);
    setPaletteColor(
        strip, QPalette::Window,
        resolveColor(model.color, application, application.color(QPalette::WindowText)));
    if (!strip.autoFillBackground()) {
        strip.setAutoFillBackground(true);
    }
    mirrorPlacement(strip, rect, true);
}

} // namespace lumodm
