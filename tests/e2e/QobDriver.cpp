// QobDriver: looks at and drives a running QobTessavin.exe from outside, the
// way the end-to-end tests need it. Arguments and output are UTF-8 (the
// windows are read and set with the W messages), lines end in LF.
//
//   QobDriver wait-ready MS        the scan has ended: the wait panel is hidden
//   QobDriver dump [NAMES]         the whole tree, every item expanded:
//                                  "depth TAB icon TAB text", icon "?" when the
//                                  selected icon differs from the icon; control
//                                  bytes of a text written as \xHH. With NAMES
//                                  (a file of top-level texts, one a line,
//                                  UTF-8) only those entries, each whole:
//                                  reading every item of a full tree takes long
//   QobDriver roots                the top-level items as the control holds them:
//                                  "children TAB expanded TAB text"
//   QobDriver items                how many items the control holds
//   QobDriver scroll-to TEXT       scrolls the top-level item of that text to
//                                  the tree's first line
//   QobDriver tree-handle          the tree's window handle, as Wine's traces write it
//   QobDriver layout               positions of the main window's parts, its
//                                  client origin on the screen, its show state,
//                                  the desktop's work area and the height of
//                                  the tree's items
//   QobDriver resize W H           gives the main window that outer size
//   QobDriver cursor-handle        the cursor the foreground thread has set, as
//                                  Wine's traces write handles
//   QobDriver focus                class of the window with the keyboard focus
//   QobDriver active               "main" when the main window is the program's
//                                  active window, else the active window's class
//                                  or "none"
//   QobDriver wait-window CAPTION MS   a window of the program with that caption:
//                                  its class and the texts of its static controls
//                                  (a message dialog's text included)
//   QobDriver gone CAPTION MS      no window of the program has that caption
//   QobDriver press-ok CAPTION     posts OK to that window
//   QobDriver time-start PROGRAM MS  starts the program and prints the seconds
//                                  until its filled tree is shown
//   QobDriver close MS             closes the main window; the process must end
//   QobDriver dialog MS [NOT]      a message dialog of the program other than
//                                  the window NOT: "window W", "caption C",
//                                  "text T", control bytes of T as \xHH, its
//                                  "client W H" and its "icon W H"
//   QobDriver status               the status bar's text
//   QobDriver find-text TEXT       puts TEXT into the open find dialog's field
//   QobDriver selected-place       the tree's selected item: "text TAB 1 TAB parent"
//                                  when it is the first visible line, "text TAB 0
//                                  TAB parent" if not; no parent, no text
//   QobDriver window CAPTION       a visible window of the program: its place and
//                                  client size, whether it is topmost, a tool
//                                  window, has a system menu, is enabled
//   QobDriver hold STOPFILE MS     keeps a window of the program waiting to be
//                                  painted, so that no timer tick reaches it,
//                                  until STOPFILE exists or MS have passed;
//                                  "holding" once the first are posted
//   QobDriver move CAPTION X Y     moves a visible window of the program
//   QobDriver time-search TEXT MS  opens the find dialog, searches for TEXT and
//                                  prints the seconds from Find Next to the
//                                  not-found message, which it then closes
//   QobDriver about                the About box: its window and client rectangles,
//                                  whether the main window is enabled and which
//                                  window is active, the control with the focus,
//                                  and per control "id class left top width height
//                                  styles text"
//   QobDriver windows              every visible top-level window: "program" or
//                                  "other", class and caption, TAB-separated
//   QobDriver clipboard            the text on the clipboard
//   QobDriver wait-class CLASS MS  a visible top-level window of that class, of
//                                  any process: its caption
//   QobDriver close-class CLASS MS closes every window of that class and waits
//                                  until none is left
//   QobDriver set-owner KEY SID    gives HKEY_CLASSES_ROOT\KEY that owner (a SID
//                                  string), as an installer of the system does
//   QobDriver controls CAPTION     the controls of that window: "id TAB class
//                                  TAB enabled TAB text", line breaks of the
//                                  text written as \n
//
// A list view in a window of the program (the first list view of the window
// with that caption):
//   QobDriver listview-rows CAPTION    one line per item, in the list's order:
//                                  "*" for the selected item, "-" for the
//                                  others, followed by "x" when its check box
//                                  is checked; then each column's text, all
//                                  TAB-separated
//   QobDriver listview-columns CAPTION  the widths of the list's columns
//   QobDriver listview-check CAPTION COLUMN TEXT...  checks the items whose
//                                  column COLUMN (from 0) reads one of the
//                                  TEXTs; fails when one of them is not there
//   QobDriver listview-sort CAPTION COLUMN  clicks the column's header
//   QobDriver window-status CAPTION    the text of that window's status bar
//   QobDriver class-status CLASS       the same of the first top-level window of that class (another program's)
//   QobDriver click CAPTION TEXT   clicks the button of that window whose
//                                  text (without its "&") is TEXT
//
// Exit status 0 on success, 1 on a failed wait or check, 2 for a bad command.
#include "catalogue/TreeDump.h"
#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Text.h"
#include "resources/ResourceIds.h"
#include "tests/e2e/CommandLine.h"

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

