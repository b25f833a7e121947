#pragma once

#include "platform/platform_services.h"

namespace lumodm {

// No one to ask: every box is answered with its first button, and counted.
template <class Platform> class Unattended : public Platform
{
  public:
    using Platform::Platform;
    int boxes = 0;
    MessageAnswer messageBox(const QString&, const QString&, MessageButtons buttons,
                             MessageIcon) override
    {
        ++boxes;
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
};

} // namespace lumodm
