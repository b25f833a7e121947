#include "qt/readings_window_kit.h"

#include "platform/shared_library.h"

namespace lumodm {

namespace {

struct Opened
{
    SharedLibrary library;
    const ReadingsWindowKit* kit = nullptr;
    QString error;
};

// Found on the program's run path: the build folder's module for a program
// run from the build, the installed one otherwise.
void open(Opened& opened)
{
    const QString name = QString::fromLatin1(kReadingsWindowModule);
    QString reason;
    if (!opened.library.open(name, &reason)) {
        opened.error = QStringLiteral("%1 cannot be loaded: %2").arg(name, reason);
        return;
    }
    using Entry = const ReadingsWindowKit* (*)();
    const auto entry = reinterpret_cast<Entry>(opened.library.symbol(kReadingsWindowEntry));
    opened.kit = entry != nullptr ? entry() : nullptr;
    if (opened.kit == nullptr) {
        opened.error = QStringLiteral("%1 is not LumoDM's readings window").arg(name);
    }
}

} // namespace

const ReadingsWindowKit* readingsWindowKit(QString* error)
{
    // Never closed: its windows run its code until they go.
    static Opened* const opened = [] {
        auto* o = new Opened;
        open(*o);
        return o;
    }();
    if (opened->kit == nullptr && error != nullptr) {
        *error = opened->error;
    }
    return opened->kit;
}

} // namespace lumodm
