// Owners of kernel handles for the Win32 implementations (Windows build only).
#pragma once

#include <windows.h>

namespace qob {

template <class Closer>
class Win32Handle {
public:
    explicit Win32Handle(HANDLE handle) : handle_(handle) {}
    ~Win32Handle()
    {
        if (valid())
            Closer{}(handle_);
    }
    Win32Handle(const Win32Handle&) = delete;
    Win32Handle& operator=(const Win32Handle&) = delete;
    // Functions fail with null or INVALID_HANDLE_VALUE, depending on which.
    bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

struct FindCloser {
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};

// A file search (FindFirstFile).
using FindHandle = Win32Handle<FindCloser>;
// A file, process or thread.
using KernelHandle = Win32Handle<HandleCloser>;

}  // namespace qob
