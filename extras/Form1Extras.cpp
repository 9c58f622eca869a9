// The auxiliary commands of the main window: registry editor, tutorial page
// and About box. Failures of the shell are not reported: the command then
// simply has no effect.
#include "app/Form1.h"
#include "extras/ProgramFolder.h"
#include "extras/frmAbout.h"

#include <shellapi.h>

namespace qob {

namespace {

// The full path of the running program file, however long it is.
std::string ProgramFilePath()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: try again with more room
    }
}

}  // namespace

void TForm1::About1Click(void* /*Sender*/)
{
    if (frmAbout)
        frmAbout->ShowModal();
}

void TForm1::Tutorial1Click(void* /*Sender*/)
{
    const std::string program = ProgramFilePath();
    if (program.empty())
        return;
    const std::string page = TutorialPagePath(program);
    ::ShellExecuteA(Handle(), "open", page.c_str(), nullptr, nullptr, SW_SHOW);
}

void TForm1::btnRegeditClick(void* /*Sender*/)
{
    // Found on the system's search path; the editor runs on its own.
    ::ShellExecuteA(Handle(), "open", "Regedit.Exe", "", "", SW_SHOW);
}

}  // namespace qob
