#pragma once

#include "platform/qt_core_platform.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace lumodm {

// The platform of the headless reader: QtCore's events, clock and end, but
// message boxes become lines on standard error ("Title: text") answered as
// OK or Yes, and the stored settings are neither read nor written (a read
// gives the default), so the panel's settings stay as the user left them.
class ConsolePlatform : public QtCorePlatform
{
  public:
    ConsolePlatform();
    ~ConsolePlatform() override;

    // Where the message lines go (standard error unless replaced).
    void setErrorSink(std::function<void(const QByteArray&)> sink) { errorSink_ = std::move(sink); }

    MessageAnswer messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    QString readSetting(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;

    // Ctrl-C (and SIGTERM) set a flag and wake a waiting event pass; a
    // second one ends the program the default way. Needs the
    // QCoreApplication; call once.
    void catchInterrupts();
    static bool interrupted();
    // Runs on the event loop's thread after each interrupt, so that waits
    // on other threads can be woken.
    void setInterruptHook(std::function<void()> hook) { interruptHook_ = std::move(hook); }

  private:
    std::function<void(const QByteArray&)> errorSink_;
    std::function<void()> interruptHook_;
};

// A message box as plain lines: the title, a colon and the text's first
// line, then its other lines indented by two blanks (every line trimmed,
// empty ones dropped), without a line end after the last.
QString consoleMessageText(const QString& text, const QString& title);

} // namespace lumodm
