#include "forms/TreeViewControl.h"

#include "forms/Application.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qob {

namespace {

TTreeNode* NodeOf(LPARAM lParam) { return reinterpret_cast<TTreeNode*>(lParam); }

HTREEITEM ItemOf(const TTreeNode& node) { return static_cast<HTREEITEM>(node.viewItem); }

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Writes the text into the control's buffer of `capacity` characters: as
// much as it holds, never half of a surrogate pair, always terminated.
void CopyIntoBuffer(const std::wstring& text, wchar_t* buffer, int capacity)
{
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    if (n > 0 && n < text.size() && IsHighSurrogate(text[n - 1]))
        --n;
    std::memcpy(buffer, text.data(), n * sizeof(wchar_t));
    buffer[n] = L'\0';
}

}  // namespace

void TTreeViewControl::Create(HWND parent, int id, RECT bounds, int indent, HIMAGELIST images)
{
    handle_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASLINES |
                                    TVS_HASBUTTONS | TVS_LINESATROOT | TVS_DISABLEDRAGDROP,
                                bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Application.Instance(), nullptr);
    if (!handle_)
        throw EOutOfResources(std::string(Text(TextId::ErrorNoWindow)));
    ::SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SendMessageW(handle_, TVM_SETINDENT, static_cast<WPARAM>(indent), 0);
    ::SendMessageW(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

bool TTreeViewControl::Insert(TTreeNode& node, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    insert.item.lParam = reinterpret_cast<LPARAM>(&node);
    // The control may ask for the node's text while inserting it: the node is
    // complete by now.
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(handle_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item)
        return false;
    node.viewItem = item;
    ++items_;
    return true;
}

bool TTreeViewControl::Materialise(TTreeNode& node)
{
    if (!node.viewItem)
        return false;
    if (materialised_.count(&node))
        return true;
    materialised_.insert(&node);
    for (int i = 0; i < node.Count(); ++i) {
        if (!Insert(*node.Item(i), ItemOf(node)))
            throw EOutOfResources(std::string(Text(TextId::ErrorItemNotInserted)));
    }
    return true;
}

bool TTreeViewControl::MaterialiseAncestors(TTreeNode& node)
{
    std::vector<TTreeNode*> chain;
    for (TTreeNode* p = node.Parent(); p; p = p->Parent())
        chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!Materialise(**it))
            return false;
    }
    return node.viewItem != nullptr;
}

bool TTreeViewControl::NodeAdded(TTreeNode& node)
{
    if (!handle_)
        return true;
    // A node added last goes last; one put between others goes after the
    // item of the node before it, or first.
    HTREEITEM after = TVI_LAST;
    if (node.NextSibling()) {
        const TTreeNode* before = node.PrevSibling();
        after = before ? ItemOf(*before) : TVI_FIRST;
    }
    TTreeNode* parent = node.Parent();
    if (!parent)
        return Insert(node, TVI_ROOT, after);
    // A child of a node that was opened gets its item at once; the control
    // asks every item whether it has children, so the parent's button follows.
    if (parent->viewItem && materialised_.count(parent))
        return Insert(node, ItemOf(*parent), after);
    return true;
}

void TTreeViewControl::NodeChanged(TTreeNode& node)
{
    if (!redraw_ || !node.viewItem)
        return;
    RECT r{};
    const HTREEITEM item = ItemOf(node);
    std::memcpy(&r, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
    if (::SendMessageW(handle_, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r)))
        ::InvalidateRect(handle_, &r, TRUE);
}

void TTreeViewControl::NodeDeleting(TTreeNode& node)
{
    if (node.viewItem) {
        // TVN_DELETEITEM forgets every removed item, descendants included.
        ::SendMessageW(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(ItemOf(node)));
    }
}

void TTreeViewControl::SetRedraw(bool on)
{
    redraw_ = on;
    if (!handle_)
        return;
    ::SendMessageW(handle_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on)
        ::InvalidateRect(handle_, nullptr, TRUE);
}

TTreeNode* TTreeViewControl::Selected()
{
    if (!handle_)
        return nullptr;
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(handle_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item)
        return nullptr;
    TVITEMW query{};
    query.mask = TVIF_HANDLE | TVIF_PARAM;
    query.hItem = item;
    if (!::SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)))
        return nullptr;
    return NodeOf(query.lParam);
}

void TTreeViewControl::Select(TTreeNode& node)
{
    if (handle_ && MaterialiseAncestors(node))
        ::SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ItemOf(node)));
}

void TTreeViewControl::ScrollToTop(TTreeNode& node)
{
    if (handle_ && MaterialiseAncestors(node))
        ::SendMessageW(handle_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(ItemOf(node)));
}

void TTreeViewControl::Focus()
{
    if (handle_)
        ::SetFocus(handle_);
}

bool TTreeViewControl::HandleNotify(const NMHDR& header, LRESULT& result)
{
    if (header.hwndFrom != handle_ || !handle_)
        return false;
    result = 0;
    switch (header.code) {
    case TVN_GETDISPINFOW: {
        auto& item = const_cast<NMTVDISPINFOW&>(reinterpret_cast<const NMTVDISPINFOW&>(header)).item;
        const TTreeNode* node = NodeOf(item.lParam);
        if (!node)
            return true;
        if ((item.mask & TVIF_TEXT) && item.pszText && item.cchTextMax > 0)
            CopyIntoBuffer(WidenText(node->Text()), item.pszText, item.cchTextMax);
        if (item.mask & TVIF_IMAGE)
            item.iImage = node->ImageIndex();
        if (item.mask & TVIF_SELECTEDIMAGE)
            item.iSelectedImage = node->SelectedIndex();
        if (item.mask & TVIF_CHILDREN)
            item.cChildren = node->HasChildren() ? 1 : 0;
        return true;
    }
    case TVN_ITEMEXPANDINGW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        if ((info.action & TVE_EXPAND) && info.itemNew.lParam) {
            Application.Guard([&] { Materialise(*NodeOf(info.itemNew.lParam)); });
        }
        return true;
    }
    case TVN_DELETEITEMW: {
        const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (TTreeNode* node = NodeOf(info.itemOld.lParam)) {
            node->viewItem = nullptr;
            materialised_.erase(node);
            if (items_ > 0)
                --items_;
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace qob
