#include "reader/fatal_status_platform.h"

#include <cstdlib>

namespace lumodm {

MessageAnswer FatalStatusPlatform::messageBox(const QString& text, const QString& title,
                                              MessageButtons buttons, MessageIcon icon)
{
    return inner_.messageBox(text, title, buttons, icon);
}

void FatalStatusPlatform::processEvents(double deadline)
{
    inner_.processEvents(deadline);
}

double FatalStatusPlatform::now()
{
    return inner_.now();
}

QString FatalStatusPlatform::readSetting(const QString& application, const QString& section,
                                         const QString& key, const QString& defaultValue)
{
    return inner_.readSetting(application, section, key, defaultValue);
}

void FatalStatusPlatform::writeSetting(const QString& application, const QString& section,
                                       const QString& key, const QString& value)
{
    inner_.writeSetting(application, section, key, value);
}

void FatalStatusPlatform::endProgram(int)
{
    // The reader itself never ends through here: every end that arrives is
    // a fatal one, whatever status the panel's code chose for it.
    inner_.endProgram(fatalStatus_);
    std::abort(); // not reached: endProgram does not return
}

} // namespace lumodm
