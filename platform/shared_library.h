#pragma once

#include <QString>

namespace lumodm {

// A shared library opened at run time (dlopen, or LoadLibrary on Windows).
// Closing it invalidates every symbol taken from it.
class SharedLibrary
{
  public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Opens the library by file name (searched the system's way, the
    // program's own run path included) or path.
    // On failure returns false and leaves the loader's reason in *error.
    bool open(const QString& name, QString* error);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    // The address of an exported function or variable, nullptr if absent.
    void* symbol(const char* name) const;

  private:
    void* handle_ = nullptr;
};

} // namespace lumodm
