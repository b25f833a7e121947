#pragma once

#include "platform/platform_services.h"

#include <cstdlib>

namespace lumodm {

// Passes every service on to another platform; a platform that changes
// some of them (how the end of the program ends, where boxes and waits
// go) overrides those alone.
class ForwardingPlatform : public PlatformServices
{
  public:
    explicit ForwardingPlatform(PlatformServices& inner) : inner_(inner) {}

    MessageAnswer messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override
    {
        return inner_.messageBox(text, title, buttons, icon);
    }
    void processEvents(double deadline) override { inner_.processEvents(deadline); }
    double now() override { return inner_.now(); }
    QString readSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override
    {
        return inner_.readSetting(application, section, key, defaultValue);
    }
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override
    {
        inner_.writeSetting(application, section, key, value);
    }
    [[noreturn]] void endProgram(int exitStatus) override
    {
        inner_.endProgram(exitStatus);
        std::abort(); // not reached: the compiler cannot see through the call
    }

  protected:
    PlatformServices& inner() { return inner_; }

  private:
    PlatformServices& inner_;
};

} // namespace lumodm
