#include "sections/frmOtherBroken.h"

#include "forms/FormControls.h"
#include "forms/MessageDialog.h"
#include "forms/WindowFonts.h"
#include "catalogue/Registry.h"
#include "catalogue/Win32Text.h"
#include "removal/Win32Backup.h"
#include "resources/ResourceIds.h"
#include "sections/BrokenKeyRows.h"
#include "texts/Texts.h"

#include <commctrl.h>

#include <algorithm>

namespace qob {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kClientWidth = 900;
constexpr int kClientHeight = 420;
constexpr int kMargin = 8;
constexpr int kButtonHeight = 25;
constexpr int kStatusHeight = 19;

// Messages from the job's thread: its progress (done, total) and its end
// (the job's number).
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;

}  // namespace

TfrmOtherBroken::TfrmOtherBroken(const TTreeNodes& tree, KeysDeleted keysDeleted,
                                 std::function<void()> restartAsAdministrator)
    : tree_(tree), keysDeleted_(std::move(keysDeleted)), restartAsAdministrator_(std::move(restartAsAdministrator))
{
    const SIZE outer = OuterSize(kClientWidth, kClientHeight, kStyle, 0);
    CreateHandle({QOB_CLASS_OTHERBROKEN, std::string(Text(TextId::OtherBrokenCaption)), kStyle, 0, outer.cx, outer.cy,
                  nullptr,
                  ::LoadIconW(Application.Instance(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON))});
    CreateComponents();
}

TfrmOtherBroken::~TfrmOtherBroken()
{
    worker_.Stop();
    if (Application.ModelessDialog() == Handle())
        Application.SetModelessDialog(keysBefore_);
    DestroyHandle();
}

void TfrmOtherBroken::CreateComponents()
{
    font_ = MakeFont(FontSize::Text, Dpi());
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // Placed by AlignControls.
    auto child = [this](const wchar_t* cls, const std::string& text, DWORD style, int id) {
        return CreateControl({cls, text, style, 0, RECT{0, 0, 10, 10}, id, font_.get()});
    };
    list_.Attach(child(WC_LISTVIEWW, "", BrokenKeyList::kStyle, IDC_OTHER_LIST));
    checkAll_ = child(L"BUTTON", std::string(Text(TextId::OtherBrokenCheckAll)), WS_TABSTOP, IDC_OTHER_CHECKALL);
    uncheckAll_ =
        child(L"BUTTON", std::string(Text(TextId::OtherBrokenUncheckAll)), WS_TABSTOP, IDC_OTHER_UNCHECKALL);
    delete_ = child(L"BUTTON", std::string(Text(TextId::OtherBrokenDeleteChecked)), WS_TABSTOP, IDC_OTHER_DELETE);
    saveReport_ =
        child(L"BUTTON", std::string(Text(TextId::OtherBrokenSaveReport)), WS_TABSTOP, IDC_OTHER_SAVEREPORT);
    progress_ = child(PROGRESS_CLASSW, "", 0, IDC_OTHER_PROGRESS);
    cancel_ = child(L"BUTTON", std::string(Text(TextId::ButtonCancel)), WS_TABSTOP, IDC_OTHER_CANCEL);
    close_ = child(L"BUTTON", std::string(Text(TextId::ButtonClose)), WS_TABSTOP, IDC_OTHER_CLOSE);
    status_ = child(STATUSCLASSNAMEW, "", SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                    IDC_OTHER_STATUS);
    AlignControls();
    ShowStage(Stage::Idle);
}