void Out(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

bool WaitFor(int ms, const std::function<bool()>& condition)
{
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount64() >= end)
            return false;
        ::Sleep(20);
    }
}

using qob::NarrowText;
using qob::WidenText;

HWND MainWindow() { return ::FindWindowW(QOB_CLASS_FORM1, nullptr); }

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

HWND ChildById(HWND parent, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (::GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND window)
{
    wchar_t buffer[2048] = {};
    ::GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return NarrowText(buffer);
}

std::string ClassOf(HWND window)
{
    wchar_t buffer[256] = {};
    ::GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
    return NarrowText(buffer);
}

// A visible top-level window of the program's process with that caption.
HWND ProgramWindow(const std::string& caption)
{
    HWND main = MainWindow();
    if (!main)
        return nullptr;
    struct Search {
        DWORD pid;
        const std::string* caption;
        HWND found;
    } search{ProcessOf(main), &caption, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (ProcessOf(window) == s->pid && ::IsWindowVisible(window) && TextOf(window) == *s->caption) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Reads items of a tree view in another process.
class RemoteTree {
public:
    explicit RemoteTree(HWND tree) : tree_(tree)
    {
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(tree));
        if (process_)
            remote_ = static_cast<BYTE*>(
                ::VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteTree()
    {
        if (remote_)
            ::VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
        if (process_)
            ::CloseHandle(process_);
    }
    bool Ok() const { return remote_ != nullptr; }

    struct Item {
        std::string text;
        int image = 0;
        int selectedImage = 0;
        int children = 0;
        UINT state = 0;
    };

    bool Get(HTREEITEM handle, Item& out)
    {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
        item.hItem = handle;
        item.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
        item.pszText = reinterpret_cast<wchar_t*>(remote_ + sizeof(TVITEMW));
        item.cchTextMax = kTextCapacity;
        SIZE_T done = 0;
        const wchar_t zero = 0;
        ::WriteProcessMemory(process_, item.pszText, &zero, sizeof zero, &done);
        if (!::WriteProcessMemory(process_, remote_, &item, sizeof item, &done))
            return false;
        if (!::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_)))
            return false;
        TVITEMW back{};
        ::ReadProcessMemory(process_, remote_, &back, sizeof back, &done);
        std::vector<wchar_t> text(kTextCapacity + 1, L'\0');
        const wchar_t* from = back.pszText ? back.pszText : item.pszText;
        ::ReadProcessMemory(process_, from, text.data(), kTextCapacity * sizeof(wchar_t), &done);
        out.text = NarrowText(text.data());
        out.image = back.iImage;
        out.selectedImage = back.iSelectedImage;
        out.children = back.cChildren;
        out.state = back.state;
        return true;
    }

    HTREEITEM Next(HTREEITEM item, UINT how)
    {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }

private:
    static constexpr SIZE_T kSize = 8192;
    static constexpr int kTextCapacity = static_cast<int>((kSize - sizeof(TVITEMW)) / sizeof(wchar_t));
    HWND tree_;
    HANDLE process_ = nullptr;
    BYTE* remote_ = nullptr;
};

HWND Tree()
{
    HWND main = MainWindow();
    return main ? ChildById(main, IDC_TRVREGKEY) : nullptr;
}

// The lines of a file, without their line ends; nothing when it cannot be read.
std::vector<std::string> LinesOf(const std::string& path)
{
    std::vector<std::string> lines;
    FILE* file = ::_wfopen(WidenText(path).c_str(), L"rb");
    if (!file)
        return lines;
    std::string line;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    std::fclose(file);
    return lines;
}

// The words after the command name.
using Args = std::vector<std::string>;

int Number(const std::string& word) { return std::atoi(word.c_str()); }

// "left top width height".
std::string BoxText(const RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
           std::to_string(r.bottom - r.top);
}

std::string RectText(HWND window, HWND relativeTo)
{
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, relativeTo, reinterpret_cast<POINT*>(&r), 2);
    return BoxText(r);
}

// A handle as Wine's traces write it.
void OutHandle(const void* handle)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle)));
    Out(text);
}

void OutSecondsSince(ULONGLONG started)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f\n", static_cast<double>(::GetTickCount64() - started) / 1000.0);
    Out(text);
}

// The main window is shown and its scan has ended: the wait panel is hidden.
bool ScanShown()
{
    HWND main = MainWindow();
    HWND panel = main ? ChildById(main, IDC_PANEL2) : nullptr;
    return panel && ::IsWindowVisible(main) && !::IsWindowVisible(panel);
}

