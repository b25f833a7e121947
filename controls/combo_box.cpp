#include "controls/combo_box.h"

namespace lumodm {

void ComboBox::clear()
{
    items_.clear();
    listIndex_ = -1;
}

void ComboBox::addItem(const QString& text)
{
    items_.append(text);
}

QString ComboBox::item(int index) const
{
    if (index < 0 || index >= items_.size()) {
        return {};
    }
    return items_.at(index);
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= items_.size()) {
        return;
    }
    listIndex_ = index;
    if (onClick) {
        // Copy: the handler may rewire the list while it runs.
        auto handler = onClick;
        handler();
    }
}

QString ComboBox::text() const
{
    return item(listIndex_);
}

} // namespace lumodm
