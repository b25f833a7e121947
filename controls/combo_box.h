#pragma once

#include "controls/color.h"
#include "controls/control_geometry.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace lumodm {

// A drop-down list. A selection made by the program runs the click handler
// at once, like the user's, also when the index does not change.
class ComboBox
{
public:
    bool visible = true;
    bool enabled = true;
    bool editable = false; // a text field with a list, rather than a pick list
    Color background = Color::toolkitDefault();
    Color foreground = Color::toolkitDefault();
    Geometry geometry;
    int tabIndex = 0;

    // The handler a selection runs (the panel wires it up).
    std::function<void()> onClick;

    void clear();
    void addItem(const QString& text);
    int listCount() const { return static_cast<int>(items_.size()); }
    QString item(int index) const;
    const QStringList& items() const { return items_; }

    // -1 when nothing is selected.
    int listIndex() const { return listIndex_; }
    // Selects `index` (-1 clears the selection) and runs onClick. An index
    // outside the list is ignored: nothing changes and no handler runs.
    void setListIndex(int index);
    // The user's pick: the same as the program's.
    void userSelect(int index) { setListIndex(index); }

    // The selected entry's text; empty when nothing is selected.
    QString text() const;

private:
    QStringList items_;
    int listIndex_ = -1;
};

} // namespace lumodm