// A control's text as the control itself holds it (an edit field keeps its
// own, which GetWindowText does not read across processes).
// At most `capacity` - 1 characters; waits `timeout` ms for a hung program.
std::string ControlText(HWND control, std::size_t capacity, UINT timeout)
{
    std::vector<wchar_t> buffer(capacity, L'\0');
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                          timeout, &result);
    return NarrowText(buffer.data());
}

// Visible top-level windows of the given class (all when empty).
std::vector<HWND> TopLevelWindows(const std::string& cls)
{
    struct Search {
        const std::string* cls;
        std::vector<HWND> found;
    } search{&cls, {}};
    ::EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (::IsWindowVisible(window) && (s->cls->empty() || ClassOf(window) == *s->cls))
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's find dialog (the system's, whatever its caption's language).
constexpr int kFindField = 0x480;  // edt1

HWND FindDialog()
{
    HWND main = MainWindow();
    struct Search {
        DWORD pid;
        HWND found;
    } search{main ? ProcessOf(main) : 0, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (ProcessOf(window) == s->pid && ::IsWindowVisible(window) && ClassOf(window) == "#32770" &&
                ::GetDlgItem(window, kFindField)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible message dialog of the program, other than `other`.
HWND MessageDialog(HWND other)
{
    HWND main = MainWindow();
    struct Search {
        DWORD pid;
        HWND other;
        HWND found;
    } search{main ? ProcessOf(main) : 0, other, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (window != s->other && ProcessOf(window) == s->pid && ::IsWindowVisible(window) &&
                ClassOf(window) == "TMessageForm") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// --- the tree ------------------------------------------------------------------

// Runs `read` on the main window's tree, read across processes; 1 when there
// is no tree or it cannot be read.
int ReadTree(const std::function<int(HWND tree, RemoteTree& remote)>& read)
{
    HWND tree = Tree();
    RemoteTree remote(tree);
    if (!tree || !remote.Ok())
        return 1;
    return read(tree, remote);
}

int DumpTree(HWND tree, RemoteTree& remote, const std::string* namesFile)
{
    const std::vector<std::string> names = namesFile ? LinesOf(*namesFile) : std::vector<std::string>{};
    if (namesFile && names.empty())
        return 1;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
        for (; item; item = remote.Next(item, TVGN_NEXT)) {
            RemoteTree::Item info;
            if (!remote.Get(item, info))
                return;
            if (depth == 0 && namesFile && std::find(names.begin(), names.end(), info.text) == names.end())
                continue;
            const std::string icon =
                info.image == info.selectedImage ? std::to_string(info.image) : "?";
            Out(std::to_string(depth) + "\t" + icon + "\t" + qob::EscapeControlBytes(info.text) + "\n");
            if (info.children) {
                ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
                walk(remote.Next(item, TVGN_CHILD), depth + 1);
            }
        }
    };
    walk(remote.Next(nullptr, TVGN_ROOT), 0);
    return 0;
}

int Dump(const Args& args)
{
    const std::string* namesFile = args.empty() ? nullptr : &args[0];
    return ReadTree([namesFile](HWND tree, RemoteTree& remote) { return DumpTree(tree, remote, namesFile); });
}

int Roots(const Args&)
{
    return ReadTree([](HWND, RemoteTree& remote) {
        for (HTREEITEM item = remote.Next(nullptr, TVGN_ROOT); item; item = remote.Next(item, TVGN_NEXT)) {
            RemoteTree::Item info;
            if (!remote.Get(item, info))
                return 1;
            Out(std::to_string(info.children) + "\t" + ((info.state & TVIS_EXPANDED) ? "1" : "0") + "\t" +
                info.text + "\n");
        }
        return 0;
    });
}

int ScrollTo(const Args& args)
{
    return ReadTree([&](HWND tree, RemoteTree& remote) {
        for (HTREEITEM item = remote.Next(nullptr, TVGN_ROOT); item; item = remote.Next(item, TVGN_NEXT)) {
            RemoteTree::Item info;
            if (remote.Get(item, info) && info.text == args[0]) {
                const bool scrolled = ::SendMessageW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(item));
                // Painted before the caller takes a picture of it.
                ::RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                return scrolled ? 0 : 1;
            }
        }
        return 1;
    });
}

int Items(const Args&)
{
    HWND tree = Tree();
    if (!tree)
        return 1;
    Out(std::to_string(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)) + "\n");
    return 0;
}

int TreeHandle(const Args&)
{
    HWND tree = Tree();
    if (!tree)
        return 1;
    OutHandle(tree);
    return 0;
}

int SelectedPlace(const Args&)
{
    return ReadTree([](HWND, RemoteTree& remote) {
        HTREEITEM item = remote.Next(nullptr, TVGN_CARET);
        RemoteTree::Item info;
        if (!item || !remote.Get(item, info))
            return 1;
        RemoteTree::Item parent;
        if (HTREEITEM up = remote.Next(item, TVGN_PARENT); !up || !remote.Get(up, parent))
            parent.text.clear();
        Out(qob::EscapeControlBytes(info.text) + "\t" +
            (remote.Next(nullptr, TVGN_FIRSTVISIBLE) == item ? "1" : "0") + "\t" +
            qob::EscapeControlBytes(parent.text) + "\n");
        return 0;
    });
}

// --- the main window -----------------------------------------------------------

int WaitReady(const Args& args) { return WaitFor(Number(args[0]), ScanShown) ? 0 : 1; }

int Layout(const Args&)
{
    HWND main = MainWindow();
    if (!main)
        return 1;
    RECT outer, client;
    ::GetWindowRect(main, &outer);
    ::GetClientRect(main, &client);
    Out("window " + BoxText(outer) + "\n");
    Out("client " + std::to_string(client.right) + " " + std::to_string(client.bottom) + "\n");
    Out("screen " + std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + " " +
        std::to_string(::GetSystemMetrics(SM_CYSCREEN)) + "\n");
    POINT origin{0, 0};
    ::ClientToScreen(main, &origin);
    Out("origin " + std::to_string(origin.x) + " " + std::to_string(origin.y) + "\n");
    Out(std::string("show ") + (::IsZoomed(main) ? "maximised" : ::IsIconic(main) ? "minimised" : "normal") + "\n");
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    Out("workarea " + BoxText(work) + "\n");
    const struct {
        const char* name;
        int id;
    } parts[] = {{"StatusBar1", IDC_STATUSBAR1}, {"Panel3", IDC_PANEL3}, {"Panel1", IDC_PANEL1},
                 {"Panel4", IDC_PANEL4},         {"trvRegKey", IDC_TRVREGKEY}, {"Panel2", IDC_PANEL2}};
    for (const auto& part : parts) {
        HWND child = ChildById(main, part.id);
        if (child)
            Out(std::string(part.name) + " " + RectText(child, main) + (::IsWindowVisible(child) ? " visible" : " hidden") +
                "\n");
    }
    // Asked of the program's thread, which answers no message while it
    // scans: left out then, so that the layout is read at once.
    DWORD_PTR itemHeight = 0;
    if (HWND tree = ChildById(main, IDC_TRVREGKEY);
        tree && ::SendMessageTimeoutW(tree, TVM_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 200, &itemHeight))
        Out("item-height " + std::to_string(itemHeight) + "\n");
    Out("caption " + TextOf(main) + "\n");
    return 0;
}

int Resize(const Args& args)
{
    HWND main = MainWindow();
    return main && ::SetWindowPos(main, nullptr, 0, 0, Number(args[0]), Number(args[1]),
                                  SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
}

// The focus and activation of the program's window thread.
bool ThreadInfoOf(HWND main, GUITHREADINFO& info)
{
    info = GUITHREADINFO{};
    info.cbSize = sizeof info;
    return main && ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info);
}

int Focus(const Args&)
{
    GUITHREADINFO info;
    if (!ThreadInfoOf(MainWindow(), info))
        return 1;
    Out(info.hwndFocus ? ClassOf(info.hwndFocus) + "\n" : "none\n");
    return 0;
}

int Active(const Args&)
{
    HWND main = MainWindow();
    GUITHREADINFO info;
    if (!ThreadInfoOf(main, info))
        return 1;
    Out(info.hwndActive == main ? "main\n" : info.hwndActive ? ClassOf(info.hwndActive) + "\n" : "none\n");
    return 0;
}

int CursorHandle(const Args&)
{
    // The foreground thread's cursor: the program's while its window is active.
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetCursorInfo(&info))
        return 1;
    OutHandle(info.hCursor);
    return 0;
}

int Status(const Args&)
{
    HWND main = MainWindow();
    HWND bar = main ? ChildById(main, IDC_STATUSBAR1) : nullptr;
    if (!bar)
        return 1;
    // GetWindowText reads only the caption of another process's window.
    Out(ControlText(bar, 1024, 5000) + "\n");
    return 0;
}

int Close(const Args& args)
{
    HWND main = MainWindow();
    if (!main)
        return 1;
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(main));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const DWORD waited = process ? ::WaitForSingleObject(process, static_cast<DWORD>(Number(args[0]))) : WAIT_FAILED;
    if (process)
        ::CloseHandle(process);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

// What the painting thread of `hold` needs.
struct Repainting {
    HWND target;
    std::atomic<bool> stop{false};
};

int Hold(const Args& args)
{
    HWND main = MainWindow();
    if (!main)
        return 1;
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(Number(args[1]));
    // A timer tick is taken only when no window of the program waits to
    // be painted; keys, clicks and posted messages still come first. The
    // whole main window, its parts included, takes long enough to paint
    // for the next invalidation to come before the program is done, and
    // a second thread covers the first's pauses.
    Repainting repainting{main};
    auto invalidate = [](void* parameter) -> DWORD {
        auto* r = static_cast<Repainting*>(parameter);
        while (!r->stop)
            ::RedrawWindow(r->target, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        return 0;
    };
    HANDLE second = ::CreateThread(nullptr, 0, invalidate, &repainting, 0, nullptr);
    bool told = false;
    while (::GetTickCount64() < end && ::GetFileAttributesW(WidenText(args[0]).c_str()) == INVALID_FILE_ATTRIBUTES) {
        for (int i = 0; i < 20; ++i)
            ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        if (!told) {
            Out("holding\n");
            std::fflush(stdout);
            told = true;
        }
    }
    repainting.stop = true;
    if (second) {
        ::WaitForSingleObject(second, INFINITE);
        ::CloseHandle(second);
    }
    return 0;
}

// --- the program's other windows --------------------------------------------------

int WaitWindow(const Args& args)
{
    HWND found = nullptr;
    if (!WaitFor(Number(args[1]), [&] { return (found = ProgramWindow(args[0])) != nullptr; }))
        return 1;
    Out("class " + ClassOf(found) + "\n");
    ::EnumChildWindows(
        found,
        [](HWND child, LPARAM) -> BOOL {
            const std::string cls = ClassOf(child);
            if ((cls == "Static" || cls == "TMessageText") && !TextOf(child).empty())
                Out("text " + TextOf(child) + "\n");
            return TRUE;
        },
        0);
    return 0;
}

int Gone(const Args& args)
{
    return WaitFor(Number(args[1]), [&] { return ProgramWindow(args[0]) == nullptr; }) ? 0 : 1;
}

int PressOk(const Args& args)
{
    HWND found = ProgramWindow(args[0]);
    if (!found)
        return 1;
    ::PostMessageW(found, WM_COMMAND, IDOK, 0);
    return 0;
}

int Dialog(const Args& args)
{
    HWND other =
        args.size() == 2 ? reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(args[1].c_str(), nullptr, 16)))
                         : nullptr;
    HWND dialog = nullptr;
    if (!WaitFor(Number(args[0]), [&] { return (dialog = MessageDialog(other)) != nullptr; }))
        return 1;
    char handle[32];
    std::snprintf(handle, sizeof handle, "%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(dialog)));
    Out(std::string("window ") + handle + "\n");
    Out("caption " + TextOf(dialog) + "\n");
    HWND text = ::FindWindowExW(dialog, nullptr, L"TMessageText", nullptr);
    Out("text " + qob::EscapeControlBytes(text ? TextOf(text) : "") + "\n");
    RECT client{}, icon{};
    ::GetClientRect(dialog, &client);
    Out("client " + std::to_string(client.right) + " " + std::to_string(client.bottom) + "\n");
    if (HWND image = ::FindWindowExW(dialog, nullptr, L"STATIC", nullptr); image && ::GetWindowRect(image, &icon))
        Out("icon " + std::to_string(icon.right - icon.left) + " " + std::to_string(icon.bottom - icon.top) + "\n");
    return 0;
}

int SetFindText(const Args& args)
{
    HWND dialog = FindDialog();
    HWND field = dialog ? ::GetDlgItem(dialog, kFindField) : nullptr;
    return field && ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WidenText(args[0]).c_str())) ? 0
                                                                                                            : 1;
}

