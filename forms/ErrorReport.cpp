#include "forms/Application.h"
#include "forms/ErrorText.h"
#include "catalogue/Win32Text.h"

namespace qob {

void TApplication::ShowException(const std::string& message)
{
    if (HWND capture = ::GetCapture())
        ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
    const std::string text = ErrorReportText(message);
    // The box belongs to the application, not to one of its windows, so it
    // has no owner; the program's windows are disabled around it here rather
    // than left to MB_TASKMODAL, and the window that was active before gets
    // the activation back.
    TaskWindowsDisabled others;
    ::MessageBoxW(nullptr, WidenText(text).c_str(), WidenText(title_).c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    others.End();
}

}  // namespace qob
