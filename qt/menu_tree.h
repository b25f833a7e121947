#pragma once

#include "controls/menu_item.h"

#include <functional>
#include <vector>

class QAction;
class QMenuBar;

namespace lumodm {

class Form1;
class FrontPanel;

// One menu entry of the window: the model item and the action showing it.
struct MenuBinding
{
    const MenuItem* item;
    QAction* action;
};

// Runs a handler of the panel for a user's choice (the window forwards it).
using MenuForward = std::function<void(void (FrontPanel::*handler)())>;

// Builds the menu bar of `form` into `bar`: File, Utilities with its two
// submenus, and About on the bar itself. Each action is named after its
// model item; choosing one calls `forward` with the item's handler.
std::vector<MenuBinding> buildMenuTree(QMenuBar& bar, Form1& form, const MenuForward& forward);

// Caption, enabled, visible and check mark of one entry. Only a checked
// item is checkable, so an unchecked one shows no empty box.
void mirrorMenuItem(const MenuItem& item, QAction& action);

} // namespace lumodm