int Window(const Args& args)
{
    HWND found = ProgramWindow(args[0]);
    if (!found)
        return 1;
    RECT outer, client;
    ::GetWindowRect(found, &outer);
    ::GetClientRect(found, &client);
    const LONG_PTR style = ::GetWindowLongPtrW(found, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(found, GWL_EXSTYLE);
    auto flag = [](bool on) { return on ? std::string("1") : std::string("0"); };
    Out("rect " + BoxText(outer) + "\n");
    Out("client " + std::to_string(client.right) + " " + std::to_string(client.bottom) + "\n");
    Out("topmost " + flag(exStyle & WS_EX_TOPMOST) + "\n");
    Out("toolwindow " + flag(exStyle & WS_EX_TOOLWINDOW) + "\n");
    Out("sysmenu " + flag(style & WS_SYSMENU) + "\n");
    Out("enabled " + flag(::IsWindowEnabled(found)) + "\n");
    return 0;
}

int Move(const Args& args)
{
    HWND found = ProgramWindow(args[0]);
    return found && ::SetWindowPos(found, nullptr, Number(args[1]), Number(args[2]), 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
}

// One line of the About box's controls: "id class left top width height
// flags text".
std::string AboutControlLine(HWND box, HWND child)
{
    const LONG_PTR childStyle = ::GetWindowLongPtrW(child, GWL_STYLE);
    const LONG_PTR childEx = ::GetWindowLongPtrW(child, GWL_EXSTYLE);
    std::string flags;
    if (ClassOf(child) == "Edit" && (childStyle & ES_READONLY))
        flags += "readonly,";
    if ((childStyle & WS_BORDER) || (childEx & WS_EX_CLIENTEDGE))
        flags += "border,";
    if ((childStyle & 0x0F) == BS_DEFPUSHBUTTON && ClassOf(child) == "Button")
        flags += "default,";
    if (childStyle & WS_TABSTOP)
        flags += "tabstop,";
    return std::to_string(::GetDlgCtrlID(child)) + " " + ClassOf(child) + " " + RectText(child, box) + " " +
           (flags.empty() ? "-" : flags.substr(0, flags.size() - 1)) + " " + ControlText(child, 2048, 2000) + "\n";
}

int About(const Args&)
{
    HWND main = MainWindow();
    HWND box = ::FindWindowW(QOB_CLASS_ABOUT, nullptr);
    if (!main || !box)
        return 1;
    RECT client;
    ::GetClientRect(box, &client);
    POINT origin{0, 0};
    ::ClientToScreen(box, &origin);
    Out(std::string("visible ") + (::IsWindowVisible(box) ? "1" : "0") + "\n");
    Out("window " + RectText(box, nullptr) + "\n");
    Out("client " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " " + std::to_string(client.right) +
        " " + std::to_string(client.bottom) + "\n");
    Out("caption " + TextOf(box) + "\n");
    Out(std::string("main-enabled ") + (::IsWindowEnabled(main) ? "1" : "0") + "\n");
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info);
    Out(std::string("active ") + (info.hwndActive == box ? "about" : info.hwndActive == main ? "main" : "other") +
        "\n");
    Out("focus " + std::to_string(info.hwndFocus ? ::GetDlgCtrlID(info.hwndFocus) : 0) + "\n");
    const LONG_PTR style = ::GetWindowLongPtrW(box, GWL_STYLE);
    Out(std::string("frame") + ((style & WS_THICKFRAME) ? " sizeable" : "") + ((style & WS_MINIMIZEBOX) ? " min" : "") +
        ((style & WS_MAXIMIZEBOX) ? " max" : "") + ((style & WS_SYSMENU) ? " close" : "") + "\n");
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        Out(AboutControlLine(box, child));
    return 0;
}

// --- timing --------------------------------------------------------------------

int TimeStart(const Args& args)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const ULONGLONG started = ::GetTickCount64();
    std::wstring line = WidenText("\"" + args[0] + "\"");
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (!WaitFor(Number(args[1]), ScanShown))
        return 1;
    OutSecondsSince(started);
    return 0;
}

