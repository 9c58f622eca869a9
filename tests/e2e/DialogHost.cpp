// A small program around the message dialog for the end-to-end tests: a
// main window, a 10 ms timer that keeps counting while the dialog is open,
// and one dialog (or one error report) opened from the first tick.
//
//   DialogHost [--cursor N] [--open-at T] [--set-during N] [--stay] [--error]
//              KIND BUTTONS TEXT
//
// --cursor sets the application cursor at the first tick, the dialog opens
// at tick T (1 unless given), --set-during sets the cursor at the fifth tick
// while the dialog is open, --quit-during posts the end of the program then,
// --nested opens a second dialog (an error with OK) then, from the tick,
// --error shows the error report instead, --plain-box shows a bare
// MessageBoxW(MB_TASKMODAL) without owner instead (to see what Wine does).
// TEXT takes \r, \t and \\ as escapes. Prints "result=R ticks=T cursor=C"
// (ticks counted while the dialog was open, the application cursor after it)
// and, with --stay, keeps running until its main window is closed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/MessageDialog.h"
#include "catalogue/Win32Text.h"
#include "tests/e2e/CommandLine.h"
#include "texts/Texts.h"

using namespace qob;

namespace {

struct Options {
    short cursorBefore = crDefault;
    int openAt = 1;
    bool setDuring = false;
    short cursorDuring = crDefault;
    bool stay = false;
    bool quitDuring = false;
    bool nested = false;
    bool plainBox = false;
    bool error = false;
    int kind = mtInformation;
    TMsgDlgButtons buttons = mbYesNo;
    std::string text;
} g_options;

bool g_open = false;
bool g_started = false;
int g_ticks = 0;

std::string Unescape(const char* s)
{
    std::string out;
    for (; *s; ++s) {
        if (*s == '\\' && s[1]) {
            ++s;
            out += *s == 'r' ? '\r' : *s == 't' ? '\t' : *s;
        } else {
            out += *s;
        }
    }
    return out;
}

void OpenDialog(HWND window)
{
    g_open = true;
    g_ticks = 0;
    int result = -1;
    if (g_options.error)
        Application.ShowException(g_options.text);
    else if (g_options.plainBox)
        result = ::MessageBoxW(nullptr, WidenText(g_options.text).c_str(), L"plain", MB_OK | MB_TASKMODAL);
    else
        result = ShowMessageDialog(g_options.text, g_options.kind, g_options.buttons, 0);
    g_open = false;
    std::printf("result=%d ticks=%d cursor=%d\n", result, g_ticks, Application.Cursor());
    std::fflush(stdout);
    if (!g_options.stay && ::IsWindow(window))
        ::DestroyWindow(window);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        Application.Guard([&] {
            ++g_ticks;
            if (g_ticks == 1 && !g_started)
                Application.SetCursor(g_options.cursorBefore);
            if (!g_started && g_ticks >= g_options.openAt) {
                g_started = true;
                OpenDialog(window);
            } else if (g_open && g_ticks == 5) {
                if (g_options.setDuring)
                    Application.SetCursor(g_options.cursorDuring);
                if (g_options.quitDuring)
                    ::PostQuitMessage(0);
                if (g_options.nested) {
                    const int inner = ShowMessageDialog("入れ子", mtError, mbOKOnly, 0);
                    std::printf("nested=%d\n", inner);
                    std::fflush(stdout);
                }
            }
        });
        return 0;
    case WM_SETCURSOR:
        if (Application.ApplyCursorOverride())
            return TRUE;
        break;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    SelectLanguage(LanguageForUiLanguage(::GetUserDefaultUILanguage()));
    const std::vector<std::string> words = e2e::CommandLineWords();
    std::vector<const char*> pointers;
    for (const std::string& word : words)
        pointers.push_back(word.c_str());
    const int argc = static_cast<int>(pointers.size());
    const char* const* argv = pointers.data();
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (!std::strcmp(argv[i], "--cursor") && i + 1 < argc)
            g_options.cursorBefore = static_cast<short>(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--open-at") && i + 1 < argc)
            g_options.openAt = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--set-during") && i + 1 < argc) {
            g_options.setDuring = true;
            g_options.cursorDuring = static_cast<short>(std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--stay"))
            g_options.stay = true;
        else if (!std::strcmp(argv[i], "--error"))
            g_options.error = true;
        else if (!std::strcmp(argv[i], "--nested"))
            g_options.nested = true;
        else if (!std::strcmp(argv[i], "--quit-during"))
            g_options.quitDuring = true;
        else if (!std::strcmp(argv[i], "--plain-box"))
            g_options.plainBox = true;
    }
    if (argc - i < 3) {
        std::fprintf(stderr, "usage: DialogHost [options] KIND BUTTONS TEXT\n");
        return 2;
    }
    g_options.kind = std::atoi(argv[i]);
    g_options.buttons = static_cast<TMsgDlgButtons>(std::strtoul(argv[i + 1], nullptr, 0));
    g_options.text = Unescape(argv[i + 2]);

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    Application.Initialize(instance);
    Application.SetTitle(std::string(Text(TextId::AppTitle)));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.lpfnWndProc = HostProc;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QobDialogHost";
    ::RegisterClassExW(&wc);
    HWND window = ::CreateWindowExW(0, L"QobDialogHost", L"DialogHost", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240,
                                    nullptr, nullptr, instance, nullptr);
    if (!window)
        return 3;
    Application.SetMainWindow(window);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::SetTimer(window, 1, 10, nullptr);
    const int code = Application.Run();
    std::printf("ended\n");
    std::fflush(stdout);
    return code;
}
