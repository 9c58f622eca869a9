// The plain top-level window that every window of the program derives from.
// The window procedure finds the object through the window's user data, which
// holds `this` from WM_NCCREATE to WM_NCDESTROY.
#pragma once

#include "forms/Application.h"
#include "forms/DpiScale.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

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
    // The DPI the window is drawn at, and a size written for 100% (96 DPI) in
    // the window's pixels.
    int Dpi() const;
    DpiScale Scaling() const { return DpiScale(Dpi()); }
    int Scale(int px96) const { return Scaling()(px96); }
    RECT Scale(const RECT& box96) const;

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
    // The window, `params` giving its outer size at 100%; it is made at the
    // system's scale.
    void CreateHandle(const CreateParams& params);
    // The outer size, at the system's scale, of a window whose client area
    // is `clientWidth` by `clientHeight` at 100%.
    static SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu = false);
    void DestroyHandle();
    // Makes the window a dialog of the main window: owned by it, so it stays
    // above it and has no task-bar entry, its title bar offering only Move
    // and Close.
    void BecomeMainWindowDialog();
    // A control of the window: WS_CHILD | WS_VISIBLE with `style`, its text
    // UTF-8, in `font`, at `box` of the client area, a box at 100% that the
    // window's scale makes larger. Raises EOutOfResources when the system
    // cannot make it.
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
    // Puts the controls made by CreateControl at their boxes again, at the
    // window's present scale, in `font`.
    void PlaceControls(HFONT font);
    // After the window has come to a screen of another scale (it was drawn at
    // `previousDpi`): the window makes its fonts and pictures again for Dpi()
    // and lays itself out anew. It is then moved to the rectangle the system
    // suggests.
    virtual void DpiChanged(int /*previousDpi*/) {}

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

    struct PlacedControl {
        HWND control;
        RECT box;  // at 100%
    };

    HWND handle_ = nullptr;
    bool placed_ = false;
    int dpi_ = kBaseDpi;  // what the window was last laid out for
    std::vector<PlacedControl> controls_;
};

}  // namespace qob
