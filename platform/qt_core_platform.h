#pragma once

#include "platform/platform_services.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace lumodm {

// The platform services QtCore can give: the event dispatcher, a monotonic
// clock, QSettings in INI format and the immediate end of the process. The
// message box is left to the subclass that owns a user interface (the Qt
// window, the console reader).
class QtCorePlatform : public PlatformServices
{
  public:
    // With no file the settings live in the user's INI file of the
    // organisation and application named by the caller ("LumoDM"); tests
    // give a file in a temporary folder instead.
    explicit QtCorePlatform(const QString& settingsFile = QString());

    void setSettingsFile(const QString& settingsFile) { settingsFile_ = settingsFile; }
    const QString& settingsFile() const { return settingsFile_; }

    // Runs first when the program ends at once; the program closes the bus
    // driver here.
    void setShutdownHook(std::function<void()> hook) { shutdownHook_ = std::move(hook); }

    void processEvents(double deadline) override;
    double now() override;
    QString readSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    [[noreturn]] void endProgram(int exitStatus) override;

  private:
    QElapsedTimer clock_;
    QString settingsFile_;
    std::function<void()> shutdownHook_;
};

} // namespace lumodm
