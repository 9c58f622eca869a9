#include "app/Application.h"

namespace qob {

void TApplication::SetCursor(short cursor)
{
    cursor_ = cursor;
    ++cursorSetCount_;
    if (cursor != crDefault) {
        ApplyCursorOverride();
        return;
    }
    // Let the window under the pointer choose its own pointer again.
    POINT pt;
    if (::GetCursorPos(&pt)) {
        HWND under = ::WindowFromPoint(pt);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(under, &pid);
        if (under && pid == ::GetCurrentProcessId())
            ::SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                           MAKELPARAM(::SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), WM_MOUSEMOVE));
    }
}

bool TApplication::ApplyCursorOverride() const
{
    if (cursor_ == crDefault)
        return false;
    const auto id = static_cast<ULONG_PTR>(cursor_ == crHourGlass ? 32514 /* IDC_WAIT */ : 32650 /* IDC_APPSTARTING */);
    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
    return true;
}

TApplication::ModalCursorScope::ModalCursorScope(TApplication& app)
    : app_(app), saved_(app.Cursor())
{
    app_.SetCursor(crDefault);
    countAfterOpening_ = app_.CursorSetCount();
}

TApplication::ModalCursorScope::~ModalCursorScope()
{
    app_.SetCursor(app_.CursorSetCount() == countAfterOpening_ ? saved_ : crDefault);
}

}  // namespace qob
