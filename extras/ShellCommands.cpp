#include "extras/ShellCommands.h"

#include "catalogue/Win32Text.h"
#include "extras/ProgramFolder.h"
#include "texts/Texts.h"

#include <shellapi.h>

#include <string>

namespace qob {

std::string ProgramFilePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return NarrowText(path);
        }
        path.resize(path.size() * 2);  // cut short: try again with more room
    }
}

namespace {

// "<Windows folder>\regedit.exe"; empty when the folder is not known.
std::wstring RegistryEditorPath()
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

}  // namespace

void OpenTutorialPage(HWND owner)
{
    const std::string program = ProgramFilePath();
    if (program.empty())
        return;
    ::ShellExecuteW(owner, L"open", WidenText(TutorialPagePath(program, SelectedLanguage())).c_str(), nullptr,
                    nullptr, SW_SHOW);
}

void OpenRegistryEditor(HWND owner)
{
    // The editor in the Windows folder, by its full path: a program of that
    // name in the program's folder or the current one never runs instead.
    const std::wstring editor = RegistryEditorPath();
    if (!editor.empty())
        ::ShellExecuteW(owner, L"open", editor.c_str(), L"", L"", SW_SHOW);
}

}  // namespace qob
