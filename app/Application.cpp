#include "app/Application.h"

namespace qob {

TApplication Application;

void TApplication::Initialize(HINSTANCE instance) { instance_ = instance; }

bool TApplication::ProcessMessage()
{
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        exitCode_ = static_cast<int>(msg.wParam);
        return false;
    }
    if (modelessDialog_ && ::IsDialogMessageA(modelessDialog_, &msg))
        return true;
    if (accelerators_ && mainWindow_ && ::TranslateAcceleratorA(mainWindow_, accelerators_, &msg))
        return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

int TApplication::Run()
{
    while (ProcessMessage()) {
    }
    return exitCode_;
}

void TApplication::ModalLoop(const std::function<bool()>& done)
{
    while (!terminated_ && !done()) {
        if (!ProcessMessage()) {
            ::PostQuitMessage(exitCode_);  // the outer loop must end too
            break;
        }
    }
}

}  // namespace qob
