#include "qt/menu_tree.h"

#include "controls/form1.h"
#include "panel/front_panel.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace lumodm {

namespace {

using Handler = void (FrontPanel::*)();

class MenuBuilder
{
  public:
    MenuBuilder(std::vector<MenuBinding>& bindings, const MenuForward& forward)
        : bindings_(bindings), forward_(forward)
    {
    }

    QMenu* submenu(QMenuBar& bar, const MenuItem& item, const char* name)
    {
        QMenu* menu = bar.addMenu(item.caption);
        return named(menu, item, name);
    }

    QMenu* submenu(QMenu& parent, const MenuItem& item, const char* name)
    {
        QMenu* menu = parent.addMenu(item.caption);
        return named(menu, item, name);
    }

    void entry(QMenu& parent, const MenuItem& item, const char* name, Handler handler)
    {
        QAction* action =
            item.isSeparator() ? parent.addSeparator() : parent.addAction(item.caption);
        bind(action, item, name, handler);
    }

    void entry(QMenuBar& bar, const MenuItem& item, const char* name, Handler handler)
    {
        bind(bar.addAction(item.caption), item, name, handler);
    }

  private:
    QMenu* named(QMenu* menu, const MenuItem& item, const char* name)
    {
        menu->setObjectName(QLatin1String(name));
        bind(menu->menuAction(), item, name, nullptr);
        return menu;
    }

    void bind(QAction* action, const MenuItem& item, const char* name, Handler handler)
    {
        action->setObjectName(QLatin1String(name));
        // No shortcut keys: only the access keys of the captions.
        action->setShortcut(QKeySequence());
        mirrorMenuItem(item, *action);
        if (handler != nullptr) {
            MenuForward forward = forward_;
            QObject::connect(action, &QAction::triggered, action,
                             [forward, handler]() { forward(handler); });
        }
        bindings_.push_back({&item, action});
    }

    std::vector<MenuBinding>& bindings_;
    const MenuForward& forward_;
};

} // namespace

std::vector<MenuBinding> buildMenuTree(QMenuBar& bar, Form1& form, const MenuForward& forward)
{
    std::vector<MenuBinding> bindings;
    MenuBuilder build(bindings, forward);

    QMenu* file = build.submenu(bar, form.Menu_File, "Menu_File");
    build.entry(*file, form.Menu_Exit, "Menu_Exit", &FrontPanel::Menu_Exit_Click);

    QMenu* utilities = build.submenu(bar, form.Menu_Utilities, "Menu_Utilities");
    build.entry(*utilities, form.Menu_Apply, "Menu_Apply", &FrontPanel::Menu_Apply_Click);
    build.entry(*utilities, form.Menu_Refresh, "Menu_Refresh", &FrontPanel::Menu_Refresh_Click);
    build.entry(*utilities, form.Menu_U1, "Menu_U1", nullptr);

    QMenu* colors = build.submenu(*utilities, form.Menu_DisplayColor, "Menu_DisplayColor");
    build.entry(*colors, form.Menu_System, "Menu_System", &FrontPanel::Menu_System_Click);
    build.entry(*colors, form.Menu_BW, "Menu_BW", &FrontPanel::Menu_BW_Click);
    build.entry(*colors, form.Menu_RevBW, "Menu_RevBW", &FrontPanel::Menu_RevBW_Click);
    build.entry(*colors, form.Menu_Red, "Menu_Red", &FrontPanel::Menu_Red_Click);
    build.entry(*colors, form.Menu_Green, "Menu_Green", &FrontPanel::Menu_Green_Click);
    build.entry(*colors, form.Menu_Blue, "Menu_Blue", &FrontPanel::Menu_Blue_Click);

    QMenu* rates = build.submenu(*utilities, form.Menu_UpdtaeRate, "Menu_UpdtaeRate");
    build.entry(*rates, form.Menu_RR_HalfSec, "Menu_RR_HalfSec",
                &FrontPanel::Menu_RR_HalfSec_Click);
    build.entry(*rates, form.Menu_RR_OneSec, "Menu_RR_OneSec", &FrontPanel::Menu_RR_OneSec_Click);
    build.entry(*rates, form.Menu_RR_TwoSec, "Menu_RR_TwoSec", &FrontPanel::Menu_RR_TwoSec_Click);
    build.entry(*rates, form.Menu_RR_FiveSec, "Menu_RR_FiveSec",
                &FrontPanel::Menu_RR_FiveSec_Click);
    build.entry(*rates, form.Menu_RR_TenSec, "Menu_RR_TenSec", &FrontPanel::Menu_RR_TenSec_Click);

    build.entry(*utilities, form.Menu_ConfirmFunctionChange, "Menu_ConfirmFunctionChange",
                &FrontPanel::Menu_ConfirmFunctionChange_Click);
    build.entry(*utilities, form.Menu_U2, "Menu_U2", nullptr);
    build.entry(*utilities, form.Menu_Init, "Menu_Init", &FrontPanel::Menu_Init_Click);

    build.entry(bar, form.Menu_About, "Menu_About", &FrontPanel::Menu_About_Click);
    return bindings;
}

void mirrorMenuItem(const MenuItem& item, QAction& action)
{
    if (item.isSeparator() != action.isSeparator()) {
        action.setSeparator(item.isSeparator());
    }
    if (!item.isSeparator() && action.text() != item.caption) {
        action.setText(item.caption);
    }
    if (action.isEnabled() != item.enabled) {
        action.setEnabled(item.enabled);
    }
    if (action.isVisible() != item.visible) {
        action.setVisible(item.visible);
    }
    if (action.isCheckable() != item.checked) {
        action.setCheckable(item.checked);
    }
    if (action.isChecked() != item.checked) {
        action.setChecked(item.checked);
    }
}

} // namespace lumodm