int TimeSearch(const Args& args)
{
    HWND main = MainWindow();
    if (!main)
        return 1;
    ::PostMessageW(main, WM_COMMAND, IDM_FIND1, 0);
    HWND dialog = nullptr;
    if (!WaitFor(10000, [&] { return (dialog = FindDialog()) != nullptr; }))
        return 1;
    ::SendMessageW(::GetDlgItem(dialog, kFindField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WidenText(args[0]).c_str()));
    const ULONGLONG started = ::GetTickCount64();
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // Find Next
    HWND box = nullptr;
    if (!WaitFor(Number(args[1]), [&] { return (box = MessageDialog(nullptr)) != nullptr; }))
        return 1;
    OutSecondsSince(started);
    ::PostMessageW(box, WM_CLOSE, 0, 0);
    return WaitFor(10000, [] { return MessageDialog(nullptr) == nullptr; }) ? 0 : 1;
}

// --- the desktop ----------------------------------------------------------------

int Windows(const Args&)
{
    HWND main = MainWindow();
    const DWORD program = main ? ProcessOf(main) : 0;
    for (HWND window : TopLevelWindows(""))
        Out(std::string(ProcessOf(window) == program ? "program" : "other") + "\t" + ClassOf(window) + "\t" +
            TextOf(window) + "\n");
    return 0;
}

