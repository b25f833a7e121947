#pragma once

#include "platform/platform_services.h"

namespace lumodm {

// Passes everything to the platform underneath, except that a fatal end
// of the program leaves with the status the reader has set for the stage
// it is in: a meter that could not be found or set up is told apart from
// a reading that failed.
class FatalStatusPlatform : public PlatformServices
{
  public:
    explicit FatalStatusPlatform(PlatformServices& inner) : inner_(inner) {}

    void setFatalStatus(int status) { fatalStatus_ = status; }
    int fatalStatus() const { return fatalStatus_; }

    MessageAnswer messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    void processEvents(double deadline) override;
    double now() override;
    QString readSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    [[noreturn]] void endProgram(int exitStatus) override;

  private:
    PlatformServices& inner_;
    int fatalStatus_ = 1;
};

} // namespace lumodm