void TfrmOtherBroken::AlignControls()
{
    if (!status_)
        return;
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    // The sizes are at 100%; the window's scale makes them larger.
    const DpiScale scale = Scaling();
    const int margin = scale(kMargin), buttonHeight = scale(kButtonHeight), statusHeight = scale(kStatusHeight);
    ::MoveWindow(status_, 0, height - statusHeight, width, statusHeight, TRUE);
    const int buttons = height - statusHeight - margin - buttonHeight;
    ::MoveWindow(list_.Handle(), margin, margin, std::max(0, width - 2 * margin), std::max(0, buttons - 2 * margin),
                 TRUE);
    int left = margin;
    const auto place = [&](HWND control, int w) {
        ::MoveWindow(control, left, buttons, scale(w), buttonHeight, TRUE);
        left += scale(w) + margin / 2;
    };
    place(checkAll_, 110);
    place(uncheckAll_, 110);
    place(delete_, 170);
    place(saveReport_, 140);
    const int closeWidth = scale(90);
    const int right = width - margin - closeWidth;
    ::MoveWindow(close_, right, buttons, closeWidth, buttonHeight, TRUE);
    ::MoveWindow(cancel_, right - margin - closeWidth, buttons, closeWidth, buttonHeight, TRUE);
    const int barLeft = left + margin;
    ::MoveWindow(progress_, barLeft, buttons + scale(4), std::max(0, right - 2 * margin - closeWidth - barLeft),
                 buttonHeight - scale(8), TRUE);
}

void TfrmOtherBroken::DpiChanged(int previousDpi)
{
    FontHandle oldFont = std::move(font_);
    font_ = MakeFont(FontSize::Text, Dpi());
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    PlaceControls(font_.get());
    RescaleListColumns(list_.Handle(), previousDpi, Dpi());
    AlignControls();
}

void TfrmOtherBroken::SetStatus(const std::string& text)
{
    ::SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(WidenText(text).c_str()));
}

void TfrmOtherBroken::ShowStage(Stage stage)
{
    stage_ = stage;
    const bool idle = stage == Stage::Idle;
    ::EnableWindow(checkAll_, idle);
    ::EnableWindow(uncheckAll_, idle);
    ::EnableWindow(delete_, idle);
    ::EnableWindow(saveReport_, idle);
    ::EnableWindow(cancel_, !idle);
    ::ShowWindow(progress_, idle ? SW_HIDE : SW_SHOW);
    ::SendMessageW(progress_, PBM_SETPOS, 0, 0);
}

void TfrmOtherBroken::Open()
{
    if (Visible()) {
        if (::IsIconic(Handle()))
            ::ShowWindow(Handle(), SW_RESTORE);
        ::SetForegroundWindow(Handle());
        return;
    }
    Show();
    ::SetFocus(list_.Handle());
    StartExamination();
}

void TfrmOtherBroken::StopJob()
{
    worker_.Stop();
    ++job_;  // whatever it still posted is dropped
    ShowStage(Stage::Idle);
}

void TfrmOtherBroken::StartExamination()
{
    StopJob();
    list_.Clear();
    SetStatus(Text(TextId::OtherBrokenExamining, {"0", "0"}));
    ShowStage(Stage::Examining);
    const unsigned job = ++job_;
    HWND window = Handle();
    worker_.Start([this, job, window] {
        std::optional<SectionFindings> findings;
        std::exception_ptr error;
        try {
            SectionExamination examination(store_, files_, order_, 0, {MonotonicMicroseconds});
            findings = examination.ExamineAll(ProgressPoster(window, kProgressMessage), worker_.Cancelled());
            MarkKeysProtectedByWindows(store_, findings->keys);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            findings_ = std::move(findings);
            jobError_ = error;
        }
        ::PostMessageW(window, kDoneMessage, job, 0);
    });
}

void TfrmOtherBroken::ShowProgress(std::size_t done, std::size_t total)
{
    if (stage_ == Stage::Idle)
        return;
    // The bar's range is that of an int; the total may grow while the
    // sections are listed.
    const auto scale = [total](std::size_t n) { return static_cast<int>(total ? n * 10000 / total : 0); };
    ::SendMessageW(progress_, PBM_SETRANGE32, 0, 10000);
    ::SendMessageW(progress_, PBM_SETPOS, scale(done), 0);
    const TextId text = stage_ == Stage::Examining ? TextId::OtherBrokenExamining : TextId::OtherBrokenDeleting;
    SetStatus(Text(text, {std::to_string(done), std::to_string(total)}));
}

