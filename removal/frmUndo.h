// TfrmUndo: the undo window. Lists the backup folders of the removals,
// newest first, and restores, opens or deletes the one selected. Made for
// one showing by the main window's Undo command, shown modally.
#pragma once

#include "forms/FormHandles.h"
#include "forms/TForm.h"
#include "removal/BackupList.h"
#include "removal/RestoreCheck.h"

#include <functional>
#include <string>
#include <vector>

namespace qob {

class TfrmUndo final : public TForm {
public:
    // Told after each restore: the folder's full path and what it holds.
    using RestoredHandler = std::function<void(const std::wstring& folder, const RestorePlan& plan)>;

    // The folders below `base`.
    TfrmUndo(std::wstring base, RestoredHandler onRestored);
    ~TfrmUndo() override;

    // Shows the window modally, as the About box: every other window of the
    // program disabled, timers ticking, until it is closed.
    void ShowModal();

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents();
    void DpiChanged(int previousDpi) override;
    HWND Child(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, RECT box, int id);
    // Reads the folders again, the row of `folder` selected (the first
    // when it is gone).
    void FillList(const std::u16string& folder);
    void UpdateButtons();
    // The selected row, or null.
    const BackupRow* SelectedRow() const;
    std::wstring SelectedFolder() const;

    void RestoreClick();
    void OpenFolderClick();
    void DeleteClick();
    void Click(int id);
    // The window's own keys: Enter restores (or presses the button that
    // has the focus), Del deletes the backup, Escape closes; Tab moves on.
    bool PreTranslate(MSG& msg);
    // The next (or the one before) of the enabled controls, in tab order.
    void FocusNext(HWND from, bool backwards);
    void CloseNow();

    std::wstring base_;
    RestoredHandler onRestored_;
    std::vector<BackupRow> rows_;
    FontHandle font_;
    HWND list_ = nullptr;
    HWND result_ = nullptr;
    HWND restore_ = nullptr;
    HWND open_ = nullptr;
    HWND delete_ = nullptr;
    HWND close_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool closed_ = false;
};

}  // namespace qob
