#include "session/session_platform.h"

namespace lumodm {

SessionPlatform::SessionPlatform(SessionThread& thread, PlatformServices& store, Ask ask)
    : ForwardingPlatform(store), thread_(thread), ask_(std::move(ask))
{
}

void SessionPlatform::beforeEvents()
{
    if (beforeEvents_) {
        beforeEvents_();
    }
}

MessageAnswer SessionPlatform::messageBox(const QString& text, const QString& title,
                                          MessageButtons buttons, MessageIcon icon)
{
    // The window shows the model as it stands when the box appears.
    beforeEvents();
    return ask_(text, title, buttons, icon);
}

void SessionPlatform::processEvents(double deadline)
{
    beforeEvents();
    thread_.serve(deadline);
}

void SessionPlatform::endProgram(int exitStatus)
{
    throw SessionEnded(exitStatus);
}

} // namespace lumodm
