#include "panel/front_panel.h"

namespace lumodm {

QString FrontPanel::aboutText()
{
    return QStringLiteral("Written by the LumoDM developers, Germany, December 2026\n"
                          "Comments are welcome: lumodm@example.org");
}

void FrontPanel::Menu_About_Click()
{
    platform_.messageBox(aboutText(), QStringLiteral("About"), MessageButtons::Ok,
                         MessageIcon::None);
}

} // namespace lumodm
