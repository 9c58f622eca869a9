// TfrmOtherBroken: the window of the other broken registrations. It lists
// the broken keys of the classes, type libraries and interfaces with check
// boxes, examined on a background thread when the window opens, and deletes
// the checked keys, each saved into one backup folder first. Modeless: the
// main window stays usable beside it. Made on first use by the main
// window's command, hidden when closed, shown again with a fresh
// examination.
#pragma once

#include "forms/BackgroundJob.h"
#include "forms/FormHandles.h"
#include "forms/TForm.h"
#include "catalogue/TreeModel.h"
#include "catalogue/Win32Platform.h"
#include "sections/BrokenKeyList.h"
#include "sections/SectionDeletion.h"
#include "sections/SectionScan.h"

#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qob {

class TfrmOtherBroken final : public TForm {
public:
    // tree: the main window's registration tree, for the ProgIDs that name
    // the keys.
    // Told, after a deletion, of the classes and type libraries that went,
    // so that the entries of `tree` that name them can be read again.
    using KeysDeleted = std::function<void(const RemovedNames& removed)>;
    // `restartAsAdministrator`, when given, is offered after a deletion that
    // an administrator could have made.
    TfrmOtherBroken(const TTreeNodes& tree, KeysDeleted keysDeleted,
                    std::function<void()> restartAsAdministrator = {});
    ~TfrmOtherBroken() override;

    // Shows the window; a hidden one starts a fresh examination.
    void Open();

    void CheckAllClick();
    void UncheckAllClick();
    void DeleteClick();
    void CancelClick();
    // The report of the rows as the list shows them, saved where the user
    // chooses.
    void SaveReportClick();

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum class Stage { Idle, Examining, Deleting };

    void CreateComponents();
    void AlignControls();
    void DpiChanged(int previousDpi) override;
    void SetStatus(const std::string& text);
    void ShowStage(Stage stage);
    void StartExamination();
    void ExaminationDone();
    // The end of a deletion: the list, the status line, the tree's entries
    // and the message of the outcome; `closing` when the window then hides.
    void DeletionDone(bool closing = false);
    void ShowProgress(std::size_t done, std::size_t total);
    // Ends the running job; its results are dropped.
    void StopJob();
    // The hand-offs of the selected row's key (IDM_REGEDITAT1, IDM_COPY1,
    // IDM_COPYKEYPATH1), its right-click menu at `position`
    // (WM_CONTEXTMENU's), and its shortcuts (Ctrl+E, Ctrl+C): true when the
    // key was one of them.
    void RowHandoff(unsigned command);
    void ListContextMenu(LPARAM position);
    bool ListShortcut(WORD key);

    const TTreeNodes& tree_;
    KeysDeleted keysDeleted_;
    std::function<void()> restartAsAdministrator_;
    Win32KeyStore store_;
    Win32FileSystem files_;
    Win32NameOrder order_;
    FontHandle font_;
    BrokenKeyList list_;
    HWND checkAll_ = nullptr, uncheckAll_ = nullptr, delete_ = nullptr, saveReport_ = nullptr;
    HWND progress_ = nullptr, cancel_ = nullptr, close_ = nullptr, status_ = nullptr;

    Stage stage_ = Stage::Idle;
    // The modeless dialog whose keys the loops handled before this window
    // was activated, given back when it is deactivated.
    HWND keysBefore_ = nullptr;
    unsigned job_ = 0;  // counts the jobs started: a late message of an ended one is dropped

    // Handed over by the job's thread before it tells the window it is done.
    std::mutex mutex_;
    std::optional<SectionFindings> findings_;
    std::optional<SectionDeletionOutcome> deletion_;
    std::vector<std::size_t> deleting_;  // the rows of the keys being deleted
    std::exception_ptr jobError_;

    // Last: stopped and joined before anything it uses goes.
    BackgroundJob worker_;
};

}  // namespace qob
