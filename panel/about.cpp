#include "panel/front_panel.h"

namespace lumodm {

QString FrontPanel::aboutText()
{
    // Only what is so: the program, its version, who wrote it and when; and
    // no address that nobody reads.
    return QStringLiteral("LumoDM " LUMODM_VERSION " by the LumoDM developers, December 2026\n"
                          "Comments are welcome where you got LumoDM.");
}

void FrontPanel::Menu_About_Click()
{
    platform_.messageBox(aboutText(), QStringLiteral("About"), MessageButtons::Ok,
                         MessageIcon::None);
}

} // namespace lumodm
