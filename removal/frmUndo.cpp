#include "removal/frmUndo.h"

#include "forms/FormControls.h"
#include "forms/MessageDialog.h"
#include "forms/WindowFonts.h"
#include "catalogue/Utf8.h"
#include "catalogue/Win32Text.h"
#include "removal/Restore.h"
#include "removal/Win32Backup.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <stdexcept>

namespace qob {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
constexpr int kClientWidth = 680;
constexpr int kClientHeight = 341;

RECT Box(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

constexpr ListColumn kColumns[] = {
    {TextId::UndoColumnTime, 140}, {TextId::UndoColumnKey, 176}, {TextId::UndoColumnKeys, 48, LVCFMT_RIGHT},
    {TextId::UndoColumnFiles, 60, LVCFMT_RIGHT}, {TextId::UndoColumnState, 232},
};

void AddRow(HWND list, int row, const std::string& first)
{
    std::wstring wide = WidenText(first);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SelectRow(HWND list, int row)
{
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// Moves the folder to the recycle bin, asking nothing more unless it would
// be deleted for good (no recycle bin on its drive, or too big for it);
// false when it is still there.
bool MoveToRecycleBin(HWND owner, const std::wstring& folder)
{
    std::wstring from = folder;
    from.push_back(L'\0');  // the list of names ends in a second zero
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
           ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TfrmUndo::TfrmUndo(std::wstring base, RestoredHandler onRestored)
    : base_(std::move(base)), onRestored_(std::move(onRestored))
{
    const SIZE outer = OuterSize(kClientWidth, kClientHeight, kStyle, kExStyle);
    CreateHandle({QOB_CLASS_UNDO, std::string(Text(TextId::UndoCaption)), kStyle, kExStyle, outer.cx, outer.cy,
                  nullptr, nullptr});
    BecomeMainWindowDialog();
    CreateComponents();
    FillList({});
}

TfrmUndo::~TfrmUndo() { DestroyHandle(); }

HWND TfrmUndo::Child(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, RECT box, int id)
{
    return CreateControl({cls, text, WS_TABSTOP | style, exStyle, box, id, font_.get()});
}

void TfrmUndo::CreateComponents()
{
    font_ = MakeFont(FontSize::Text, Dpi());
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // Created in tab order.
    list_ = Child(WC_LISTVIEWW, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                  WS_EX_CLIENTEDGE, Box(8, 8, 664, 200), IDC_UNDO_LIST);
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddListColumns(list_, kColumns);
    result_ = Child(L"EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE,
                    Box(8, 216, 664, 84), IDC_UNDO_RESULT);
    restore_ = Child(L"BUTTON", std::string(Text(TextId::UndoRestore)), BS_DEFPUSHBUTTON, 0, Box(8, 308, 96, 25),
                     IDC_UNDO_RESTORE);
    open_ = Child(L"BUTTON", std::string(Text(TextId::UndoOpenFolder)), BS_PUSHBUTTON, 0, Box(112, 308, 120, 25),
                  IDC_UNDO_OPEN);
    delete_ = Child(L"BUTTON", std::string(Text(TextId::UndoDeleteBackup)), BS_PUSHBUTTON, 0,
                    Box(240, 308, 130, 25), IDC_UNDO_DELETE);
    close_ = Child(L"BUTTON", std::string(Text(TextId::ButtonClose)), BS_PUSHBUTTON, 0, Box(576, 308, 96, 25),
                   IDC_UNDO_CLOSE);
}

void TfrmUndo::DpiChanged(int previousDpi)
{
    FontHandle oldFont = std::move(font_);
    font_ = MakeFont(FontSize::Text, Dpi());
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    PlaceControls(font_.get());
    RescaleListColumns(list_, previousDpi, Dpi());
}

void TfrmUndo::FillList(const std::u16string& folder)
{
    rows_ = BackupRows(ReadBackupFolders(base_));
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    int selected = 0;
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const BackupRow& row = rows_[static_cast<std::size_t>(i)];
        AddRow(list_, i, row.when.empty() ? Utf8FromUtf16(row.folder) : row.when);
        SetListCell(list_, i, 1, row.key);
        SetListCell(list_, i, 2, std::to_string(row.keys));
        SetListCell(list_, i, 3, std::to_string(row.files));
        SetListCell(list_, i, 4, BackupStateText(row));
        if (row.folder == folder)
            selected = i;
    }
    if (rows_.empty())
        AddRow(list_, 0, std::string(Text(TextId::UndoNoBackups)));
    else
        SelectRow(list_, selected);
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
    UpdateButtons();
}

const BackupRow* TfrmUndo::SelectedRow() const
{
    const auto index = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return index >= 0 && index < static_cast<int>(rows_.size()) ? &rows_[static_cast<std::size_t>(index)] : nullptr;
}

std::wstring TfrmUndo::SelectedFolder() const
{
    const BackupRow* row = SelectedRow();
    return row ? base_ + L'\\' + WideOf(row->folder) : std::wstring();
}

void TfrmUndo::UpdateButtons()
{
    const BackupRow* row = SelectedRow();
    // A button that goes grey gives the focus to the list first.
    const bool inUse = row && row->state == BackupState::InUse;
    const bool restorable = row && row->state != BackupState::Damaged && !inUse;
    const bool deletable = row && !inUse;
    const HWND focus = ::GetFocus();
    if ((!restorable && focus == restore_) || (!deletable && focus == delete_) || (!row && focus == open_))
        ::SetFocus(list_);
    ::EnableWindow(restore_, restorable);
    ::EnableWindow(open_, row != nullptr);
    ::EnableWindow(delete_, deletable);
}

void TfrmUndo::RestoreClick()
{
    const BackupRow* row = SelectedRow();
    if (!row || row->state == BackupState::Damaged || row->state == BackupState::InUse ||
        BackupFolderInUse(SelectedFolder()))
        return;
    const std::u16string name = row->folder;
    const std::wstring folder = SelectedFolder();
    std::string lines;
    const auto add = [&lines](const std::string& line) { lines += line + "\r\n"; };
    RestorePlan plan;
    Application.SetCursor(crHourGlass);
    RestoreBackup(folder, add, add, &plan);
    Application.SetCursor(crDefault);
    ::SetWindowTextW(result_, WidenText(lines).c_str());
    FillList(name);
    // A folder refused now (it changed since it was listed) restored nothing.
    const bool passed = plan.hasKeys || !plan.files.empty();
    if (passed && onRestored_)
        onRestored_(folder, plan);
}

void TfrmUndo::OpenFolderClick()
{
    const std::wstring folder = SelectedFolder();
    if (!folder.empty())
        ::ShellExecuteW(Handle(), L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TfrmUndo::DeleteClick()
{
    const BackupRow* row = SelectedRow();
    if (!row || row->state == BackupState::InUse || BackupFolderInUse(SelectedFolder()))
        return;
    const std::u16string name = row->folder;
    const std::wstring folder = SelectedFolder();
    if (ShowMessageDialog(Text(TextId::UndoConfirmDelete, {Utf8FromUtf16(name)}), mtConfirmation, mbYesNo, 0) != mrYes)
        return;
    if (!MoveToRecycleBin(Handle(), folder))
        ShowMessageDialog(Text(TextId::UndoDeleteFailed, {Utf8FromUtf16(name)}), mtError, mbOKOnly, 0);
    FillList(name);
    ::SetFocus(list_);
}

void TfrmUndo::Click(int id)
{
    switch (id) {
    case IDC_UNDO_RESTORE:
        RestoreClick();
        break;
    case IDC_UNDO_OPEN:
        OpenFolderClick();
        break;
    case IDC_UNDO_DELETE:
        DeleteClick();
        break;
    case IDC_UNDO_CLOSE:
        CloseNow();
        break;
    default:
        break;
    }
}

void TfrmUndo::ShowModal()
{
    if (!Handle())
        return;
    closed_ = false;
    TApplication::ModalCursorScope cursor(Application);
    TApplication::TaskWindowsDisabled others(Handle());
    Show(SW_SHOWNORMAL);
    ::SetFocus(list_);
    Application.ModalLoop([this] { return closed_ || !Handle(); }, [this](MSG& msg) { return PreTranslate(msg); });
    // The window that was active before comes back before this one goes.
    others.End();
    Hide();
}

void TfrmUndo::FocusNext(HWND from, bool backwards)
{
    const std::array<HWND, 6> order{list_, result_, restore_, open_, delete_, close_};
    std::size_t at = 0;
    while (at < order.size() && order[at] != from)
        ++at;
    if (at == order.size())
        at = 0;
    const std::size_t step = backwards ? order.size() - 1 : 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        at = (at + step) % order.size();
        if (::IsWindowEnabled(order[at])) {
            ::SetFocus(order[at]);
            return;
        }
    }
}

void TfrmUndo::CloseNow()
{
    closed_ = true;
    TApplication::WakeLoop();
}

bool TfrmUndo::PreTranslate(MSG& msg)
{
    if (!Handle() || !msg.hwnd || (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)))
        return false;
    if (msg.message == WM_KEYDOWN) {
        const HWND focus = ::GetFocus();
        switch (msg.wParam) {
        case VK_RETURN:
            if (focus == open_ || focus == delete_ || focus == close_)
                Call([this, focus] { Click(::GetDlgCtrlID(focus)); });
            else if (::IsWindowEnabled(restore_))
                Call([this] { RestoreClick(); });
            return true;
        case VK_DELETE:
            if (::IsWindowEnabled(delete_))
                Call([this] { DeleteClick(); });
            return true;
        case VK_ESCAPE:
            CloseNow();
            return true;
        case VK_TAB:
            FocusNext(focus, ::GetKeyState(VK_SHIFT) < 0);
            return true;
        default:
            break;
        }
    }
    // The access keys of the buttons.
    return ::IsDialogMessageW(Handle(), &msg) != FALSE;
}

LRESULT TfrmUndo::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            Call([this, id = LOWORD(wParam)] { Click(id); });
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom == list_ && header.code == LVN_ITEMCHANGED)
            UpdateButtons();
        else if (header.hwndFrom == list_ && header.code == NM_DBLCLK &&
                 reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0)
            Call([this] { RestoreClick(); });
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus))
                lastFocus_ = focus;
        } else {
            ::SetFocus(lastFocus_ && ::IsWindowEnabled(lastFocus_) ? lastFocus_ : list_);
        }
        return 0;
    case WM_CLOSE:  // the close box, Close on the window menu, Alt+F4
        CloseNow();
        return 0;
    case WM_DESTROY:
        CloseNow();
        break;
    default:
        break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace qob
