// The message dialog: every message and question of the program's own
// commands. ShowMessageDialog builds a TMessageForm for one call, shows it
// modally centred on the screen, and returns the result code of the button
// that closed it (2 from the title bar or when the program is ending).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/FormHandles.h"
#include "forms/MessageDialogLayout.h"

namespace qob {

int ShowMessageDialog(const std::string& text, int kind, TMsgDlgButtons buttons, long helpContext);

class TMessageForm {
public:
    TMessageForm(const std::string& text, int kind, TMsgDlgButtons buttons, long helpContext);
    ~TMessageForm();
    TMessageForm(const TMessageForm&) = delete;
    TMessageForm& operator=(const TMessageForm&) = delete;

    // Builds the window, runs it modally and destroys it; the result code.
    int ShowModal();
    HWND Handle() const { return handle_; }

    // Window class names (for tests that look at the dialog from outside).
    static constexpr const wchar_t* kClassName = L"TMessageForm";
    static constexpr const wchar_t* kTextClassName = L"TMessageText";
    static constexpr int kButtonIdBase = 100;  // control id = base + button bit

private:
    struct Button {
        TMsgDlgBtn id;
        HWND handle;
    };
    // What every child window of the dialog is made with.
    struct ChildMaker {
        HINSTANCE instance;
        HFONT font;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateHandle();
    void CreateFrame(HINSTANCE instance, const std::string& caption, const DialogLayout& layout);
    HWND CreateChild(const ChildMaker& maker, const wchar_t* cls, const wchar_t* text, DWORD style,
                     const LayoutRect& r, int id);
    void CreateIcon(const ChildMaker& maker, int icon, const LayoutRect& r);
    // The system's icon `icon` at the size and place `r`.
    void ShowIcon(int icon, const LayoutRect& r);
    std::string Caption() const;
    // The dialog's font, or the system's GUI font where it has none.
    HFONT Font() const;
    // Lays the dialog out again for `dpi`, at the rectangle's top-left corner.
    void DpiChanged(int dpi, const RECT& suggested);
    void CreateButtons(const ChildMaker& maker, const std::vector<TMsgDlgBtn>& ids,
                       const std::vector<LayoutRect>& places);
    void DestroyHandle();
    bool PreTranslate(MSG& msg);
    int FocusedButton() const;
    void FocusButton(int index);
    void MoveFocus(int step);
    void ClickButton(TMsgDlgBtn id);
    void CloseWith(int result);

    std::string text_;
    int dpi_ = 96;  // that of the window it asks for, where it appears
    int kind_;
    TMsgDlgButtons buttonSet_;
    long helpContext_;

    FontHandle font_;  // outlives the window that uses it
    HWND handle_ = nullptr;
    HWND image_ = nullptr;    // "Image": absent for the custom kind
    HWND message_ = nullptr;  // "Message"
    std::vector<Button> buttons_;  // left to right, in bit order
    int defaultButton_ = -1;       // button bits, -1 for none
    int cancelButton_ = -1;
    HWND lastFocus_ = nullptr;
    bool closed_ = false;
    int result_ = mrNone;
};

}  // namespace qob
