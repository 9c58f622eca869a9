#include "forms/FormControls.h"
#include "forms/WindowBinding.h"

#include "forms/Application.h"
#include "forms/WindowDpi.h"
#include "catalogue/TreeModel.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

#include <windowsx.h>

#include <iterator>

namespace qob {

// --- TTimer ---------------------------------------------------------------

TTimer::~TTimer()
{
    if (enabled_ && owner_ && ::IsWindow(owner_))
        ::KillTimer(owner_, id_);
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled_)
        ::KillTimer(owner_, id_);
    enabled_ = false;
    if (!enabled)
        return;
    if (!owner_ || ::SetTimer(owner_, id_, interval_, nullptr) == 0)
        throw EOutOfResources(std::string(Text(TextId::ErrorNoTimer)));
    enabled_ = true;
}

bool TTimer::Tick(UINT_PTR id)
{
    if (id != id_)
        return false;
    if (enabled_ && OnTimer)
        Application.Guard(OnTimer);
    return true;
}

// --- graphic controls -------------------------------------------------------

void TBevel::Paint(HDC dc)
{
    RECT r = bounds_;
    const UINT flags = edge_ == Edge::Top ? BF_TOP : edge_ == Edge::Left ? BF_LEFT : BF_BOTTOM;
    ::DrawEdge(dc, &r, EDGE_ETCHED, flags);
}

TLabel::TLabel(int left, int top, const std::string& caption, HFONT font)
    : TGraphicControl(RECT{left, top, left, top}), caption_(WidenText(caption)), font_(font)
{
}

