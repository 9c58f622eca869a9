#include "sections/BrokenKeyList.h"

#include "forms/FormControls.h"
#include "catalogue/Utf8.h"
#include "catalogue/Win32Text.h"
#include "sections/BrokenKeyRows.h"
#include "texts/Texts.h"

namespace qob {

namespace {

enum Column { kKindColumn, kKeyColumn, kDescriptionColumn, kReasonColumn, kProgIdColumn, kWhereColumn, kColumns };

}  // namespace

void BrokenKeyList::Attach(HWND list)
{
    list_ = list;
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    const ListColumn columns[kColumns] = {{TextId::OtherBrokenColumnKind, 120},
                                          {TextId::OtherBrokenColumnKey, 370},
                                          {TextId::OtherBrokenColumnDescription, 130},
                                          {TextId::OtherBrokenColumnReason, 300},
                                          {TextId::OtherBrokenColumnProgId, 130},
                                          {TextId::OtherBrokenColumnWhere, 100}};
    AddListColumns(list_, columns);
}

void BrokenKeyList::Clear()
{
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
    sortColumn_ = -1;
}

void BrokenKeyList::Add(std::vector<BrokenKey>& keys, const TTreeNodes& tree)
{
    const ProgIdNames names(tree);
    rows_.reserve(rows_.size() + keys.size());
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (BrokenKey& key : keys) {
        Row row{std::move(key), {}, {}, {}, {}};
        row.kind = KindText(row.key.kind);
        row.reason = ReasonText(row.key);
        row.progIds = names.For(row.key);
        row.where = WhereText(row.key.hives);
        rows_.push_back(std::move(row));
        AddItem(rows_.size() - 1);
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
}

int BrokenKeyList::Count() const { return ListItemCount(list_); }

void BrokenKeyList::AddItem(std::size_t index)
{
    const Row& row = rows_[index];
    std::wstring kind = WidenText(row.kind);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListItemCount(list_);
    item.pszText = kind.data();
    item.lParam = static_cast<LPARAM>(index);
    const int at = static_cast<int>(::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0)
        throw EOutOfResources(std::string(Text(TextId::ErrorItemNotInserted)));
    SetListCell(list_, at, kKeyColumn, row.key.name);
    SetListCell(list_, at, kDescriptionColumn, row.key.description);
    SetListCell(list_, at, kReasonColumn, row.reason);
    SetListCell(list_, at, kProgIdColumn, row.progIds);
    SetListCell(list_, at, kWhereColumn, row.where);
    if (row.key.protectedByWindows) {
        // No check box: state image 0.
        LVITEMW state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        ::SendMessageW(list_, LVM_SETITEMSTATE, at, reinterpret_cast<LPARAM>(&state));
    }
}

bool BrokenKeyList::HandleNotify(const NMHDR& header, LRESULT& result) const
{
    if (header.hwndFrom != list_)
        return false;
    if (header.code == NM_CUSTOMDRAW) {
        auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        }
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && Protected(draw.nmcd.lItemlParam)) {
            draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
            result = CDRF_DODEFAULT;
            return true;
        }
        return false;
    }
    if (header.code == LVN_ITEMCHANGING) {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(&header);
        const bool checkBox = (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_STATEIMAGEMASK) != 0;
        if (checkBox && Protected(change.lParam)) {
            result = TRUE;  // refused
            return true;
        }
    }
    return false;
}

void BrokenKeyList::SetChecks(bool checked)
{
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

std::vector<std::size_t> BrokenKeyList::CheckedRows() const
{
    std::vector<std::size_t> rows;
    const int count = ListItemCount(list_);
    for (int item = 0; item < count; ++item) {
        if (ListItemChecked(list_, item))
            rows.push_back(ListItemParam(list_, item));
    }
    return rows;
}

std::vector<std::size_t> BrokenKeyList::ShownRows() const
{
    std::vector<std::size_t> rows;
    const int count = ListItemCount(list_);
    for (int item = 0; item < count; ++item)
        rows.push_back(ListItemParam(list_, item));
    return rows;
}

bool BrokenKeyList::SelectedRow(std::size_t& row, RECT& bounds) const
{
    const int item = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0)
        return false;
    row = ListItemParam(list_, item);
    bounds = RECT{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageW(list_, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds));
    return true;
}

void BrokenKeyList::Remove(const std::vector<std::size_t>& rows)
{
    std::vector<bool> leaving(rows_.size(), false);
    for (std::size_t row : rows)
        leaving[row] = true;
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (int item = ListItemCount(list_) - 1; item >= 0; --item) {
        if (leaving[ListItemParam(list_, item)])
            ::SendMessageW(list_, LVM_DELETEITEM, item, 0);
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
}

void BrokenKeyList::SortBy(int column)
{
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    ::SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&CompareRows));
}

int CALLBACK BrokenKeyList::CompareRows(LPARAM a, LPARAM b, LPARAM self)
{
    const auto* list = reinterpret_cast<const BrokenKeyList*>(self);
    const Row& first = list->rows_[static_cast<std::size_t>(a)];
    const Row& second = list->rows_[static_cast<std::size_t>(b)];
    const auto text = [column = list->sortColumn_](const Row& row) -> const std::string& {
        switch (column) {
        case kDescriptionColumn:
            return row.key.description;
        case kReasonColumn:
            return row.reason;
        case kProgIdColumn:
            return row.progIds;
        case kWhereColumn:
            return row.where;
        default:
            return row.key.name;
        }
    };
    int order = 0;
    if (list->sortColumn_ == kKindColumn)
        order = static_cast<int>(first.key.kind) - static_cast<int>(second.key.kind);
    if (order == 0)
        order = FoldCase(text(first)).compare(FoldCase(text(second)));
    if (order == 0 && list->sortColumn_ != kKeyColumn)
        order = FoldCase(first.key.name).compare(FoldCase(second.key.name));
    return list->sortAscending_ ? order : -order;
}

}  // namespace qob
