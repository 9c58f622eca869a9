// The registration tree: nodes with a text and two image indices, in
// ordered child lists. The tree-view control only shows it: a view attached
// through TreeView is told of every change and asks the nodes for their texts
// and icons when it draws them.
#pragma once

#include "catalogue/RegistryView.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qob {

class ETreeViewError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Node icons of ImageList1.
constexpr int kIconNormal = 0;
constexpr int kIconFaultyGroup = 1;
constexpr int kIconFaultyEntry = 2;

class TTreeNodes;

class TTreeNode {
public:
    TTreeNode(TTreeNode* parent, std::string text) : parent_(parent), text_(std::move(text)) {}
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    const std::string& Text() const { return text_; }
    int ImageIndex() const { return imageIndex_; }
    int SelectedIndex() const { return selectedIndex_; }
    TTreeNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    bool HasChildren() const { return !children_.empty(); }
    // Direct child at a position from 0; ETreeViewError outside 0..Count()-1.
    TTreeNode* Item(int position) const;
    int Level() const;
    int AbsoluteIndex() const;

    TTreeNode* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    TTreeNode* PrevSibling() const;
    TTreeNode* NextSibling() const;
    // The next node in pre-order over the whole tree.
    TTreeNode* PreOrderSuccessor() const;

    // The view's own handle for this node (a tree-view item), or null.
    void* viewItem = nullptr;

    // Of an entry: the registry view its class key was found in. The scan
    // sets it; the removal deletes the class key in the same view.
    RegistryView ClassView() const { return classView_; }
    void SetClassView(RegistryView view) { classView_ = view; }

private:
    friend class TTreeNodes;

    TTreeNode* parent_;
    TTreeNodes* owner_ = nullptr;
    std::size_t position_ = 0;  // index in the parent's (or the top level's) list
    std::size_t size_ = 1;      // nodes in this subtree, the node included
    std::string text_;
    int imageIndex_ = 0;
    int selectedIndex_ = 0;
    RegistryView classView_ = RegistryView::Native;
    std::vector<std::unique_ptr<TTreeNode>> children_;
};

// What a display of the tree must offer.
class TreeView {
public:
    virtual ~TreeView() = default;
    // A node was added among the children of its parent (or at the top
    // level), at its place there: mostly the last. False when the control
    // refuses the item.
    virtual bool NodeAdded(TTreeNode& node) = 0;
    virtual void NodeChanged(TTreeNode& node) = 0;
    // The node and its subtree are about to leave the tree.
    virtual void NodeDeleting(TTreeNode& node) = 0;
    virtual void SetRedraw(bool on) = 0;
    virtual TTreeNode* Selected() = 0;
    virtual void Select(TTreeNode& node) = 0;
    virtual void ScrollToTop(TTreeNode& node) = 0;
    virtual void Focus() = 0;
};

class TTreeNodes {
public:
    TTreeNodes() = default;
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;
    ~TTreeNodes();

    void AttachView(TreeView* view) { view_ = view; }

    // Adds a node as the last child of parent, or as the last top-level node
    // when parent is null. EOutOfResources when the view refuses it.
    TTreeNode* AddChild(TTreeNode* parent, std::string text);
    // The same at a position among the children (0 the first; past the last
    // adds it last).
    TTreeNode* InsertChild(TTreeNode* parent, std::size_t position, std::string text);
    void SetImageIndex(TTreeNode& node, int index);
    void SetSelectedIndex(TTreeNode& node, int index);
    void SetIcon(TTreeNode& node, int index);  // both indices
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    const std::vector<std::unique_ptr<TTreeNode>>& TopLevel() const { return topLevel_; }
    // ETreeViewError "不正なｲﾝﾃﾞｯｸｽ" when there is no node with that index.
    // Always answers for the tree as it is now. Cheap for a walk through
    // ascending indices: the last answer is kept until the tree changes, and
    // a fresh lookup steps over whole subtrees.
    TTreeNode* NodeAtAbsoluteIndex(int index) const;
    void Delete(TTreeNode* node);
    // Gives `node` copies of the children of `source` (a node of another
    // tree, with all below them) in place of its own, and the icons and class
    // view of `source`: an entry read again. The view is told of each child
    // that goes and each that comes, and of the node's change.
    void ReplaceChildren(TTreeNode& node, const TTreeNode& source);
    std::size_t NodeCount() const { return nodeCount_; }
    // Counts the nodes added and the subtrees deleted: whoever keeps a node
    // or an index between events knows by it whether the tree has changed.
    unsigned long Changes() const { return changes_; }

    TTreeNode* Selected() const { return view_ ? view_->Selected() : nullptr; }
    void Select(TTreeNode& node);
    void ScrollToTop(TTreeNode& node);
    void Focus();

private:
    friend class TTreeNode;
    std::vector<std::unique_ptr<TTreeNode>>& SiblingsOf(const TTreeNode& node);
    void Reposition(std::vector<std::unique_ptr<TTreeNode>>& list, std::size_t from);
    static void Release(std::vector<std::unique_ptr<TTreeNode>> nodes);

    std::vector<std::unique_ptr<TTreeNode>> topLevel_;
    TreeView* view_ = nullptr;
    int updateCount_ = 0;
    std::size_t nodeCount_ = 0;
    unsigned long changes_ = 0;
    // The last lookup's answer, valid while changes_ is cachedAt_.
    mutable TTreeNode* cachedNode_ = nullptr;
    mutable int cachedIndex_ = 0;
    mutable unsigned long cachedAt_ = 0;
};

}  // namespace qob
