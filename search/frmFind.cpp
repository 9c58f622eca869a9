#include "search/frmFind.h"

#include "forms/MessageDialog.h"
#include "forms/WindowFonts.h"
#include "catalogue/TreeModel.h"
#include "catalogue/Win32Text.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

#include <commctrl.h>

namespace qob {

TfrmFind* frmFind = nullptr;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;  // no system menu, so no close box
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr int kClientWidth = 273;
constexpr int kClientHeight = 80;
// The system's find-file animation and the frames it plays.
constexpr int kShellFindAnimation = 151;
constexpr int kShellLastFrame = 22;
constexpr int kGlyphGap = 4;

}  // namespace

TfrmFind::TfrmFind(TTimer& tmrFind) : tmrFind_(tmrFind)
{
    const SIZE outer = OuterSize(kClientWidth, kClientHeight, kStyle, kExStyle);
    CreateHandle({QOB_CLASS_FIND, std::string(Text(TextId::SearchProgressCaption)), kStyle, kExStyle, outer.cx,
                  outer.cy, nullptr, nullptr});
    CreateComponents();
}

TfrmFind::~TfrmFind()
{
    if (BitBtn1_)
        ::RemoveWindowSubclass(BitBtn1_, BitBtn1Keys, 0);
    DestroyHandle();
}

void TfrmFind::CreateComponents()
{
    font_ = MakeFont(FontSize::Text, Dpi());
    auto child = [&](const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h, int id) {
        return CreateControl({cls, text, style, 0, RECT{x, y, x + w, y + h}, id, font_.get()});
    };
    Animate1_ = child(ANIMATE_CLASSW, "", ACS_CENTER | ACS_TRANSPARENT, 8, 16, 48, 50, IDC_FIND_ANIMATE1);
    // The label runs to the window's right edge, where a long text is cut; it
    // is high enough for the system's English font too.
    Label1_ = child(L"STATIC", "Label1", SS_LEFTNOWORDWRAP, 64, 16, kClientWidth - 64, 16, IDC_FIND_LABEL1);
    BitBtn1_ = child(L"BUTTON", std::string(Text(TextId::ButtonCancel)), WS_TABSTOP | BS_OWNERDRAW, 192, 48, 75, 25,
                     IDC_FIND_BITBTN1);
    ::SetWindowSubclass(BitBtn1_, BitBtn1Keys, 0, reinterpret_cast<DWORD_PTR>(this));
    SIZE glyphSize{};
    glyph_ = LoadTransparentPicture(IDB_GLYPH_CANCEL, Dpi(), glyphSize);
    StartAnimation();
}

void TfrmFind::DpiChanged(int /*previousDpi*/)
{
    FontHandle oldFont = std::move(font_);
    font_ = MakeFont(FontSize::Text, Dpi());
    PlaceControls(font_.get());
    SIZE glyphSize{};
    glyph_ = LoadTransparentPicture(IDB_GLYPH_CANCEL, Dpi(), glyphSize);
    ::SendMessageW(Animate1_, ACM_STOP, 0, 0);
    ::SendMessageW(Animate1_, ACM_OPENW, 0, 0);
    StartAnimation();
}

void TfrmFind::StartAnimation()
{
    // The system's animation where it has one that plays; the program's own
    // otherwise.
    shell32_.reset(::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (shell32_ && ::SendMessageW(Animate1_, ACM_OPENW, reinterpret_cast<WPARAM>(shell32_.get()),
                                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kShellFindAnimation)))) {
        if (::SendMessageW(Animate1_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, kShellLastFrame)))
            return;
        ::SendMessageW(Animate1_, ACM_OPENW, 0, 0);
    }
    shell32_.reset();
    // The program's animation drawn for the window's scale, or its 100% form.
    auto open = [this](int resource) {
        return ::SendMessageW(Animate1_, ACM_OPENW, reinterpret_cast<WPARAM>(Application.Instance()),
                              reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resource))) != 0;
    };
    if (open(PictureResource(IDR_FIND_ANIMATION, Dpi())) || open(IDR_FIND_ANIMATION))
        ::SendMessageW(Animate1_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
}

