// Looks at the message dialog of DialogHost from outside, for the
// end-to-end tests (texts read with the W messages, written as UTF-8):
//
//   DialogDriver dialog MS [CAPTION]
//                              waits for an enabled dialog (of that caption)
//                              and describes it
//   DialogDriver gone MS       waits until no dialog is left
//   DialogDriver errorbox MS   waits for the error report box and describes it
//   DialogDriver close-main    posts WM_CLOSE to the host's main window
//   DialogDriver host          describes the host's main window
#include "catalogue/Win32Text.h"
#include "tests/e2e/CommandLine.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using qob::NarrowText;

const wchar_t* kDialogClass = L"TMessageForm";
const wchar_t* kHostClass = L"QobDialogHost";

std::string TextOf(HWND window)
{
    wchar_t buffer[4096] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                          2000, &length);
    std::string out;
    for (const char c : NarrowText(buffer))
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string ClassOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return NarrowText(name);
}

// A visible window of the class (enabled, of the caption, when asked).
HWND FindVisible(const wchar_t* cls, bool enabledOnly = false, const std::string* caption = nullptr)
{
    for (HWND w = ::FindWindowExW(nullptr, nullptr, cls, nullptr); w; w = ::FindWindowExW(nullptr, w, cls, nullptr)) {
        if (!::IsWindowVisible(w) || (enabledOnly && !::IsWindowEnabled(w)))
            continue;
        if (caption) {
            wchar_t text[256] = {};
            ::GetWindowTextW(w, text, static_cast<int>(std::size(text)));
            if (NarrowText(text) != *caption)
                continue;
        }
        return w;
    }
    return nullptr;
}

// The error report: a system message box of the host's process.
HWND FindErrorBox()
{
    HWND host = ::FindWindowW(kHostClass, nullptr);
    if (!host)
        return nullptr;
    DWORD hostPid = 0;
    ::GetWindowThreadProcessId(host, &hostPid);
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == hostPid && ::IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

template <class Find>
HWND WaitFor(Find find, int ms)
{
    for (int waited = 0;; waited += 20) {
        if (HWND w = find())
            return w;
        if (waited >= ms)
            return nullptr;
        ::Sleep(20);
    }
}

void PrintRect(const char* label, const RECT& r)
{
    std::printf("%s=%ld,%ld,%ld,%ld\n", label, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM param)
{
    HWND parent = reinterpret_cast<HWND>(param);
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    std::printf("child=%s|%d|%ld,%ld,%ld,%ld|%s\n", ClassOf(child).c_str(), ::GetDlgCtrlID(child), r.left, r.top,
                r.right - r.left, r.bottom - r.top, TextOf(child).c_str());
    return TRUE;
}

void Describe(HWND window)
{
    std::printf("caption=%s\n", TextOf(window).c_str());
    int dialogs = 0;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, kDialogClass, nullptr); w;
         w = ::FindWindowExW(nullptr, w, kDialogClass, nullptr))
        dialogs += ::IsWindowVisible(w) ? 1 : 0;
    std::printf("dialogs=%d\n", dialogs);
    RECT r;
    ::GetWindowRect(window, &r);
    PrintRect("window", r);
    ::GetClientRect(window, &r);
    PrintRect("client", r);
    std::printf("screen=%d,%d\n", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    HWND owner = ::GetWindow(window, GW_OWNER);
    std::printf("owner=%s\n", owner ? ClassOf(owner).c_str() : "");
    if (HWND host = ::FindWindowW(kHostClass, nullptr))
        std::printf("host-enabled=%d\n", ::IsWindowEnabled(host) ? 1 : 0);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) {
        std::printf("active=%s\n", info.hwndActive == window ? "dialog" : ClassOf(info.hwndActive).c_str());
        std::printf("focus=%d\n", info.hwndFocus ? ::GetDlgCtrlID(info.hwndFocus) : -1);
    }
    ::EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(window));
    // The close box, found by hit-testing along the middle of the title bar.
    ::GetWindowRect(window, &r);
    const int y = r.top + ::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = r.right - 1; x > r.left; --x) {
        DWORD_PTR hit = 0;
        ::SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit);
        if (hit == HTCLOSE) {
            std::printf("closebox=%d,%d\n", x - ::GetSystemMetrics(SM_CXSIZE) / 3, y);
            break;
        }
    }
}

}  // namespace

int main()
{
    const std::vector<std::string> args = qob::e2e::CommandLineWords();
    if (args.size() < 2)
        return 2;
    const std::string& command = args[1];
    const int ms = args.size() > 2 ? std::atoi(args[2].c_str()) : 10000;
    if (command == "dialog") {
        const std::string* caption = args.size() > 3 ? &args[3] : nullptr;
        HWND w = WaitFor([caption] { return FindVisible(kDialogClass, true, caption); }, ms);
        if (!w)
            return 1;
        Describe(w);
    } else if (command == "gone") {
        if (!WaitFor([]() -> HWND { return FindVisible(kDialogClass) ? nullptr : ::GetDesktopWindow(); }, ms))
            return 1;
    } else if (command == "errorbox") {
        HWND w = WaitFor(FindErrorBox, ms);
        if (!w)
            return 1;
        Describe(w);
    } else if (command == "close-main") {
        HWND host = ::FindWindowW(kHostClass, nullptr);
        if (!host)
            return 1;
        ::PostMessageW(host, WM_CLOSE, 0, 0);
    } else if (command == "host") {
        HWND host = ::FindWindowW(kHostClass, nullptr);
        if (!host)
            return 1;
        std::printf("host-enabled=%d\n", ::IsWindowEnabled(host) ? 1 : 0);
        HWND fg = ::GetForegroundWindow();
        std::printf("foreground=%s\n", fg == host ? "host" : ClassOf(fg).c_str());
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
