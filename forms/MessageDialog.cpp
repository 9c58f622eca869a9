#include "forms/MessageDialog.h"
#include "forms/WindowBinding.h"

#include <algorithm>
#include <stdexcept>

#include "forms/Application.h"
#include "forms/FormHandles.h"
#include "forms/WindowDpi.h"
#include "forms/WindowFonts.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

namespace qob {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
// How the message text is measured and drawn: word-wrapped, tabs expanded,
// "&" marks an accelerator.
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;

// Measured once per button for the whole process.
CaptionWidths g_captionWidths;

// A carriage return alone starts a new line; DrawText is given CR LF.
std::string WithLineBreaks(const std::string& text)
{
    std::string result;
    result.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            result += '\n';
    }
    return result;
}

// The text control: draws its window text with the dialog's font and the
// format the dialog measured it with.
LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT:
        ::SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam))
            ::InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return ::GetWindowLongPtrW(window, GWLP_USERDATA);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        const int length = ::GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::GetWindowTextW(window, text.data(), length + 1);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::GetWindowLongPtrW(window, GWLP_USERDATA)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        RECT rc;
        ::GetClientRect(window, &rc);
        ::DrawTextW(dc, text.c_str(), length, &rc, kTextFormat);
        ::SelectObject(dc, old);
        ::EndPaint(window, &ps);
        return 0;
    }
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// Registers a window class of the dialog once per process.
void RegisterOnce(bool& registered, HINSTANCE instance, const wchar_t* name, WNDPROC procedure)
{
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.lpfnWndProc = procedure;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!::RegisterClassExW(&wc))
        throw std::runtime_error(std::string(Text(TextId::ErrorNoMessageWindowClass)));
    registered = true;
}