void TfrmFind::SetLabel1Caption(const std::string& caption)
{
    ::SetWindowTextW(Label1_, WidenText(caption).c_str());
}

void TfrmFind::BitBtn1Click(void* /*Sender*/)
{
    if (ShowMessageDialog(std::string(Text(TextId::SearchStopQuestion)), mtInformation, mbYesNo, 0) != mrYes)
        return;
    tmrFind_.SetEnabled(false);
    tmrFind_.Tag = 0;
    Application.SetCursor(crDefault);
    Hide();
}

void TfrmFind::PaintBitBtn1(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    const bool disabled = item.itemState & ODS_DISABLED;
    if (focused) {  // the button Enter presses has the heavier frame
        ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&r, -1, -1);
    }
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    const std::wstring caption = WidenText(std::string(Text(TextId::ButtonCancel)));
    SelectedObject font(dc, font_.get());
    RECT text{0, 0, 0, 0};
    ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT);
    int glyphWidth = 0, glyphHeight = 0;
    if (glyph_)
        ::ImageList_GetIconSize(glyph_.get(), &glyphWidth, &glyphHeight);
    const int shift = pushed ? 1 : 0;
    const int gap = Scale(kGlyphGap);
    const int width = glyphWidth + gap + (text.right - text.left);
    const int left = r.left + (r.right - r.left - width) / 2 + shift;
    const int middle = (r.top + r.bottom) / 2 + shift;
    if (glyph_) {
        const int top = middle - glyphHeight / 2;
        if (disabled) {
            IconHandle icon(::ImageList_GetIcon(glyph_.get(), 0, ILD_NORMAL));
            ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, left, top, glyphWidth,
                         glyphHeight, DST_ICON | DSS_DISABLED);
        } else
            ::ImageList_Draw(glyph_.get(), 0, dc, left, top, ILD_TRANSPARENT);
    }
    RECT place{left + glyphWidth + gap, middle - (text.bottom - text.top) / 2, r.right,
               middle + (text.bottom - text.top) / 2 + 1};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::DrawTextW(dc, caption.c_str(), -1, &place, DT_SINGLELINE | DT_LEFT);
    if (focused) {
        RECT focus = r;
        ::InflateRect(&focus, -Scale(4), -Scale(4));
        ::DrawFocusRect(dc, &focus);
    }
}

LRESULT CALLBACK TfrmFind::BitBtn1Keys(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self)
{
    // Escape (it is the window's cancel button) and Enter press it.
    if (message == WM_KEYDOWN && (wParam == VK_ESCAPE || wParam == VK_RETURN)) {
        auto* form = reinterpret_cast<TfrmFind*>(self);
        Call([form] { form->BitBtn1Click(form); });
        return 0;
    }
    if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_RETURN))
        return 0;
    if (message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS | ::DefSubclassProc(button, message, wParam, lParam);
    return ::DefSubclassProc(button, message, wParam, lParam);
}

LRESULT TfrmFind::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The only tab stop takes the focus whenever the window is activated.
        if (LOWORD(wParam) != WA_INACTIVE && BitBtn1_)
            ::SetFocus(BitBtn1_);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FIND_BITBTN1 && HIWORD(wParam) == BN_CLICKED) {
            Call([this] { BitBtn1Click(this); });
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == IDC_FIND_BITBTN1) {
            PaintBitBtn1(item);
            return TRUE;
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
            Call([this] { BitBtn1Click(this); });
            return 0;
        }
        break;
    case WM_CLOSE:
        // Not from outside (Alt+F4 included): the search hides the window
        // when it ends, and Cancel is the one way to stop it.
        return 0;
    default:
        break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace qob
