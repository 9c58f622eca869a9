#include "app/Application.h"
#include "app/ErrorText.h"

namespace qob {

void TApplication::ShowException(const std::string& message)
{
    if (HWND capture = ::GetCapture())
        ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
    const std::string text = ErrorReportText(message);
    ::MessageBoxA(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace qob
