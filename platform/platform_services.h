#pragma once

#include <QString>

namespace lumodm {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Stop, Exclamation, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// What the window toolkit and the operating system give the core. The
// program uses Qt's (and, for a panel on its own thread, a session's that
// asks its boxes on the window's thread); the tests use a scripted double;
// the headless reader answers message boxes on the console.
class PlatformServices
{
  public:
    virtual ~PlatformServices() = default;

    // A modal message box; returns the button the user chose. The text is
    // shown as plain text, never as markup.
    virtual MessageAnswer messageBox(const QString& text, const QString& title,
                                     MessageButtons buttons, MessageIcon icon) = 0;

    // Let the pending events be processed once: a panel on its own thread
    // runs the user's input queued for it, the window's thread its window
    // events. When none is pending, block until one arrives or until now()
    // reaches `deadline`, whichever comes first, so that waiting loops
    // never spin the processor. A deadline at or before now() processes
    // what is pending and returns.
    virtual void processEvents(double deadline) = 0;

    // Monotonic clock in seconds: never jumps, never wraps at midnight.
    virtual double now() = 0;

    // Per-user settings store, addressed by application, section and key.
    virtual QString readSetting(const QString& application, const QString& section,
                                const QString& key, const QString& defaultValue) = 0;
    virtual void writeSetting(const QString& application, const QString& section,
                              const QString& key, const QString& value) = 0;

    // End the program at once: close the bus, run no further handler, write
    // no settings. Never returns.
    [[noreturn]] virtual void endProgram(int exitStatus) = 0;
};

} // namespace lumodm
