#include "reader/console_platform.h"

#include "bus/vbib32rv.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace lumodm {

namespace {

volatile std::sig_atomic_t interruptFlag = 0;
int wakeFds[2] = {-1, -1};

// Only async-signal-safe calls here: set the flag, poke the pipe.
extern "C" void onInterrupt(int)
{
    interruptFlag = 1;
    if (wakeFds[1] >= 0) {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFds[1], &byte, 1);
        errno = saved;
    }
}

} // namespace

QString consoleMessageText(const QString& text, const QString& title)
{
    QString out = title + QLatin1Char(':');
    QLatin1String separator(" ");
    for (const QString& line : text.split(QChar(10))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) {
            out += separator + trimmed;
            separator = QLatin1String("\n  ");
        }
    }
    return out;
}

ConsolePlatform::ConsolePlatform()
    : errorSink_([](const QByteArray& line) {
          std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
          std::fflush(stderr);
      })
{
}

ConsolePlatform::~ConsolePlatform() = default;

MessageAnswer ConsolePlatform::messageBox(const QString& text, const QString& title,
                                          MessageButtons buttons, MessageIcon icon)
{
    // A question has no one to answer it: it is taken as agreed, quietly,
    // as the reader's options already say what to do.
    if (icon != MessageIcon::Question) {
        // There are no buttons to name: OK is taken, and the line says
        // what that means.
        QString shown = text;
        shown.replace(gpibErrorChoiceText(), QStringLiteral("lumodm-read goes on."));
        errorSink_(consoleMessageText(shown, title).toUtf8() + '\n');
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QString ConsolePlatform::readSetting(const QString&, const QString&, const QString&,
                                     const QString& defaultValue)
{
    return defaultValue;
}

void ConsolePlatform::writeSetting(const QString&, const QString&, const QString&, const QString&)
{
}

void ConsolePlatform::catchInterrupts()
{
    if (wakeFds[0] < 0 && ::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakeFds[0] = wakeFds[1] = -1;
    }
    if (wakeFds[0] >= 0 && QCoreApplication::instance()) {
        // The byte from the handler wakes the blocked event pass; draining
        // it keeps the notifier from firing again.
        auto* notifier =
            new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] {
            char buffer[64];
            while (::read(wakeFds[0], buffer, sizeof buffer) > 0) {
            }
            if (interruptHook_) {
                interruptHook_();
            }
        });
    }
    struct sigaction action
    {
    };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C kills a reader that hangs in a long bus timeout.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool ConsolePlatform::interrupted()
{
    return interruptFlag != 0;
}

} // namespace lumodm