void TLabel::Paint(HDC dc)
{
    SelectedObject font(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::TextOutW(dc, bounds_.left, bounds_.top, caption_.data(), static_cast<int>(caption_.size()));
}

void TImage::Paint(HDC dc)
{
    ::DrawIconEx(dc, bounds_.left, bounds_.top, icon_, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top,
                 0, nullptr, DI_NORMAL);
}

ImageListHandle LoadTransparentPicture(int resource, int dpi, SIZE& size)
{
    size = SIZE{0, 0};
    auto load = [](int id) {
        return BitmapHandle(static_cast<HBITMAP>(::LoadImageW(Application.Instance(), MAKEINTRESOURCEW(id),
                                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    };
    BitmapHandle bitmap = load(PictureResource(resource, dpi));
    if (!bitmap)
        bitmap = load(resource);
    if (!bitmap)
        return nullptr;
    BITMAP info{};
    ::GetObjectW(bitmap.get(), sizeof info, &info);
    size = SIZE{info.bmWidth, info.bmHeight};
    COLORREF transparent = 0;
    {
        MemoryDC dc(nullptr);
        SelectedObject selected(dc.Get(), bitmap.get());
        transparent = ::GetPixel(dc.Get(), 0, info.bmHeight - 1);
    }
    ImageListHandle list(::ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (list)
        ::ImageList_AddMasked(list.get(), bitmap.get(), transparent);
    return list;
}

IconHandle LoadProgramIcon(int resource, int side)
{
    return IconHandle(static_cast<HICON>(
        ::LoadImageW(Application.Instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON, side, side, 0)));
}

TSpeedButton::TSpeedButton(RECT bounds, int glyphResource, const std::string& hint, int dpi)
    : TGraphicControl(bounds), glyphResource_(glyphResource), hint_(WidenText(hint))
{
    LoadGlyph(dpi);
}

void TSpeedButton::LoadGlyph(int dpi) { glyph_ = LoadTransparentPicture(glyphResource_, dpi, glyphSize_); }

void TSpeedButton::Paint(HDC dc)
{
    RECT r = bounds_;
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    if (!glyph_)
        return;
    const int shift = down ? 1 : 0;
    const int x = bounds_.left + (bounds_.right - bounds_.left - glyphSize_.cx) / 2 + shift;
    const int y = bounds_.top + (bounds_.bottom - bounds_.top - glyphSize_.cy) / 2 + shift;
    ::ImageList_Draw(glyph_.get(), 0, dc, x, y, ILD_TRANSPARENT);
}

// --- TPanel -----------------------------------------------------------------

namespace {
const wchar_t* const kPanelClass = L"TPanel";
}

TPanel::~TPanel()
{
    if (handle_ && ::IsWindow(handle_))
        ::DestroyWindow(handle_);
}

void TPanel::Create(HWND parent, int id, RECT bounds, Bevel bevel, const std::string& caption, HFONT font)
{
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(Application.Instance(), kPanelClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = Application.Instance();
        wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kPanelClass;
        ::RegisterClassExW(&wc);
    }
    bevel_ = bevel;
    caption_ = WidenText(caption);
    font_ = font;
    ::CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, bounds.left,
                      bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Application.Instance(), this);
    if (!handle_)
        throw std::runtime_error(std::string(Text(TextId::ErrorNoWindow)));
    // A later sibling lies above an earlier one.
    ::SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TPanel::Add(TGraphicControl& control) { controls_.push_back(&control); }

void TPanel::Add(TSpeedButton& button)
{
    controls_.push_back(&button);
    buttons_.push_back(&button);
    if (!tooltip_) {
        tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                     Application.Instance(), nullptr);
    }
    if (tooltip_) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = handle_;
        tool.uId = buttons_.size();
        tool.rect = button.Bounds();
        tool.hinst = Application.Instance();
        tool.lpszText = const_cast<wchar_t*>(button.Hint().c_str());
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TPanel::SetBounds(int left, int top, int width, int height)
{
    ::MoveWindow(handle_, left, top, width, height, TRUE);
}

void TPanel::SetVisible(bool visible) { ::ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }

void TPanel::SetFont(HFONT font)
{
    font_ = font;
    ::InvalidateRect(handle_, nullptr, TRUE);
}

void TPanel::ControlsMoved()
{
    for (std::size_t i = 0; tooltip_ && i < buttons_.size(); ++i) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = handle_;
        tool.uId = i + 1;  // as Add numbered them
        tool.rect = buttons_[i]->Bounds();
        ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::InvalidateRect(handle_, nullptr, TRUE);
}

TSpeedButton* TPanel::ButtonAt(POINT pt) const
{
    for (TSpeedButton* button : buttons_) {
        if (::PtInRect(&button->Bounds(), pt))
            return button;
    }
    return nullptr;
}

void TPanel::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(handle_, &ps);
    RECT client;
    ::GetClientRect(handle_, &client);
    if (bevel_ != Bevel::None)
        ::DrawEdge(dc, &client, bevel_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    if (!caption_.empty()) {
        SelectedObject font(dc, font_);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        RECT text = client;
        ::InflateRect(&text, -1, -1);
        ::DrawTextW(dc, caption_.data(), static_cast<int>(caption_.size()), &text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    for (TGraphicControl* control : controls_)
        control->Paint(dc);
    ::EndPaint(handle_, &ps);
}

void TPanel::PressButtonAt(POINT pt)
{
    if (TSpeedButton* button = ButtonAt(pt)) {
        pressed_ = button;
        button->down = true;
        ::SetCapture(handle_);
        ::InvalidateRect(handle_, &button->Bounds(), FALSE);
    }
}

void TPanel::TrackPressedButton(POINT pt)
{
    if (!pressed_)
        return;
    const bool inside = ::PtInRect(&pressed_->Bounds(), pt) != FALSE;
    if (inside != pressed_->down) {
        pressed_->down = inside;
        ::InvalidateRect(handle_, &pressed_->Bounds(), FALSE);
    }
}

void TPanel::ReleasePressedButton()
{
    TSpeedButton* button = pressed_;
    if (!button)
        return;
    const bool click = button->down;
    pressed_ = nullptr;
    button->down = false;
    ::ReleaseCapture();
    ::InvalidateRect(handle_, &button->Bounds(), FALSE);
    ::UpdateWindow(handle_);
    if (click && button->OnClick)
        Application.Guard(button->OnClick);
}

void TPanel::DropPressedButton()
{
    if (TSpeedButton* button = pressed_) {
        pressed_ = nullptr;
        button->down = false;
        ::InvalidateRect(handle_, &button->Bounds(), FALSE);
    }
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        if (OnResize)
            OnResize();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && Application.ApplyCursorOverride())
            return TRUE;
        break;
    case WM_NOTIFY:
    case WM_COMMAND:
        return ::SendMessageW(::GetParent(handle_), message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        PressButtonAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        TrackPressedButton(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        ReleasePressedButton();
        return 0;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        DropPressedButton();
        break;
    default:
        break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TPanel::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* panel = BoundObject<TPanel>(window, message, lParam);
    if (!panel)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        panel->handle_ = window;
    if (message == WM_NCDESTROY) {
        panel->handle_ = nullptr;
        panel->tooltip_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return panel->WndProc(message, wParam, lParam);
}

// --- TFindDialog --------------------------------------------------------------

namespace {
UINT FindMessage()
{
    static const UINT message = ::RegisterWindowMessageW(FINDMSGSTRINGW);
    return message;
}
}  // namespace

TFindDialog::TFindDialog() { FindMessage(); }

TFindDialog::~TFindDialog()
{
    if (dialog_ && ::IsWindow(dialog_))
        ::DestroyWindow(dialog_);
    if (dialog_)
        Application.SetModelessDialog(nullptr);
}

void TFindDialog::Execute()
{
    if (dialog_) {
        ::ShowWindow(dialog_, SW_SHOW);
        ::SetForegroundWindow(dialog_);
        return;
    }
    params_ = FINDREPLACEW{};
    params_.lStructSize = sizeof params_;
    params_.hwndOwner = owner_;
    params_.Flags = FR_DOWN | FR_HIDEMATCHCASE | FR_HIDEWHOLEWORD | FR_HIDEUPDOWN;
    params_.lpstrFindWhat = buffer_;
    params_.wFindWhatLen = static_cast<WORD>(std::size(buffer_));
    dialog_ = ::FindTextW(&params_);
    if (!dialog_)
        throw EOutOfResources(std::string(Text(TextId::ErrorNoDialog)));
    if (placed_)
        ::SetWindowPos(dialog_, nullptr, place_.x, place_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Application.SetModelessDialog(dialog_);
}

std::string TFindDialog::FindText() const { return NarrowText(buffer_); }

void TFindDialog::CloseDialog()
{
    if (dialog_)
        ::PostMessageW(dialog_, WM_CLOSE, 0, 0);
}

bool TFindDialog::HandleMessage(UINT message, LPARAM lParam)
{
    if (message != FindMessage())
        return false;
    const auto* params = reinterpret_cast<const FINDREPLACEW*>(lParam);
    if (params->Flags & FR_DIALOGTERM) {
        // The dialog window still exists while it tells of its end.
        RECT r;
        if (dialog_ && ::GetWindowRect(dialog_, &r)) {
            placed_ = true;
            place_ = POINT{r.left, r.top};
        }
        dialog_ = nullptr;
        Application.SetModelessDialog(nullptr);
    } else if ((params->Flags & FR_FINDNEXT) && OnFind) {
        Application.Guard(OnFind);
    }
    return true;
}

void AddListColumns(HWND list, std::span<const ListColumn> columns)
{
    const DpiScale scale(WindowDpi(list));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring title = WidenText(std::string(Text(columns[i].title)));
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns[i].format;
        column.cx = scale(columns[i].width);
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void RescaleListColumns(HWND list, int fromDpi, int toDpi)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    const DpiScale scale(toDpi);
    for (int i = 0; i < count; ++i) {
        const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(scale.From(width, fromDpi), 0));
    }
}

void SetListCell(HWND list, int item, int column, const std::string& text)
{
    std::wstring wide = WidenText(text);
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

int ListItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

bool ListItemChecked(HWND list, int item)
{
    const auto state = static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

std::size_t ListItemParam(HWND list, int item)
{
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row));
    return static_cast<std::size_t>(row.lParam);
}

}  // namespace qob
