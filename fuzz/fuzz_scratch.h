#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdlib>
#include <unistd.h>

namespace lumodm::fuzz {

// A finding: the fuzzer reports the input that led here.
inline void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

inline QByteArray& scratchFolder()
{
    static QByteArray folder;
    return folder;
}

inline void removeScratch()
{
    ::unlink((scratchFolder() + "/log.csv").constData());
    ::rmdir(scratchFolder().constData());
}

// One file in a folder of this process's own, rewritten for every input; in
// memory where there is a place for it, as syncing a disk file is slow.
inline QString scratchPath()
{
    static const QString path = [] {
        const char* base = std::getenv("TMPDIR");
        QByteArray& folder = scratchFolder();
        folder = ::access("/dev/shm", W_OK) == 0    ? "/dev/shm"
                 : base != nullptr && *base != '\0' ? base
                                                    : "/tmp";
        folder += "/lumodm-fuzz-XXXXXX";
        check(::mkdtemp(folder.data()) != nullptr);
        std::atexit(removeScratch);
        return QFile::decodeName(folder) + QStringLiteral("/log.csv");
    }();
    return path;
}

} // namespace lumodm::fuzz