int SetOwner(const Args& args)
{
    qob::RegistryKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, qob::WidenText(args[0]).c_str(), 0, WRITE_OWNER, key.Out()) != ERROR_SUCCESS)
        return 1;
    PSID sid = nullptr;
    if (!::ConvertStringSidToSidW(qob::WidenText(args[1]).c_str(), &sid))
        return 1;
    const std::unique_ptr<void, decltype(&::LocalFree)> held(sid, &::LocalFree);
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorOwner(&descriptor, sid, FALSE);
    return ::RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS ? 0 : 1;
}

int Clipboard(const Args&)
{
    if (!::OpenClipboard(nullptr))
        return 1;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (text)
        Out(NarrowText(text) + "\n");
    if (data)
        ::GlobalUnlock(data);
    ::CloseClipboard();
    return text ? 0 : 1;
}

int WaitClass(const Args& args)
{
    std::vector<HWND> found;
    if (!WaitFor(Number(args[1]), [&] { return !(found = TopLevelWindows(args[0])).empty(); }))
        return 1;
    Out(TextOf(found.front()) + "\n");
    return 0;
}

int CloseClass(const Args& args)
{
    for (HWND window : TopLevelWindows(args[0]))
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitFor(Number(args[1]), [&] { return TopLevelWindows(args[0]).empty(); }) ? 0 : 1;
}