// The system's message font for `dpi`, or null when the system does not
// supply it.
HFONT CreateMessageFont(int dpi, LOGFONTW* captionFont)
{
    NONCLIENTMETRICSW metrics;
    if (!SystemFontMetrics(metrics, dpi))
        return nullptr;
    if (captionFont)
        *captionFont = metrics.lfCaptionFont;
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

// A screen DC with a font selected, for measuring.
class MeasureDC {
public:
    explicit MeasureDC(HFONT font) : dc_(::GetDC(nullptr)), old_(::SelectObject(dc_, font)) {}
    ~MeasureDC()
    {
        ::SelectObject(dc_, old_);
        ::ReleaseDC(nullptr, dc_);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

SIZE MeasureText(HDC dc, const std::wstring& text, UINT format, int width)
{
    RECT rc{0, 0, width, 0};
    if (text.empty())
        return {0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_CALCRECT);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

// Spacing from the font: horizontal units of a quarter of the average
// character width, vertical units of an eighth of the character height.
DialogMetrics MetricsFor(HDC dc, int dpi)
{
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ::GetTextExtentPoint32W(dc, kAlphabet, 52, &size);
    const int cx = std::max(1, static_cast<int>((size.cx / 26 + 1) / 2));
    const int cy = std::max(1, static_cast<int>(tm.tmHeight));
    auto x = [cx](int units) { return ::MulDiv(units, cx, 4); };
    auto y = [cy](int units) { return ::MulDiv(units, cy, 8); };
    DialogMetrics m;
    m.marginX = x(8);
    m.marginY = y(8);
    m.iconSize = DpiScale(dpi)(32);
    m.iconGap = x(8);
    m.textButtonGap = y(10);
    m.buttonHeight = y(14);
    m.buttonMinWidth = x(50);
    m.buttonGap = x(4);
    m.captionPadding = x(8);
    return m;
}

// The width the title bar's caption needs, its buttons and the margins
// included; 0 when the caption font cannot be made.
int CaptionMinWidth(const LOGFONTW& captionLogFont, const std::wstring& caption, int marginX, int dpi)
{
    HFONT captionFont = ::CreateFontIndirectW(&captionLogFont);
    if (!captionFont)
        return 0;
    FontHandle owned(captionFont);
    MeasureDC dc(captionFont);
    return MeasureText(dc.Get(), caption, DT_SINGLELINE | DT_NOPREFIX, 0).cx + SystemMetricForDpi(SM_CXSIZE, dpi) +
           2 * marginX;
}

// Measures the text, the button captions and the title with the dialog's
// fonts: the content without its icon and button count; `metrics` gets the
// spacing for `font`.
DialogContent MeasureContent(HFONT font, int dpi, const LOGFONTW& captionLogFont, const std::string& caption,
                             const std::string& text, const std::vector<TMsgDlgBtn>& ids, DialogMetrics& metrics)
{
    DialogContent content;
    MeasureDC dc(font);
    metrics = MetricsFor(dc.Get(), dpi);
    const SIZE size = MeasureText(dc.Get(), WidenText(text), kTextFormat, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    content.textWidth = size.cx;
    content.textHeight = size.cy;
    for (TMsgDlgBtn id : ids) {
        const int width = g_captionWidths.Width(id, dpi, [&](std::string_view label) {
            return static_cast<int>(MeasureText(dc.Get(), WidenText(std::string(label)), DT_SINGLELINE, 0).cx);
        });
        content.widestCaption = std::max(content.widestCaption, width);
    }
    content.minClientWidth = CaptionMinWidth(captionLogFont, WidenText(caption), metrics.marginX, dpi);
    return content;
}

}  // namespace

int ShowMessageDialog(const std::string& text, int kind, TMsgDlgButtons buttons, long helpContext)
{
    // Once the program is ending nothing more is asked.
    if (Application.Terminated())
        return mrCancel;
    TMessageForm form(text, kind, buttons, helpContext);
    return form.ShowModal();
}

TMessageForm::TMessageForm(const std::string& text, int kind, TMsgDlgButtons buttons, long helpContext)
    : text_(WithLineBreaks(text)), kind_(kind), buttonSet_(buttons), helpContext_(helpContext)
{
}

TMessageForm::~TMessageForm() { DestroyHandle(); }

void TMessageForm::DestroyHandle()
{
    if (handle_)
        ::DestroyWindow(handle_);
    handle_ = nullptr;
}

LRESULT CALLBACK TMessageForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = BoundObject<TMessageForm>(window, message, lParam);
    if (!self)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        self->handle_ = window;
    if (message == WM_NCDESTROY) {
        self->handle_ = nullptr;
        self->image_ = self->message_ = self->lastFocus_ = nullptr;
        self->buttons_.clear();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

void TMessageForm::CreateHandle()
{
    HINSTANCE instance = Application.Instance() ? Application.Instance() : ::GetModuleHandleW(nullptr);
    static bool formRegistered = false, textRegistered = false;
    RegisterOnce(formRegistered, instance, kClassName, WindowProc);
    RegisterOnce(textRegistered, instance, kTextClassName, TextWindowProc);

    // At the scale of the window it asks for.
    HWND asking = ::GetActiveWindow() ? ::GetActiveWindow() : Application.MainWindow();
    dpi_ = asking ? WindowDpi(asking) : SystemDpi();
    LOGFONTW captionLogFont{};
    font_.reset(CreateMessageFont(dpi_, &captionLogFont));
    HFONT font = font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));

    const KindInfo& kind = KindInfoOf(kind_);
    const std::string caption = std::string(KindCaption(kind_).value_or(Application.Title()));
    const std::vector<TMsgDlgBtn> ids = ButtonsOf(buttonSet_);
    defaultButton_ = DefaultButtonOf(buttonSet_);
    cancelButton_ = CancelButtonOf(buttonSet_);

    DialogMetrics metrics;
    DialogContent content = MeasureContent(font, dpi_, captionLogFont, caption, text_, ids, metrics);
    content.hasIcon = kind.icon != 0;
    content.buttonCount = static_cast<int>(ids.size());
    const DialogLayout layout = LayoutDialog(metrics, content);

    CreateFrame(instance, caption, layout);
    const ChildMaker child{instance, font};
    if (content.hasIcon)
        CreateIcon(child, kind.icon, layout.icon);
    message_ = CreateChild(child, kTextClassName, WidenText(text_).c_str(), 0, layout.text, 0xFFFF);
    CreateButtons(child, ids, layout.buttons);
}

void TMessageForm::CreateFrame(HINSTANCE instance, const std::string& caption, const DialogLayout& layout)
{
    const SIZE outer = OuterSizeForClient(layout.clientWidth, layout.clientHeight, kStyle, kExStyle, false, dpi_);
    const int width = outer.cx, height = outer.cy;
    const LayoutPoint at =
        CentreOnScreen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), width, height);

    // Owned by the window that was active (so that it stays above it), or
    // by the main window.
    HWND owner = ::GetActiveWindow();
    if (!owner)
        owner = Application.MainWindow();
    if (!::CreateWindowExW(kExStyle, kClassName, WidenText(caption).c_str(), kStyle, at.x, at.y, width, height,
                           owner, nullptr, instance, this))
        throw std::runtime_error(std::string(Text(TextId::ErrorNoMessageWindow)));

    // The title bar offers only Move and Close.
    if (HMENU menu = ::GetSystemMenu(handle_, FALSE)) {
        for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_TASKLIST})
            ::DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

HWND TMessageForm::CreateChild(const ChildMaker& maker, const wchar_t* cls, const wchar_t* text, DWORD style,
                               const LayoutRect& r, int id)
{
    HWND w = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                               r.width, r.height, handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               maker.instance, nullptr);
    if (!w)
        throw std::runtime_error(std::string(Text(TextId::ErrorNoMessageWindow)));
    ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(maker.font), FALSE);
    return w;
}

