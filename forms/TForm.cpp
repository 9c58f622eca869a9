#include "forms/TForm.h"
#include "forms/WindowBinding.h"
#include "forms/WindowDpi.h"

#include "catalogue/TreeModel.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

#include <algorithm>
#include <stdexcept>

namespace qob {

TForm::~TForm() { DestroyHandle(); }

void TForm::CreateHandle(const CreateParams& params)
{
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(Application.Instance(), params.className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = Application.Instance();
        wc.hIcon = params.icon;
        wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = params.className;
        ::RegisterClassExW(&wc);
    }
    const DpiScale scale(SystemDpi());
    ::CreateWindowExW(params.exStyle, params.className, WidenText(params.caption).c_str(), params.style,
                      CW_USEDEFAULT, CW_USEDEFAULT, scale(params.width), scale(params.height), nullptr, params.menu,
                      Application.Instance(), this);
    if (!handle_)
        throw std::runtime_error(std::string(Text(TextId::ErrorNoWindow)));
    dpi_ = Dpi();
}

SIZE TForm::OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu)
{
    const int dpi = SystemDpi();
    const DpiScale scale(dpi);
    const SIZE outer = OuterSizeForClient(scale(clientWidth), scale(clientHeight), style, exStyle, menu, dpi);
    // CreateHandle scales what it is given; the frame is already at the scale.
    return SIZE{ScaleRounded(outer.cx, kBaseDpi, dpi), ScaleRounded(outer.cy, kBaseDpi, dpi)};
}

int TForm::Dpi() const { return WindowDpi(handle_); }

RECT TForm::Scale(const RECT& box96) const
{
    const DpiScale scale = Scaling();
    return RECT{scale(box96.left), scale(box96.top), scale(box96.right), scale(box96.bottom)};
}

void TForm::BecomeMainWindowDialog()
{
    if (HWND main = Application.MainWindow())
        ::SetWindowLongPtrW(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(main));
    if (HMENU menu = ::GetSystemMenu(handle_, FALSE)) {
        for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
            ::DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

HWND TForm::CreateControl(const ControlParams& params)
{
    const RECT box = Scale(params.box);
    HWND control = ::CreateWindowExW(params.exStyle, params.className, WidenText(params.text).c_str(),
                                     WS_CHILD | WS_VISIBLE | params.style, box.left, box.top, box.right - box.left,
                                     box.bottom - box.top, handle_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id)), Application.Instance(),
                                     nullptr);
    if (!control)
        throw EOutOfResources(std::string(Text(TextId::ErrorNoWindow)));
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(params.font), FALSE);
    controls_.push_back({control, params.box});
    return control;
}

void TForm::PlaceControls(HFONT font)
{
    for (const PlacedControl& placed : controls_) {
        const RECT box = Scale(placed.box);
        ::SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::MoveWindow(placed.control, box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE);
    }
}

void TForm::DestroyHandle()
{
    if (handle_)
        ::DestroyWindow(handle_);
}

void TForm::Show(int showCommand)
{
    if (!handle_)
        return;
    if (!placed_) {
        placed_ = true;
        RECT r;
        ::GetWindowRect(handle_, &r);
        // A window that its scale makes larger than the screen is made to fit on it.
        const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
        const int width = std::min(static_cast<int>(r.right - r.left), screenWidth);
        const int height = std::min(static_cast<int>(r.bottom - r.top), screenHeight);
        int left = (screenWidth - width) / 2;
        int top = (screenHeight - height) / 2;
        const UINT keepSize = width == r.right - r.left && height == r.bottom - r.top ? SWP_NOSIZE : 0;
        ::SetWindowPos(handle_, nullptr, left < 0 ? 0 : left, top < 0 ? 0 : top, width, height,
                       keepSize | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(handle_, showCommand);
}

void TForm::Hide()
{
    if (handle_)
        ::ShowWindow(handle_, SW_HIDE);
}

void TForm::Close()
{
    if (handle_)
        ::PostMessageW(handle_, WM_CLOSE, 0, 0);
}

LRESULT TForm::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && Application.ApplyCursorOverride())
            return TRUE;
        break;
    case WM_CLOSE:
        // Closing the main window ends the program; any other window only hides.
        if (handle_ == Application.MainWindow())
            ::DestroyWindow(handle_);
        else
            Hide();
        return 0;
    case WM_DESTROY:
        if (handle_ == Application.MainWindow())
            ::PostQuitMessage(0);
        break;
    case WM_DPICHANGED: {
        const int previous = dpi_;
        dpi_ = LOWORD(wParam);
        Call([this, previous] { DpiChanged(previous); });
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = BoundObject<TForm>(window, message, lParam);
    if (!form)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        form->handle_ = window;
    if (message == WM_NCDESTROY) {
        const LRESULT result = form->WndProc(message, wParam, lParam);
        form->handle_ = nullptr;
        return result;
    }
    return form->WndProc(message, wParam, lParam);
}

}  // namespace qob
