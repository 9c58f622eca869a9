// Looks at the message dialog of DialogHost from outside, for the
// end-to-end tests (texts come out in code page 932):
//
//   DialogDriver dialog MS [CAPTION]
//                              waits for an enabled dialog (of that caption)
//                              and describes it
//   DialogDriver gone MS       waits until no dialog is left
//   DialogDriver errorbox MS   waits for the error report box and describes it
//   DialogDriver close-main    posts WM_CLOSE to the host's main window
//   DialogDriver host          describes the host's main window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* kDialogClass = "TMessageForm";
const char* kHostClass = "QobDialogHost";

std::string TextOf(HWND window)
{
    char buffer[4096] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                          2000, &length);
    std::string out;
    for (const char* p = buffer; *p; ++p)
        out += *p == '\r' ? std::string("\\r") : *p == '\n' ? std::string("\\n") : std::string(1, *p);
    return out;
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

HWND FindVisible(const char* cls, bool enabledOnly = false, const char* caption = nullptr)
{
    for (HWND w = ::FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = ::FindWindowExA(nullptr, w, cls, nullptr)) {
        if (!::IsWindowVisible(w) || (enabledOnly && !::IsWindowEnabled(w)))
            continue;
        if (caption) {
            char text[256] = {};
            ::GetWindowTextA(w, text, sizeof text);
            if (std::strcmp(text, caption) != 0)
                continue;
        }
        return w;
    }
    return nullptr;
}

// The error report: a system message box of the host's process.
HWND FindErrorBox()
{
    HWND host = ::FindWindowA(kHostClass, nullptr);
    if (!host)
        return nullptr;
    DWORD hostPid = 0;
    ::GetWindowThreadProcessId(host, &hostPid);
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = ::FindWindowExA(nullptr, w, "#32770", nullptr)) {
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
    for (HWND w = ::FindWindowExA(nullptr, nullptr, kDialogClass, nullptr); w;
         w = ::FindWindowExA(nullptr, w, kDialogClass, nullptr))
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
    if (HWND host = ::FindWindowA(kHostClass, nullptr))
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
        ::SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit);
        if (hit == HTCLOSE) {
            std::printf("closebox=%d,%d\n", x - ::GetSystemMetrics(SM_CXSIZE) / 3, y);
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string command = argv[1];
    const int ms = argc > 2 ? std::atoi(argv[2]) : 10000;
    if (command == "dialog") {
        const char* caption = argc > 3 ? argv[3] : nullptr;
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
        HWND host = ::FindWindowA(kHostClass, nullptr);
        if (!host)
            return 1;
        ::PostMessageA(host, WM_CLOSE, 0, 0);
    } else if (command == "host") {
        HWND host = ::FindWindowA(kHostClass, nullptr);
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
