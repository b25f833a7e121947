#include "session/session_platform.h"

namespace lumodm {

SessionPlatform::SessionPlatform(SessionThread& thread, PlatformServices& store, Ask ask)
    : thread_(thread), store_(store), ask_(std::move(ask))
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

QString SessionPlatform::readSetting(const QString& application, const QString& section,
                                     const QString& key, const QString& defaultValue)
{
    return store_.readSetting(application, section, key, defaultValue);
}

void SessionPlatform::writeSetting(const QString& application, const QString& section,
                                   const QString& key, const QString& value)
{
    store_.writeSetting(application, section, key, value);
}

void SessionPlatform::endProgram(int exitStatus)
{
    throw SessionEnded(exitStatus);
}

} // namespace lumodm