void TfrmOtherBroken::ExaminationDone()
{
    worker_.Stop();
    ShowStage(Stage::Idle);
    std::optional<SectionFindings> findings;
    std::exception_ptr error;
    {
        std::lock_guard lock(mutex_);
        findings.swap(findings_);
        std::swap(error, jobError_);
    }
    if (error)
        std::rethrow_exception(error);
    if (!findings)
        return;
    list_.Add(findings->keys, tree_);
    const std::string count = std::to_string(list_.Count());
    SetStatus(findings->cancelled ? Text(TextId::OtherBrokenStopped, {count}) : Text(TextId::OtherBrokenFound, {count}));
    if (findings->error) {
        std::string reason;
        try {
            std::rethrow_exception(findings->error);
        } catch (const std::exception& e) {
            reason = e.what();
        }
        ShowMessageDialog(Text(TextId::OtherBrokenReadError, {reason}), mtError, mbOKOnly, 0);
    }
}

void TfrmOtherBroken::CheckAllClick() { list_.SetChecks(true); }

void TfrmOtherBroken::UncheckAllClick() { list_.SetChecks(false); }

void TfrmOtherBroken::CancelClick() { worker_.Cancel(); }

void TfrmOtherBroken::DeleteClick()
{
    if (stage_ != Stage::Idle)
        return;
    std::vector<std::size_t> rows = list_.CheckedRows();
    if (rows.empty())
        return;
    const std::string question = rows.size() == 1
                                     ? std::string(Text(TextId::OtherBrokenConfirmDeleteOne))
                                     : Text(TextId::OtherBrokenConfirmDelete, {std::to_string(rows.size())});
    if (ShowMessageDialog(question, mtConfirmation, mbYesNo, 0) != mrYes)
        return;
    std::vector<BrokenKey> keys;
    keys.reserve(rows.size());
    for (std::size_t row : rows)
        keys.push_back(list_.At(row).key);
    deleting_ = std::move(rows);
    SetStatus(Text(TextId::OtherBrokenDeleting, {"0", std::to_string(keys.size())}));
    ShowStage(Stage::Deleting);
    const unsigned job = ++job_;
    HWND window = Handle();
    const std::string runName(Text(TextId::OtherBrokenCaption));
    worker_.Start([this, job, window, runName, keys = std::move(keys)] {
        std::optional<SectionDeletionOutcome> outcome;
        std::exception_ptr error;
        try {
            Win32RemovalBackup backup(runName);
            SectionExamination examination(store_, files_, order_, 0, {MonotonicMicroseconds});
            SectionDeletion deletion(
                store_, backup, [&examination](const BrokenKey& key) { return examination.ExamineAgain(key); },
                [](long code) { return SystemErrorText(static_cast<unsigned long>(code)); });
            outcome = deletion.Run(keys, ProgressPoster(window, kProgressMessage), worker_.Cancelled());
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            deletion_ = std::move(outcome);
            jobError_ = error;
        }
        ::PostMessageW(window, kDoneMessage, job, 0);
    });
}