// --- a list view of another window -------------------------------------------------

// Reads and sets items of a list view in another process.
class RemoteList {
public:
    explicit RemoteList(HWND list) : list_(list)
    {
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(list));
        if (process_)
            remote_ = static_cast<BYTE*>(
                ::VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteList()
    {
        if (remote_)
            ::VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
        if (process_)
            ::CloseHandle(process_);
    }
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;
    bool Ok() const { return remote_ != nullptr; }
    int Count() const { return static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
    int Columns() const
    {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
        return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    }
    bool Selected(int item) const
    {
        return ::SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) != 0;
    }
    bool Checked(int item) const
    {
        return (static_cast<UINT>(::SendMessageW(list_, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK)) >> 12) == 2;
    }
    std::string Text(int item, int column)
    {
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = reinterpret_cast<wchar_t*>(remote_ + sizeof(LVITEMW));
        cell.cchTextMax = kTextCapacity;
        SIZE_T done = 0;
        if (!::WriteProcessMemory(process_, remote_, &cell, sizeof cell, &done))
            return {};
        const auto length = ::SendMessageW(list_, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote_));
        std::vector<wchar_t> text(kTextCapacity + 1, L'\0');
        ::ReadProcessMemory(process_, cell.pszText, text.data(), static_cast<SIZE_T>(length) * sizeof(wchar_t), &done);
        return NarrowText(text.data());
    }
    bool Check(int item)
    {
        LVITEMW state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(2);
        SIZE_T done = 0;
        return ::WriteProcessMemory(process_, remote_, &state, sizeof state, &done) &&
               ::SendMessageW(list_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(remote_));
    }

    // The rectangle of a header item, in the header's client coordinates.
    bool HeaderItemRect(int column, RECT& box)
    {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
        SIZE_T done = 0;
        return header && ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(remote_)) &&
               ::ReadProcessMemory(process_, remote_, &box, sizeof box, &done);
    }

private:
    static constexpr SIZE_T kSize = 8192;
    static constexpr int kTextCapacity = static_cast<int>((kSize - sizeof(LVITEMW)) / sizeof(wchar_t));
    HWND list_;
    HANDLE process_ = nullptr;
    BYTE* remote_ = nullptr;
};

// The first child of that class of the program's window with that caption.
HWND ChildOfClass(const std::string& caption, const wchar_t* cls)
{
    HWND window = ProgramWindow(caption);
    return window ? ::FindWindowExW(window, nullptr, cls, nullptr) : nullptr;
}

int ListViewRows(const Args& args)
{
    HWND list = ChildOfClass(args[0], WC_LISTVIEWW);
    if (!list)
        return 1;
    RemoteList remote(list);
    if (!remote.Ok())
        return 1;
    const int columns = std::max(remote.Columns(), 1);
    for (int item = 0; item < remote.Count(); ++item) {
        std::string line = remote.Selected(item) ? "*" : "-";
        if (remote.Checked(item))
            line += 'x';
        for (int column = 0; column < columns; ++column) {
            line += '\t';
            line += qob::EscapeControlBytes(remote.Text(item, column));
        }
        line += '\n';
        Out(line);
    }
    return 0;
}

