#include "forms/Handoffs.h"

#include "forms/MessageDialog.h"
#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "forms/FormHandles.h"
#include "texts/Texts.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

namespace qob {

namespace {

// The key of the current user where the registry editor keeps the key it
// shows, and opens at when it starts.
constexpr const wchar_t* kEditorSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

// "<Windows folder>\regedit.exe"; empty when the folder is not known.
std::wstring RegistryEditorFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path += L'\\';
    return path + L"regedit.exe";
}

// Wine's registry editor opens at LastKey only when the name starts with the
// root key: the computer's name before it, in any spelling, leaves it at its
// root. Windows' editor (Windows 10 and later) names the computer first, in
// the user interface's language.
bool UnderWine()
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

bool WriteEditorKey(const std::string& name)
{
    RegistryKey settings;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kEditorSettings, 0, nullptr, 0, KEY_SET_VALUE, nullptr, settings.Out(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring value = WidenText(name);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(settings.get(), L"LastKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            bytes) == ERROR_SUCCESS;
}

// A moveable global memory block, freed unless the clipboard took it.
struct GlobalRelease {
    void operator()(HGLOBAL memory) const { ::GlobalFree(memory); }
};
using GlobalHandle = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalRelease>;

// The clipboard, open while this lives.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(::OpenClipboard(owner) != 0) {}
    ~OpenClipboardScope()
    {
        if (open_)
            ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

// Writes the bytes to the file, replacing it; the system's reason when it fails.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes, std::string& reason)
{
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (!file.valid()) {
        reason = SystemErrorText(::GetLastError());
        return false;
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        reason = SystemErrorText(::GetLastError());
        return false;
    }
    return true;
}

}  // namespace

void StartRegistryEditor(HWND owner)
{
    const std::wstring editor = RegistryEditorFile();
    if (!editor.empty())
        ::ShellExecuteW(owner, L"open", editor.c_str(), L"", L"", SW_SHOW);
}

void OpenRegistryEditorAt(HWND owner, const KeyInView& key)
{
    Win32KeyStore store;
    const KeyInView there = NearestExistingKey(store, key);
    const std::string computer = UnderWine() ? std::string() : std::string(Text(TextId::RegistryEditorComputer));
    WriteEditorKey(RegistryEditorPath(computer, there));
    StartRegistryEditor(owner);
}

bool CopyToClipboard(HWND owner, const std::string& text)
{
    const std::wstring wide = WidenText(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    GlobalHandle memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* place = ::GlobalLock(memory.get());
    if (!place)
        return false;
    std::memcpy(place, wide.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    OpenClipboardScope clipboard(owner);
    if (!clipboard.Open() || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    memory.release();  // the clipboard owns it now
    return true;
}

bool SaveReportAs(HWND owner, const std::string& contents)
{
    // The filter's pairs end with a NUL each, the list with another.
    const std::wstring name = WidenText(std::string(Text(TextId::ReportFilter)));
    std::wstring filter = name + L'\0' + L"*.csv" + L'\0' + L'\0';
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&dialog))
        return false;
    file.resize(std::wcslen(file.c_str()));
    std::string reason;
    if (!WriteFileBytes(file, contents, reason)) {
        ShowMessageDialog(Text(TextId::ReportNotSaved, {NarrowText(file), reason}), mtError, mbOKOnly, 0);
        return false;
    }
    return true;
}

UINT ShowPopupMenu(HWND owner, POINT at, const std::vector<PopupItem>& items)
{
    MenuHandle menu(::CreatePopupMenu());
    if (!menu)
        return 0;
    for (const PopupItem& item : items)
        ::AppendMenuW(menu.get(), MF_STRING | (item.enabled ? 0 : MF_GRAYED), item.command,
                      WidenText(item.text).c_str());
    return static_cast<UINT>(
        ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
}

POINT PopupPosition(HWND control, LPARAM position, const RECT& item)
{
    if (position != -1)
        return POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    POINT at{(item.left + item.right) / 2, item.bottom};
    ::ClientToScreen(control, &at);
    return at;
}

}  // namespace qob
