// A bare top-level window holding a tree view control over a model, for the
// window tests and the tree benchmark: it passes the control's notifications
// on to the control's own handler, as the main window does.
#pragma once

#include "forms/TreeViewControl.h"

#include <windows.h>
#include <commctrl.h>

namespace qob::e2e {

// Any window of this class: WM_NOTIFY goes to the TTreeViewControl whose
// address the window holds in its user data.
inline LRESULT CALLBACK TreeHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* view = reinterpret_cast<TTreeViewControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && view) {
        LRESULT result = 0;
        if (view->HandleNotify(*reinterpret_cast<const NMHDR*>(lParam), result))
            return result;
    }
    // A Unicode window: the tree view sends it the Unicode notifications.
    return ::DefWindowProcW(window, message, wParam, lParam);
}

inline HWND MakeHostWindow(int width, int height, DWORD style)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        WNDCLASSW wc{};
        wc.lpfnWndProc = TreeHostProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QobTreeHost";
        return ::RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return ::CreateWindowExW(0, L"QobTreeHost", L"host", style, 0, 0, width, height, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

class TreeHost {
public:
    TreeHost(int width, int height, DWORD style = WS_OVERLAPPEDWINDOW)
        : window_(MakeHostWindow(width, height, style)),
          images_(::ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 3, 0))
    {
        RECT client;
        ::GetClientRect(window_, &client);
        view_.Create(window_, 1, client, 19, images_);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view_));
    }
    ~TreeHost()
    {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
        ::ImageList_Destroy(images_);
    }
    TreeHost(const TreeHost&) = delete;
    TreeHost& operator=(const TreeHost&) = delete;

    HWND Window() const { return window_; }
    TTreeViewControl& View() { return view_; }

private:
    HWND window_;
    HIMAGELIST images_;
    TTreeViewControl view_;
};

}  // namespace qob::e2e
