#include "extras/Win32Elevation.h"

#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Text.h"
#include "extras/ShellCommands.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace qob {

Win32Elevation::Win32Elevation()
{
    // A token that cannot be asked reads as not elevated, with no split
    // token: the program then offers what a standard user may need.
    KernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Out()))
        return;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        elevated_ = elevation.TokenIsElevated != 0;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    if (::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
        if (type == TokenElevationTypeFull)
            type_ = ElevationType::Full;
        else if (type == TokenElevationTypeLimited)
            type_ = ElevationType::Limited;
    }
}

long Win32Elevation::StartElevated()
{
    const std::wstring file = WidenText(ProgramFilePath());
    if (file.empty())
        return static_cast<long>(::GetLastError());
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The program says itself what went wrong; the new process's handle
    // tells that it started.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = ::GetActiveWindow();
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info))
        return static_cast<long>(::GetLastError());  // ERROR_CANCELLED when the user said No
    const KernelHandle process(info.hProcess);
    return ERROR_SUCCESS;
}

}  // namespace qob
