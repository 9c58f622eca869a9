#include "forms/Application.h"

namespace qob {

TApplication Application;

void TApplication::Initialize(HINSTANCE instance) { instance_ = instance; }

namespace {

bool IsWithin(HWND window, HWND target)
{
    return target == window || ::IsChild(window, target);
}

// Shift+F10 and the menu key ask for the focused control's right-click
// menu. Windows' default window procedure turns them into WM_CONTEXTMENU;
// Wine's tree and list views do not, so the loop does it for every window.
bool IsContextMenuKey(const MSG& msg)
{
    if (msg.message == WM_KEYUP && msg.wParam == VK_APPS)
        return true;
    return (msg.message == WM_SYSKEYDOWN || msg.message == WM_KEYDOWN) && msg.wParam == VK_F10 &&
           ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_CONTROL) >= 0;
}

}  // namespace

bool TApplication::ProcessMessage() { return ProcessMessage(nullptr); }

bool TApplication::ProcessMessage(const std::function<bool(MSG&)>& preTranslate)
{
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        exitCode_ = got == 0 ? static_cast<int>(msg.wParam) : 0;
        return false;
    }
    if (preTranslate && preTranslate(msg))
        return true;
    if (msg.hwnd && IsContextMenuKey(msg)) {
        ::SendMessageW(msg.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(msg.hwnd), -1);
        return true;
    }
    if (modelessDialog_ && ::IsWindow(modelessDialog_) && ::IsDialogMessageW(modelessDialog_, &msg))
        return true;
    // The main window's shortcuts act only on keys meant for the main window
    // itself, never on those of a modal window or the other windows.
    if (accelerators_ && mainWindow_ && msg.hwnd && IsWithin(mainWindow_, msg.hwnd) &&
        ::TranslateAcceleratorW(mainWindow_, accelerators_, &msg))
        return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

int TApplication::Run()
{
    while (ProcessMessage()) {
    }
    return exitCode_;
}

void TApplication::ModalLoop(const std::function<bool()>& done) { ModalLoop(done, nullptr); }

void TApplication::ModalLoop(const std::function<bool()>& done, const std::function<bool(MSG&)>& preTranslate)
{
    while (!terminated_ && !done()) {
        if (!ProcessMessage(preTranslate)) {
            ::PostQuitMessage(exitCode_);  // the outer loop must end too
            break;
        }
    }
}

bool TApplication::HelpContext(long) { return false; }

namespace {

struct DisableState {
    HWND except;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<DisableState*>(param);
    if (window != state->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        state->disabled->push_back(window);
        ::EnableWindow(window, FALSE);
    }
    return TRUE;
}

}  // namespace

TApplication::TaskWindowsDisabled::TaskWindowsDisabled(HWND except)
    : active_(::GetActiveWindow()), focus_(::GetFocus())
{
    DisableState state{except, &disabled_};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&state));
}

void TApplication::TaskWindowsDisabled::End()
{
    if (ended_)
        return;
    ended_ = true;
    for (HWND window : disabled_)
        if (::IsWindow(window))
            ::EnableWindow(window, TRUE);
    if (!active_)
        return;  // the program was not active: it does not take the activation
    const auto usable = [](HWND window) {
        return window && ::IsWindow(window) && ::IsWindowVisible(window) && ::IsWindowEnabled(window);
    };
    // The main window's own handling of the focus gives it to its tree.
    HWND back = usable(active_) ? active_ : Application.MainWindow();
    if (!usable(back))
        return;
    ::SetActiveWindow(back);
    if (usable(focus_) && IsWithin(back, focus_) && ::GetFocus() != focus_)
        ::SetFocus(focus_);
}

}  // namespace qob
