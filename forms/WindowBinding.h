// The object behind a window of ours. Its address comes in as the creation
// parameter, is kept in the window's user data from WM_NCCREATE, and is
// forgotten at WM_NCDESTROY, so no message after that reaches the object.
#pragma once

#include <windows.h>

namespace qob {

// The object for this message of `window`, or null (messages before
// WM_NCCREATE). At WM_NCDESTROY the object is still returned, for the last
// time.
template <class T>
T* BoundObject(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    auto* object = reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return object;
}

}  // namespace qob
