// Owners of kernel handles and registry keys for the Win32 implementations
// (Windows build only).
#pragma once

#include <windows.h>

namespace qob {

// Owns one handle of the closer's kind and closes it when it goes.
template <class Closer>
class Win32Handle {
public:
    using Handle = typename Closer::Handle;

    Win32Handle() = default;
    explicit Win32Handle(Handle handle) : handle_(handle) {}
    ~Win32Handle() { Close(); }
    Win32Handle(const Win32Handle&) = delete;
    Win32Handle& operator=(const Win32Handle&) = delete;
    // Functions fail with null or INVALID_HANDLE_VALUE, depending on which.
    bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    Handle get() const { return handle_; }
    // Where a function that opens a handle stores it (RegOpenKeyEx); the
    // handle held before is closed.
    Handle* Out()
    {
        Close();
        return &handle_;
    }

private:
    void Close()
    {
        if (valid())
            Closer{}(handle_);
        handle_ = nullptr;
    }

    Handle handle_ = nullptr;
};

struct FindCloser {
    using Handle = HANDLE;
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
struct HandleCloser {
    using Handle = HANDLE;
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct KeyCloser {
    using Handle = HKEY;
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};

// A file search (FindFirstFile).
using FindHandle = Win32Handle<FindCloser>;
// A file, process or thread.
using KernelHandle = Win32Handle<HandleCloser>;
// An open registry key (RegOpenKeyEx).
using RegistryKey = Win32Handle<KeyCloser>;

}  // namespace qob
