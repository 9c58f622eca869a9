// BrokenKeyList: the list view of the other broken registrations' window.
// It owns the rows (a broken key and its texts) and shows them with check
// boxes, sorted by the column last clicked. A row keeps its index for as
// long as the list holds it: the items' parameters are row indexes. The row
// of a key that Windows protects is greyed and has no check box.
#pragma once

#include "catalogue/TreeModel.h"
#include "sections/SectionScan.h"

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace qob {

class BrokenKeyList {
public:
    struct Row {
        BrokenKey key;
        std::string kind, reason, progIds, where;
    };

    // The list view's style, for the window that makes it.
    static constexpr DWORD kStyle = WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS;
    // Takes on the list view made with that style: gives it its check boxes
    // and columns.
    void Attach(HWND list);
    HWND Handle() const { return list_; }

    // Empties the list and its rows.
    void Clear();
    // Adds a row for each key, with the ProgIDs of `tree` that name it.
    void Add(std::vector<BrokenKey>& keys, const TTreeNodes& tree);
    // The number of items the list shows.
    int Count() const;
    const Row& At(std::size_t row) const { return rows_[row]; }

    void SetChecks(bool checked);
    // The rows whose items are checked, in the list's order.
    std::vector<std::size_t> CheckedRows() const;
    // Every row the list shows, in its order.
    std::vector<std::size_t> ShownRows() const;
    // The row of the selected item, and that item's rectangle in the list's
    // client coordinates; false when no item is selected.
    bool SelectedRow(std::size_t& row, RECT& bounds) const;
    // Takes the items of these rows off the list.
    void Remove(const std::vector<std::size_t>& rows);

    // Sorts by `column`; the same column again sorts the other way.
    void SortBy(int column);

    // The notifications of the list that it answers itself: the drawing of a
    // protected row in the system's grey, and the refusal of any check box
    // for it (Check all included). True when handled, with the result.
    bool HandleNotify(const NMHDR& header, LRESULT& result) const;

private:
    void AddItem(std::size_t row);
    static int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM self);
    bool Protected(LPARAM row) const
    {
        const auto index = static_cast<std::size_t>(row);
        return index < rows_.size() && rows_[index].key.protectedByWindows;
    }

    HWND list_ = nullptr;
    std::vector<Row> rows_;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
};

}  // namespace qob
