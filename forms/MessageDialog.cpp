#include "forms/MessageDialog.h"
#include "forms/MessageDialogMeasure.h"
#include "forms/WindowBinding.h"

#include <algorithm>
#include <stdexcept>

#include "forms/Application.h"
#include "forms/FormHandles.h"
#include "forms/WindowDpi.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

namespace qob {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
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
        ::DrawTextW(dc, text.c_str(), length, &rc, kMessageTextFormat);
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
    const KindInfo& kind = KindInfoOf(kind_);
    const std::string caption = Caption();
    const std::vector<TMsgDlgBtn> ids = ButtonsOf(buttonSet_);
    defaultButton_ = DefaultButtonOf(buttonSet_);
    cancelButton_ = CancelButtonOf(buttonSet_);

    MeasuredDialog measured = MeasureDialog(dpi_, caption, text_, ids, kind.icon != 0);
    font_ = std::move(measured.font);
    const DialogLayout& layout = measured.layout;
    CreateFrame(instance, caption, layout);
    const ChildMaker child{instance, Font()};
    if (kind.icon != 0)
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
    image_ = CreateChild(maker, L"STATIC", nullptr, SS_ICON, r, 0xFFFF);
    ShowIcon(icon, r);
}

void TMessageForm::ShowIcon(int icon, const LayoutRect& r)
{
    // The system's icon in the size the scale needs, which it draws for that
    // size. A system icon is shared: it is never destroyed.
    HANDLE picture = ::LoadImageW(nullptr, MAKEINTRESOURCEW(icon), IMAGE_ICON, r.width, r.height, LR_SHARED);
    if (!picture)
        picture = ::LoadIconW(nullptr, MAKEINTRESOURCEW(icon));
    ::SendMessageW(image_, STM_SETICON, reinterpret_cast<WPARAM>(picture), 0);
    ::SetWindowPos(image_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TMessageForm::Caption() const { return std::string(KindCaption(kind_).value_or(Application.Title())); }

HFONT TMessageForm::Font() const
{
    return font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void TMessageForm::DpiChanged(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    MeasuredDialog measured = MeasureDialog(dpi_, Caption(), text_, ButtonsOf(buttonSet_), image_ != nullptr);
    // The controls let the old font go once they have the new one.
    const FontHandle oldFont = std::move(font_);
    font_ = std::move(measured.font);
    const DialogLayout& layout = measured.layout;
    const SIZE outer = OuterSizeForClient(layout.clientWidth, layout.clientHeight, kStyle, kExStyle, false, dpi_);
    ::SetWindowPos(handle_, nullptr, suggested.left, suggested.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    const auto place = [this](HWND control, const LayoutRect& r) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
        ::SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    if (image_)
        ShowIcon(KindInfoOf(kind_).icon, layout.icon);
    place(message_, layout.text);
    for (std::size_t i = 0; i < buttons_.size() && i < layout.buttons.size(); ++i)
        place(buttons_[i].handle, layout.buttons[i]);
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
    case WM_DPICHANGED:  // moved to a screen of another scale
        DpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
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
