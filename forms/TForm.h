// The plain top-level window that every window of the program derives from.
// The window procedure finds the object through the window's user data, which
// holds `this` from WM_NCCREATE to WM_NCDESTROY.
#pragma once

#include "forms/Application.h"

#include <windows.h>

#include <string>
#include <utility>

namespace qob {

class TForm {
public:
    TForm() = default;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm();

    HWND Handle() const { return handle_; }
    bool Visible() const { return handle_ && ::IsWindowVisible(handle_); }
    // Shows the window: centred on the screen the first time, where it was
    // left on every later showing.
    void Show(int showCommand = SW_SHOWNORMAL);
    void Hide();
    // Asks the window to close, as its close box does.
    void Close();

protected:
    struct CreateParams {
        const wchar_t* className;
        std::string caption;
        DWORD style;
        DWORD exStyle;
        int width;
        int height;
        HMENU menu;
        HICON icon;
    };
    void CreateHandle(const CreateParams& params);
    void DestroyHandle();
    // Makes the window a dialog of the main window: owned by it, so it stays
    // above it and has no task-bar entry, its title bar offering only Move
    // and Close.
    void BecomeMainWindowDialog();
    // A control of the window: WS_CHILD | WS_VISIBLE with `style`, its text
    // UTF-8, in `font`, at `box` of the client area. Raises EOutOfResources
    // when the system cannot make it.
    struct ControlParams {
        const wchar_t* className;
        std::string text;
        DWORD style;
        DWORD exStyle;
        RECT box;
        int id;
        HFONT font;
    };
    HWND CreateControl(const ControlParams& params);

    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

    // Every call into a handler goes through the application's guard.
    template <class Handler>
    static void Call(Handler&& handler)
    {
        Application.Guard(std::forward<Handler>(handler));
    }

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    bool placed_ = false;
};

}  // namespace qob
