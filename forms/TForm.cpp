#include "forms/TForm.h"
#include "forms/WindowBinding.h"

#include "catalogue/TreeModel.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

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
    ::CreateWindowExW(params.exStyle, params.className, WidenText(params.caption).c_str(), params.style,
                      CW_USEDEFAULT, CW_USEDEFAULT, params.width, params.height, nullptr, params.menu,
                      Application.Instance(), this);
    if (!handle_)
        throw std::runtime_error(std::string(Text(TextId::ErrorNoWindow)));
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
    const RECT& box = params.box;
    HWND control = ::CreateWindowExW(params.exStyle, params.className, WidenText(params.text).c_str(),
                                     WS_CHILD | WS_VISIBLE | params.style, box.left, box.top, box.right - box.left,
                                     box.bottom - box.top, handle_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id)), Application.Instance(),
                                     nullptr);
    if (!control)
        throw EOutOfResources(std::string(Text(TextId::ErrorNoWindow)));
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(params.font), FALSE);
    return control;
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
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        ::SetWindowPos(handle_, nullptr, left < 0 ? 0 : left, top < 0 ? 0 : top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
