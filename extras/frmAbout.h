// TfrmAbout: the About box. Created hidden at start-up, shown modally by the
// main window's About command, hidden again when closed; it lives until the
// program ends.
#pragma once

#include "forms/FormControls.h"
#include "forms/FormHandles.h"
#include "forms/TForm.h"

namespace qob {

class TfrmAbout final : public TForm {
public:
    TfrmAbout();
    ~TfrmAbout() override;

    // Shows the box modally: every other window of the program is disabled
    // and timers keep ticking. 1 for OK (click, Enter, Space), 2 from the
    // title bar or Alt+F4, or when the program ends while the box is open.
    int ShowModal();
    bool Modal() const { return modal_; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents();
    void Paint();
    // The logo and the OK button's glyph drawn for the window's scale.
    void LoadPictures();
    void DpiChanged(int previousDpi) override;
    // The box's own keys: Enter is OK from any control, Escape does nothing,
    // Tab goes OK -> Edit1 -> Edit2.
    bool PreTranslate(MSG& msg);
    void FocusControl(HWND control);
    void CloseWith(int result);

    FontHandle font_;
    ImageListHandle logo_;
    SIZE logoSize_{};
    ImageListHandle okGlyph_;
    HWND BitBtn1_ = nullptr;
    HWND Edit1_ = nullptr;
    HWND Edit2_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool modal_ = false;
    int modalResult_ = 0;
};

// The program's About box; set at start-up.
extern TfrmAbout* frmAbout;

}  // namespace qob