void TfrmOtherBroken::DeletionDone(bool closing)
{
    worker_.Stop();
    ShowStage(Stage::Idle);
    std::optional<SectionDeletionOutcome> outcome;
    std::exception_ptr error;
    {
        std::lock_guard lock(mutex_);
        outcome.swap(deletion_);
        std::swap(error, jobError_);
    }
    if (error)
        std::rethrow_exception(error);
    if (!outcome)
        return;
    // Deleted keys and those no longer broken leave the list.
    std::vector<std::size_t> leaving;
    for (std::size_t position : outcome->gone)
        leaving.push_back(deleting_[position]);
    for (std::size_t position : outcome->healthy)
        leaving.push_back(deleting_[position]);
    if (keysDeleted_ && !outcome->gone.empty()) {
        std::vector<BrokenKey> keys;
        for (std::size_t row : deleting_)
            keys.push_back(list_.At(row).key);
        keysDeleted_(NamesOfDeletedKeys(keys, outcome->gone));
    }
    list_.Remove(leaving);
    SetStatus(outcome->folder.empty() ? Text(TextId::OtherBrokenFound, {std::to_string(list_.Count())})
                                      : Text(TextId::StatusBackupFolder, {outcome->folder}));
    std::string message = SectionProblemsMessage(outcome->problems);
    // The window is about to hide, and its status line with it: the message
    // names the backup folder too.
    if (closing && !outcome->folder.empty()) {
        if (!message.empty())
            message += '\r';
        message += Text(TextId::StatusBackupFolder, {outcome->folder});
    }
    if (outcome->deniedMachineKey && restartAsAdministrator_) {
        message += '\r';
        message += Text(TextId::RemovalRestartOffer);
        if (ShowMessageDialog(message, mtError, mbYesNo, 0) == mrYes)
            restartAsAdministrator_();
        return;
    }
    if (!message.empty())
        ShowMessageDialog(message, outcome->problems.empty() ? mtInformation : mtError, mbOKOnly, 0);
}

LRESULT TfrmOtherBroken::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        AlignControls();
        return 0;
    case WM_GETMINMAXINFO: {
        auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        // Wide enough for the buttons on the left and Cancel and Close on the
        // right, but never wider than the screen's work area.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        const bool known = ::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
        const int workWidth = known ? static_cast<int>(monitor.rcWork.right - monitor.rcWork.left) : Scale(760);
        info.ptMinTrackSize = {std::min(Scale(760), workWidth), Scale(240)};
        return 0;
    }
    case kProgressMessage:
        ShowProgress(static_cast<std::size_t>(wParam), static_cast<std::size_t>(lParam));
        return 0;
    case kDoneMessage:
        if (static_cast<unsigned>(wParam) == job_) {
            const Stage stage = stage_;
            Call([this, stage] { stage == Stage::Deleting ? DeletionDone() : ExaminationDone(); });
        }
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (LRESULT result = 0; list_.HandleNotify(header, result))
            return result;
        if (header.hwndFrom == list_.Handle() && header.code == LVN_COLUMNCLICK) {
            const int column = reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem;
            Call([this, column] { list_.SortBy(column); });
            return 0;
        }
        if (header.hwndFrom == list_.Handle() && header.code == LVN_KEYDOWN) {
            const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey;
            bool handled = false;
            Call([this, key, &handled] { handled = ListShortcut(key); });
            if (handled)
                return 0;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == list_.Handle()) {
            Call([this, lParam] { ListContextMenu(lParam); });
            return 0;
        }
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case IDC_OTHER_CHECKALL:
                Call([this] { CheckAllClick(); });
                return 0;
            case IDC_OTHER_UNCHECKALL:
                Call([this] { UncheckAllClick(); });
                return 0;
            case IDC_OTHER_DELETE:
                Call([this] { DeleteClick(); });
                return 0;
            case IDC_OTHER_SAVEREPORT:
                Call([this] { SaveReportClick(); });
                return 0;
            case IDC_OTHER_CANCEL:
                Call([this] { CancelClick(); });
                return 0;
            case IDC_OTHER_CLOSE:
            case IDCANCEL:  // Escape
                Close();
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_ACTIVATE:
        // Tab, the buttons' letters and Escape work as in a dialog while the
        // window is active.
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (Application.ModelessDialog() != Handle())
                keysBefore_ = Application.ModelessDialog();
            Application.SetModelessDialog(Handle());
        } else if (Application.ModelessDialog() == Handle()) {
            Application.SetModelessDialog(keysBefore_);
        }
        break;
    case WM_CLOSE:
        // Closing stops the job and waits for its thread; the window only
        // hides. A deletion stops after the key in progress and tells what
        // it did first.
        if (stage_ == Stage::Deleting) {
            worker_.Stop();
            ++job_;  // answered here, not by the message it posted
            Call([this] { DeletionDone(true); });
        } else {
            StopJob();
        }
        Hide();
        return 0;
    default:
        break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace qob
