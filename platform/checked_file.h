#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <limits>
#include <optional>

namespace lumodm {

// How large each kind of file the program reads may be. Anything larger
// is not what the program wrote or asked for, and reading it would cost
// memory and time without end.
namespace file_limits {
constexpr qint64 kSettingsFile = 64 * 1024;
constexpr qint64 kPasswordFile = 4 * 1024;
constexpr qint64 kCertificateFile = 1024 * 1024;
constexpr qint64 kLibraryFile = 256 * 1024 * 1024;
// A stored reading log is streamed, never held whole: any size will do.
constexpr qint64 kReadingLog = std::numeric_limits<qint64>::max();
} // namespace file_limits

// What a look at a file found, before anything reads it.
struct FileCheck
{
    enum class State {
        Absent,   // nothing there: the caller's defaults serve
        Usable,   // a regular file (after symlinks) within the size bound
        Unusable, // something else: `reason` says what, naming the file
    };
    State state = State::Absent;
    QString reason;

    bool usable() const { return state == State::Usable; }
};

// The one rule for every file the program reads: a regular file, after
// symlinks, no larger than `maxBytes`. A FIFO or a device would block the
// reader for good, so nothing here opens anything that is not a regular
// file.
FileCheck checkReadableFile(const QString& path, qint64 maxBytes);

// The whole file under the same rule, read without ever blocking; on
// failure nullopt and, in `reason`, why (naming the file).
std::optional<QByteArray> readCheckedFile(const QString& path, qint64 maxBytes, QString* reason);

// The file under the same rule, opened for reading only and never
// blocking: its descriptor, which the caller closes; -1 on failure with,
// in `reason`, why (naming the file).
int openCheckedFile(const QString& path, qint64 maxBytes, QString* reason);

// A value as a message may show it: at most `maxChars` characters, a
// longer one cut with an ellipsis, so that a huge option or file name
// cannot flood a terminal or a message box.
QString clippedForMessage(const QString& value, int maxChars = 160);

// The system's text for an errno value, for a message.
QString errnoText(int error);

} // namespace lumodm