void TMessageForm::CreateIcon(const ChildMaker& maker, int icon, const LayoutRect& r)
{
    // A system icon is shared: it is never destroyed.
    image_ = CreateChild(maker, L"STATIC", nullptr, SS_ICON, r, 0xFFFF);
    // The system's icon in the size the scale needs, which it draws for that size.
    HANDLE picture = ::LoadImageW(nullptr, MAKEINTRESOURCEW(icon), IMAGE_ICON, r.width, r.height, LR_SHARED);
    if (!picture)
        picture = ::LoadIconW(nullptr, MAKEINTRESOURCEW(icon));
    ::SendMessageW(image_, STM_SETICON, reinterpret_cast<WPARAM>(picture), 0);
    ::SetWindowPos(image_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMessageForm::CreateButtons(const ChildMaker& maker, const std::vector<TMsgDlgBtn>& ids,
                                 const std::vector<LayoutRect>& places)
{
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::wstring caption = WidenText(std::string(ButtonCaption(ids[i])));
        HWND button = CreateChild(maker, L"BUTTON", caption.c_str(), WS_TABSTOP | BS_PUSHBUTTON, places[i],
                                  kButtonIdBase + ids[i]);
        buttons_.push_back({ids[i], button});
    }
    lastFocus_ = buttons_.empty() ? handle_ : buttons_.front().handle;
}

int TMessageForm::FocusedButton() const
{
    HWND focus = ::GetFocus();
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].handle == focus)
            return static_cast<int>(i);
    return -1;
}

void TMessageForm::FocusButton(int index)
{
    if (index < 0 || index >= static_cast<int>(buttons_.size()))
        return;
    // The focused button is drawn as the one Enter presses.
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        ::SendMessageW(buttons_[i].handle, BM_SETSTYLE,
                       static_cast<int>(i) == index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    lastFocus_ = buttons_[index].handle;
    ::SetFocus(lastFocus_);
}

void TMessageForm::MoveFocus(int step)
{
    const int n = static_cast<int>(buttons_.size());
    if (n == 0)
        return;
    const int current = FocusedButton();
    FocusButton(current < 0 ? 0 : ((current + step) % n + n) % n);
}

void TMessageForm::ClickButton(TMsgDlgBtn id)
{
    if (id == mbHelp) {
        Application.HelpContext(helpContext_);  // leaves the dialog open
        return;
    }
    CloseWith(ButtonInfoOf(id).result);
}

void TMessageForm::CloseWith(int result)
{
    if (closed_)
        return;
    closed_ = true;
    result_ = result;
    TApplication::WakeLoop();
}

bool TMessageForm::PreTranslate(MSG& msg)
{
    if (!handle_ || !msg.hwnd || (msg.hwnd != handle_ && !::IsChild(handle_, msg.hwnd)))
        return false;
    switch (msg.message) {
    case WM_KEYDOWN:
        switch (msg.wParam) {
        case VK_RETURN: {
            const int focused = FocusedButton();
            if (focused >= 0)
                ClickButton(buttons_[focused].id);
            else if (defaultButton_ >= 0)
                ClickButton(static_cast<TMsgDlgBtn>(defaultButton_));
            return true;
        }
        case VK_ESCAPE:
            if (cancelButton_ >= 0)
                ClickButton(static_cast<TMsgDlgBtn>(cancelButton_));
            return true;
        case VK_TAB:
            MoveFocus(::GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        case VK_LEFT:
        case VK_UP:
            MoveFocus(-1);
            return true;
        case VK_RIGHT:
        case VK_DOWN:
            MoveFocus(1);
            return true;
        default:
            return false;
        }
    case WM_CHAR:
    case WM_SYSCHAR: {
        // A button's accelerator, with or without Alt.
        const auto c = static_cast<unsigned>(msg.wParam);
        if (c == 0 || c >= 0x80)
            return false;
        const char key = static_cast<char>(::toupper(static_cast<int>(c)));
        for (const Button& button : buttons_) {
            if (AcceleratorOf(ButtonCaption(button.id)) == key) {
                ClickButton(button.id);
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

LRESULT TMessageForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const int bit = static_cast<int>(LOWORD(wParam)) - kButtonIdBase;
            for (const Button& button : buttons_)
                if (button.id == bit)
                    ClickButton(button.id);
        }
        return 0;
    case WM_CLOSE:  // the close box, Close on the window menu, Alt+F4
        CloseWith(mrCancel);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(handle_, focus))
                lastFocus_ = focus;
        } else if (lastFocus_) {
            const auto it = std::find_if(buttons_.begin(), buttons_.end(),
                                         [this](const Button& b) { return b.handle == lastFocus_; });
            if (it != buttons_.end())
                FocusButton(static_cast<int>(it - buttons_.begin()));
            else
                ::SetFocus(lastFocus_);
        }
        return 0;
    case WM_SETCURSOR:
        if (Application.ApplyCursorOverride())
            return TRUE;
        break;
    case WM_DESTROY:
        // Destroyed from outside (its owner went): the program is closing it.
        CloseWith(mrCancel);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

int TMessageForm::ShowModal()
{
    TApplication::ModalCursorScope cursor(Application);
    CreateHandle();
    TApplication::TaskWindowsDisabled others(handle_);
    ::ShowWindow(handle_, SW_SHOWNORMAL);
    if (!buttons_.empty())
        FocusButton(0);
    else
        ::SetFocus(handle_);
    Application.ModalLoop([this] { return closed_; }, [this](MSG& msg) { return PreTranslate(msg); });
    if (!closed_)  // the program is ending
        CloseWith(mrCancel);
    // The other windows come back before this one goes, so that the
    // activation returns to the program.
    others.End();
    DestroyHandle();
    return result_;
}

}  // namespace qob