int ListViewColumns(const Args& args)
{
    HWND list = ChildOfClass(args[0], WC_LISTVIEWW);
    if (!list)
        return 1;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::string line;
    for (int column = 0; column < count; ++column) {
        if (column > 0)
            line += ' ';
        line += std::to_string(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
    Out(line + "\n");
    return 0;
}

int Controls(const Args& args)
{
    HWND window = ProgramWindow(args[0]);
    if (!window)
        return 1;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::string text;
        for (char c : ControlText(child, 8192, 2000)) {
            if (c == '\n')
                text += "\\n";
            else if (c != '\r')
                text += c;
        }
        Out(std::to_string(::GetDlgCtrlID(child)) + "\t" + ClassOf(child) + "\t" +
            (::IsWindowEnabled(child) ? "1" : "0") + "\t" + text + "\n");
    }
    return 0;
}

int ListViewCheck(const Args& args)
{
    HWND list = ChildOfClass(args[0], WC_LISTVIEWW);
    if (!list)
        return 1;
    RemoteList remote(list);
    const int column = Number(args[1]);
    int result = remote.Ok() ? 0 : 1;
    for (std::size_t i = 2; i < args.size(); ++i) {
        bool found = false;
        for (int item = 0; item < remote.Count() && !found; ++item)
            found = remote.Text(item, column) == args[i] && remote.Check(item);
        if (!found)
            result = 1;
    }
    return result;
}

int ListViewSort(const Args& args)
{
    HWND list = ChildOfClass(args[0], WC_LISTVIEWW);
    if (!list)
        return 1;
    RemoteList remote(list);
    RECT box{};
    if (!remote.Ok() || !remote.HeaderItemRect(Number(args[1]), box))
        return 1;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(header, WM_LBUTTONUP, 0, at);
    return 0;
}

int WindowStatus(const Args& args)
{
    HWND bar = ChildOfClass(args[0], STATUSCLASSNAMEW);
    if (!bar)
        return 1;
    Out(ControlText(bar, 1024, 5000) + "\n");
    return 0;
}

int ClassStatus(const Args& args)
{
    const std::vector<HWND> windows = TopLevelWindows(args[0]);
    HWND bar = windows.empty() ? nullptr : ::FindWindowExW(windows.front(), nullptr, STATUSCLASSNAMEW, nullptr);
    if (!bar)
        return 1;
    Out(ControlText(bar, 1024, 5000) + "\n");
    return 0;
}

int ClickButton(const Args& args)
{
    HWND window = ProgramWindow(args[0]);
    for (HWND button = window ? ::FindWindowExW(window, nullptr, L"Button", nullptr) : nullptr; button;
         button = ::FindWindowExW(window, button, L"Button", nullptr)) {
        std::string text = TextOf(button);
        std::erase(text, '&');
        if (text == args[1]) {
            ::PostMessageW(button, BM_CLICK, 0, 0);
            return 0;
        }
    }
    return 1;
}

// --- the commands -----------------------------------------------------------------

constexpr std::size_t kAnyCount = static_cast<std::size_t>(-1);

struct Command {
    const char* name;
    std::size_t fewestArgs, mostArgs;  // words after the name
    int (*run)(const Args& args);
};

const Command kCommands[] = {
    {"wait-ready", 1, 1, WaitReady},
    {"time-start", 2, 2, TimeStart},
    {"dump", 0, 1, Dump},
    {"roots", 0, kAnyCount, Roots},
    {"items", 0, kAnyCount, Items},
    {"scroll-to", 1, 1, ScrollTo},
    {"tree-handle", 0, kAnyCount, TreeHandle},
    {"layout", 0, kAnyCount, Layout},
    {"focus", 0, kAnyCount, Focus},
    {"active", 0, kAnyCount, Active},
    {"cursor-handle", 0, kAnyCount, CursorHandle},
    {"resize", 2, 2, Resize},
    {"wait-window", 2, 2, WaitWindow},
    {"gone", 2, 2, Gone},
    {"press-ok", 1, 1, PressOk},
    {"close", 1, 1, Close},
    {"dialog", 1, 2, Dialog},
    {"status", 0, kAnyCount, Status},
    {"find-text", 1, 1, SetFindText},
    {"selected-place", 0, kAnyCount, SelectedPlace},
    {"window", 1, 1, Window},
    {"hold", 2, 2, Hold},
    {"about", 0, kAnyCount, About},
    {"windows", 0, kAnyCount, Windows},
    {"move", 3, 3, Move},
    {"time-search", 2, 2, TimeSearch},
    {"clipboard", 0, kAnyCount, Clipboard},
    {"set-owner", 2, 2, SetOwner},
    {"wait-class", 2, 2, WaitClass},
    {"close-class", 2, 2, CloseClass},
    {"listview-rows", 1, 1, ListViewRows},
    {"listview-columns", 1, 1, ListViewColumns},
    {"controls", 1, 1, Controls},
    {"listview-check", 3, kAnyCount, ListViewCheck},
    {"listview-sort", 2, 2, ListViewSort},
    {"window-status", 1, 1, WindowStatus},
    {"class-status", 1, 1, ClassStatus},
    {"click", 2, 2, ClickButton},
};

int Usage()
{
    std::fprintf(stderr, "usage: QobDriver COMMAND [ARGS]\n");
    return 2;
}

}  // namespace

int main()
{
    const std::vector<std::string> words = qob::e2e::CommandLineWords();
    if (words.size() < 2)
        return Usage();
    const std::string& name = words[1];
    const Args args(words.begin() + 2, words.end());
    for (const Command& command : kCommands) {
        if (name == command.name && args.size() >= command.fewestArgs && args.size() <= command.mostArgs)
            return command.run(args);
    }
    return Usage();
}
