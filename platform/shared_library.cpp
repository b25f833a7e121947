#include "platform/shared_library.h"

#include "platform/checked_file.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace lumodm {

SharedLibrary::~SharedLibrary()
{
    close();
}

bool SharedLibrary::open(const QString& name, QString* error)
{
    close();
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryW(reinterpret_cast<LPCWSTR>(name.utf16())));
    if (handle_ == nullptr && error != nullptr) {
        *error = QStringLiteral("Windows error %1").arg(GetLastError());
    }
#else
    // A path is looked at first: the loader would wait for good on a FIFO.
    // A bare name is searched for in the system's folders.
    if (name.contains(QLatin1Char('/'))) {
        const FileCheck check = checkReadableFile(name, file_limits::kLibraryFile);
        if (check.state == FileCheck::State::Unusable) {
            if (error != nullptr) {
                *error = check.reason;
            }
            return false;
        }
    }
    // RTLD_LOCAL keeps the library's names out of the program's namespace:
    // a test's fake library and the real one never see each other.
    handle_ = dlopen(name.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr && error != nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? QString::fromLocal8Bit(reason) : QStringLiteral("not loaded");
    }
#endif
    return handle_ != nullptr;
}

void SharedLibrary::close()
{
    if (handle_ == nullptr) {
        return;
    }
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
}

void* SharedLibrary::symbol(const char* name) const
{
    if (handle_ == nullptr) {
        return nullptr;
    }
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

} // namespace lumodm
