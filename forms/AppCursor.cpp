#include "forms/Application.h"

namespace qob {

namespace {

// The program's window under the pointer, or null.
HWND OwnWindowUnderPointer(POINT& pt)
{
    if (!::GetCursorPos(&pt))
        return nullptr;
    HWND under = ::WindowFromPoint(pt);
    DWORD pid = 0;
    if (!under || !::GetWindowThreadProcessId(under, &pid) || pid != ::GetCurrentProcessId())
        return nullptr;
    return under;
}

// Makes the pointer show what the program wants now: the override when one
// is in force, otherwise whatever the window under the pointer chooses.
void RefreshPointer(const TApplication& app)
{
    POINT pt;
    HWND under = OwnWindowUnderPointer(pt);
    if (!under)
        return;
    if (app.ApplyCursorOverride())
        return;
    const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace

void TApplication::SetCursor(short cursor)
{
    cursor_.Set(cursor);
    RefreshPointer(*this);
}

void TApplication::KeepCursorShown()
{
    if (cursor_.Value() == crDefault)
        return;
    const ULONGLONG now = ::GetTickCount64();
    if (now - cursorShownAt_ < 100)
        return;
    cursorShownAt_ = now;
    RefreshPointer(*this);
}

bool TApplication::ApplyCursorOverride() const
{
    // The system's cursors IDC_WAIT, IDC_APPSTARTING and IDC_ARROW.
    WORD shape;
    switch (cursor_.Value()) {
    case crDefault:
        return false;
    case crHourGlass:
        shape = 32514;
        break;
    case crAppStart:
        shape = 32650;
        break;
    default:
        shape = 32512;  // no other value is used
        break;
    }
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(shape)));
    return true;
}

TApplication::ModalCursorScope::ModalCursorScope(TApplication& app)
    : app_(app), mark_(app.cursor_.OpenModal())
{
    RefreshPointer(app_);
}

TApplication::ModalCursorScope::~ModalCursorScope()
{
    app_.cursor_.CloseModal(mark_);
    RefreshPointer(app_);
}

}  // namespace qob
