// TfrmFind: the search progress window. It names the text being searched,
// plays a small search animation and offers the one way to stop a search
// from it, its Cancel button. Created hidden at start-up; the search shows
// it when it starts and hides it when it ends. It holds no search state: the
// search-active flag is the Tag of the main window's tmrFind.
#pragma once

#include "forms/FormControls.h"
#include "forms/FormHandles.h"
#include "forms/TForm.h"

#include <string>

namespace qob {

class TfrmFind final : public TForm {
public:
    // tmrFind: the main window's search timer.
    explicit TfrmFind(TTimer& tmrFind);
    ~TfrmFind() override;

    // The caption of Label1: "&" marks the next character as its accelerator.
    void SetLabel1Caption(const std::string& caption);

    void BitBtn1Click(void* Sender);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents();
    void StartAnimation();
    void DpiChanged(int previousDpi) override;
    void PaintBitBtn1(const DRAWITEMSTRUCT& item);
    static LRESULT CALLBACK BitBtn1Keys(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self);

    TTimer& tmrFind_;
    FontHandle font_;
    ImageListHandle glyph_;
    LibraryHandle shell32_;
    HWND Animate1_ = nullptr;
    HWND Label1_ = nullptr;
    HWND BitBtn1_ = nullptr;
};

// The program's one progress window, set at start-up.
extern TfrmFind* frmFind;

}  // namespace qob
