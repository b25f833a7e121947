#include "platform/program_module.h"

#include "platform/shared_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <map>
#include <mutex>
#include <string>

namespace lumodm {

namespace {

struct Opened
{
    SharedLibrary library;
    const void* table = nullptr;
    QString error;
};

QString programFolder()
{
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

void open(Opened& opened, const char* fileName, const char* entry)
{
    const QString name = QString::fromLatin1(fileName);
    const QString beside =
        QDir(programFolder()).filePath(QStringLiteral(LUMODM_MODULE_DIR_FROM_PROGRAM "/") + name);
    // A regular file there, else the library path's.
    const QString path = QFileInfo(beside).isFile() ? QDir::cleanPath(beside) : name;
    QString reason;
    if (!opened.library.open(path, &reason)) {
        opened.error = QStringLiteral("%1 cannot be loaded: %2").arg(name, reason);
        return;
    }
    using Entry = const void* (*)();
    const auto function = reinterpret_cast<Entry>(opened.library.symbol(entry));
    opened.table = function != nullptr ? function() : nullptr;
    if (opened.table == nullptr) {
        opened.error = QStringLiteral("%1 is not one of LumoDM's modules").arg(name);
    }
}

} // namespace

const void* programModuleTable(const char* fileName, const char* entry, QString* error)
{
    static std::mutex mutex;
    // Never closed, nor destroyed at exit: what a module made runs its code
    // until it goes.
    static auto* const modules = new std::map<std::string, Opened>;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto [it, added] = modules->try_emplace(fileName);
    Opened& opened = it->second;
    if (added) {
        open(opened, fileName, entry);
    }
    if (opened.table == nullptr && error != nullptr) {
        *error = opened.error;
    }
    return opened.table;
}

} // namespace lumodm
