// The tree-view control (SysTreeView32) that shows the registration tree.
// Items carry no text or icon of their own: the control asks the node (the
// item's lParam) whenever it draws it. Only the top-level nodes are inserted
// as they are added; a node's children become items when the node is first
// expanded, or when a node below it is selected or scrolled to, so the
// control only holds what has been opened.
#pragma once

#include "catalogue/TreeModel.h"

#include <windows.h>
#include <commctrl.h>

#include <unordered_set>

namespace qob {

class TTreeViewControl final : public TreeView {
public:
    TTreeViewControl() = default;
    TTreeViewControl(const TTreeViewControl&) = delete;
    TTreeViewControl& operator=(const TTreeViewControl&) = delete;

    // Creates the control: read-only labels, lines and buttons also at the
    // root, the given indent and images; the selection shows only with focus.
    void Create(HWND parent, int id, RECT bounds, int indent, HIMAGELIST images);
    HWND Handle() const { return handle_; }
    // For WM_NOTIFY of the parent: true when the notification was the tree's.
    // The control sends the Unicode forms, its parent being a Unicode window.
    bool HandleNotify(const NMHDR& header, LRESULT& result);
    // How many items the control holds.
    std::size_t ItemCount() const { return items_; }

    bool NodeAdded(TTreeNode& node) override;
    void NodeChanged(TTreeNode& node) override;
    void NodeDeleting(TTreeNode& node) override;
    void SetRedraw(bool on) override;
    TTreeNode* Selected() override;
    void Select(TTreeNode& node) override;
    void ScrollToTop(TTreeNode& node) override;
    void Focus() override;

private:
    bool Insert(TTreeNode& node, HTREEITEM parent, HTREEITEM after = TVI_LAST);
    // Makes items of the node's children once.
    bool Materialise(TTreeNode& node);
    // Makes items down to the node; true when the node then has one.
    bool MaterialiseAncestors(TTreeNode& node);

    HWND handle_ = nullptr;
    bool redraw_ = true;
    std::size_t items_ = 0;
    std::unordered_set<const TTreeNode*> materialised_;
};

}  // namespace qob
