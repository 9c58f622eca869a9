#include "extras/frmAbout.h"

#include "QobBuildInfo.h"
#include "forms/WindowFonts.h"
#include "catalogue/Win32Text.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

#include <commctrl.h>

#include <array>
#include <stdexcept>

namespace qob {

TfrmAbout* frmAbout = nullptr;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
constexpr int kClientWidth = 349;
constexpr int kClientHeight = 176;
constexpr RECT kImage1{32, 8, 32 + 292, 8 + 83};
constexpr int kOk = 1;
constexpr int kClosed = 2;

}  // namespace

TfrmAbout::TfrmAbout()
{
    const SIZE outer = OuterSize(kClientWidth, kClientHeight, kStyle, kExStyle);
    CreateHandle({QOB_CLASS_ABOUT, std::string(Text(TextId::AboutCaption)), kStyle, kExStyle, outer.cx, outer.cy,
                  nullptr, nullptr});
    BecomeMainWindowDialog();
    CreateComponents();
}

TfrmAbout::~TfrmAbout() { DestroyHandle(); }

void TfrmAbout::CreateComponents()
{
    font_ = MakeFont(FontSize::Text, Dpi());
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    auto child = [this](const wchar_t* cls, const std::string& text, DWORD style, int left, int top, int width,
                        int height, int id) {
        return CreateControl(
            {cls, text, WS_TABSTOP | style, 0, RECT{left, top, left + width, top + height}, id, font_.get()});
    };
    // Created in tab order.
    BitBtn1_ = child(L"BUTTON", std::string(Text(TextId::ButtonOk)), BS_DEFPUSHBUTTON, 144, 144, 75, 25,
                     IDC_ABOUT_BITBTN1);
    LoadPictures();
    Edit1_ = child(L"EDIT", QOB_CONTACT_ADDRESS, ES_READONLY | ES_AUTOHSCROLL, 104, 96, 193, 20, IDC_ABOUT_EDIT1);
    Edit2_ = child(L"EDIT", QOB_HOME_PAGE, ES_READONLY | ES_AUTOHSCROLL, 80, 120, 249, 20, IDC_ABOUT_EDIT2);
}

void TfrmAbout::LoadPictures()
{
    logo_ = LoadTransparentPicture(IDB_ABOUT_LOGO, Dpi(), logoSize_);
    SIZE glyphSize{};
    // The button keeps the list it was given: the old one goes once the new one is in.
    ImageListHandle oldGlyph = std::move(okGlyph_);
    okGlyph_ = LoadTransparentPicture(IDB_GLYPH_OK, Dpi(), glyphSize);
    // Without a glyph the button is given none, never keeping the old one.
    if (okGlyph_ || oldGlyph) {
        BUTTON_IMAGELIST glyph{okGlyph_.get(), RECT{0, 0, Scale(4), 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
        ::SendMessageW(BitBtn1_, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&glyph));
    }
}

void TfrmAbout::DpiChanged(int /*previousDpi*/)
{
    FontHandle oldFont = std::move(font_);
    font_ = MakeFont(FontSize::Text, Dpi());
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    PlaceControls(font_.get());
    LoadPictures();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TfrmAbout::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    if (logo_) {
        const RECT image = Scale(kImage1);
        ::ImageList_Draw(logo_.get(), 0, dc, image.left, image.top, ILD_TRANSPARENT);
        // The version, under the rule of the logo.
        SelectedObject font(dc, font_.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        RECT r{image.left + Scale(24), image.top + Scale(50), image.left + logoSize_.cx - Scale(24),
               image.top + Scale(68)};
        const std::wstring version = WidenText(Text(TextId::AboutVersion, {QOB_VERSION_TEXT}));
        ::DrawTextW(dc, version.c_str(), -1, &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    ::EndPaint(Handle(), &ps);
}

int TfrmAbout::ShowModal()
{
    if (modal_ || !Handle())
        return kClosed;
    struct ModalFlag {
        bool& flag;
        explicit ModalFlag(bool& f) : flag(f) { flag = true; }
        ~ModalFlag() { flag = false; }
    } modal(modal_);
    modalResult_ = 0;
    TApplication::ModalCursorScope cursor(Application);
    TApplication::TaskWindowsDisabled others(Handle());
    Show(SW_SHOWNORMAL);
    FocusControl(BitBtn1_);
    Application.ModalLoop([this] { return modalResult_ != 0 || !Handle(); },
                          [this](MSG& msg) { return PreTranslate(msg); });
    if (modalResult_ == 0)  // the program is ending
        modalResult_ = kClosed;
    // The window that was active before comes back before this one goes.
    others.End();
    Hide();
    return modalResult_;
}

void TfrmAbout::FocusControl(HWND control)
{
    lastFocus_ = control;
    ::SetFocus(control);
    // A field reached from the keyboard has its whole text selected, ready to copy.
    if (control != BitBtn1_)
        ::SendMessageW(control, EM_SETSEL, 0, -1);
}

void TfrmAbout::CloseWith(int result)
{
    if (modalResult_ == 0)
        modalResult_ = result;
    TApplication::WakeLoop();
}

bool TfrmAbout::PreTranslate(MSG& msg)
{
    if (!Handle() || !msg.hwnd || (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)))
        return false;
    if (msg.message != WM_KEYDOWN)
        return false;
    switch (msg.wParam) {
    case VK_RETURN:  // the default button, wherever the focus is
        CloseWith(kOk);
        return true;
    case VK_ESCAPE:  // no cancel button
        return true;
    case VK_TAB: {
        const std::array<HWND, 3> order{BitBtn1_, Edit1_, Edit2_};
        const HWND focus = ::GetFocus();
        std::size_t at = 0;
        while (at < order.size() && order[at] != focus)
            ++at;
        const std::size_t step = ::GetKeyState(VK_SHIFT) < 0 ? order.size() - 1 : 1;
        FocusControl(order[at == order.size() ? 0 : (at + step) % order.size()]);
        return true;
    }
    default:
        return false;
    }
}

LRESULT TfrmAbout::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_BITBTN1 && HIWORD(wParam) == BN_CLICKED)
            CloseWith(kOk);
        return 0;
    case WM_CTLCOLORSTATIC: {
        // The read-only fields on the dialog face.
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus))
                lastFocus_ = focus;
        } else if (lastFocus_) {
            ::SetFocus(lastFocus_);
        }
        return 0;
    case WM_CLOSE:  // the close box, Close on the window menu, Alt+F4
        if (modal_)
            CloseWith(kClosed);
        else
            Hide();
        return 0;
    case WM_DESTROY:
        CloseWith(kClosed);
        break;
    default:
        break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace qob
