#include "extras/ShellCommands.h"

#include "catalogue/Win32Text.h"
#include "extras/ProgramFolder.h"
#include "forms/Handoffs.h"
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

void OpenTutorialPage(HWND owner)
{
    const std::string program = ProgramFilePath();
    if (program.empty())
        return;
    ::ShellExecuteW(owner, L"open", WidenText(TutorialPagePath(program, SelectedLanguage())).c_str(), nullptr,
                    nullptr, SW_SHOW);
}

void OpenRegistryEditor(HWND owner) { StartRegistryEditor(owner); }

}  // namespace qob
