#include "catalogue/TreeModel.h"

#include "texts/Texts.h"

#include <algorithm>

namespace qob {

namespace {

// How far a lookup walks on from the last answer before it looks afresh.
constexpr int kShortWalk = 64;

}  // namespace

TTreeNode* TTreeNode::Item(int position) const
{
    if (position < 0 || position >= Count())
        throw ETreeViewError(std::string(qob::Text(TextId::ErrorBadIndex)));
    return children_[static_cast<std::size_t>(position)].get();
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const TTreeNode* p = parent_; p; p = p->parent_)
        ++level;
    return level;
}

TTreeNode* TTreeNode::PrevSibling() const
{
    if (position_ == 0)
        return nullptr;
    return owner_->SiblingsOf(*this)[position_ - 1].get();
}

TTreeNode* TTreeNode::NextSibling() const
{
    const auto& siblings = owner_->SiblingsOf(*this);
    return position_ + 1 < siblings.size() ? siblings[position_ + 1].get() : nullptr;
}

TTreeNode* TTreeNode::PreOrderSuccessor() const
{
    if (TTreeNode* child = FirstChild())
        return child;
    for (const TTreeNode* node = this; node; node = node->parent_) {
        if (TTreeNode* next = node->NextSibling())
            return next;
    }
    return nullptr;
}

int TTreeNode::AbsoluteIndex() const
{
    // Every ancestor comes before the node, and so does every subtree of an
    // earlier sibling of the node or of an ancestor.
    std::size_t index = 0;
    for (const TTreeNode* node = this; node; node = node->parent_) {
        const auto& siblings = owner_->SiblingsOf(*node);
        for (std::size_t i = 0; i < node->position_; ++i)
            index += siblings[i]->size_;
        if (node->parent_)
            ++index;
    }
    return static_cast<int>(index);
}

void TTreeNodes::Release(std::vector<std::unique_ptr<TTreeNode>> nodes)
{
    // Each node's children are taken from it before it goes, so no node's
    // destructor releases another: however deep the tree, nothing recurses.
    while (!nodes.empty()) {
        std::unique_ptr<TTreeNode> node = std::move(nodes.back());
        nodes.pop_back();
        for (auto& child : node->children_)
            nodes.push_back(std::move(child));
    }
}

TTreeNodes::~TTreeNodes()
{
    view_ = nullptr;
    Release(std::move(topLevel_));
}

std::vector<std::unique_ptr<TTreeNode>>& TTreeNodes::SiblingsOf(const TTreeNode& node)
{
    return node.parent_ ? node.parent_->children_ : topLevel_;
}

void TTreeNodes::Reposition(std::vector<std::unique_ptr<TTreeNode>>& list, std::size_t from)
{
    for (std::size_t i = from; i < list.size(); ++i)
        list[i]->position_ = i;
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, std::string text)
{
    const auto& list = parent ? parent->children_ : topLevel_;
    return InsertChild(parent, list.size(), std::move(text));
}

TTreeNode* TTreeNodes::InsertChild(TTreeNode* parent, std::size_t position, std::string text)
{
    auto& list = parent ? parent->children_ : topLevel_;
    position = std::min(position, list.size());
    auto node = std::make_unique<TTreeNode>(parent, std::move(text));
    node->owner_ = this;
    TTreeNode* added = node.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(node));
    Reposition(list, position);
    if (view_ && !view_->NodeAdded(*added)) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(position));
        Reposition(list, position);
        throw EOutOfResources(std::string(qob::Text(TextId::ErrorItemNotInserted)));
    }
    ++nodeCount_;
    ++changes_;
    for (TTreeNode* p = parent; p; p = p->parent_)
        ++p->size_;
    return added;
}

void TTreeNodes::SetImageIndex(TTreeNode& node, int index)
{
    node.imageIndex_ = index;
    if (view_)
        view_->NodeChanged(node);
}

void TTreeNodes::SetSelectedIndex(TTreeNode& node, int index)
{
    node.selectedIndex_ = index;
    if (view_)
        view_->NodeChanged(node);
}

void TTreeNodes::SetIcon(TTreeNode& node, int index)
{
    SetImageIndex(node, index);
    SetSelectedIndex(node, index);
}

void TTreeNodes::BeginUpdate()
{
    if (updateCount_++ == 0 && view_)
        view_->SetRedraw(false);
}

void TTreeNodes::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && view_)
        view_->SetRedraw(true);
}

TTreeNode* TTreeNodes::NodeAtAbsoluteIndex(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= nodeCount_)
        throw ETreeViewError(std::string(qob::Text(TextId::ErrorBadIndex)));
    TTreeNode* node = nullptr;
    if (cachedNode_ && cachedAt_ == changes_ && index >= cachedIndex_ && index - cachedIndex_ <= kShortWalk) {
        node = cachedNode_;
        for (int i = cachedIndex_; i < index; ++i)
            node = node->PreOrderSuccessor();
    } else {
        // Down from the top level, stepping over the subtrees that end
        // before the index.
        std::size_t rest = static_cast<std::size_t>(index);
        const std::vector<std::unique_ptr<TTreeNode>>* list = &topLevel_;
        for (;;) {
            std::size_t i = 0;
            while (rest >= (*list)[i]->size_)
                rest -= (*list)[i++]->size_;
            node = (*list)[i].get();
            if (rest == 0)
                break;
            --rest;  // the node itself
            list = &node->children_;
        }
    }
    cachedNode_ = node;
    cachedIndex_ = index;
    cachedAt_ = changes_;
    return node;
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (!node)
        return;
    if (view_)
        view_->NodeDeleting(*node);
    auto& list = SiblingsOf(*node);
    const std::size_t position = node->position_;
    nodeCount_ -= node->size_;
    for (TTreeNode* p = node->parent_; p; p = p->parent_)
        p->size_ -= node->size_;
    ++changes_;
    std::vector<std::unique_ptr<TTreeNode>> removed;
    removed.push_back(std::move(list[position]));
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(position));
    Reposition(list, position);
    Release(std::move(removed));
}

void TTreeNodes::ReplaceChildren(TTreeNode& node, const TTreeNode& source)
{
    // The last child first, so that no remaining sibling moves.
    while (node.HasChildren())
        Delete(node.children_.back().get());
    // Each node is copied before its children, which keep their order.
    std::vector<std::pair<const TTreeNode*, TTreeNode*>> pending{{&source, &node}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (const auto& child : from->children_) {
            TTreeNode* copy = AddChild(to, child->text_);
            SetImageIndex(*copy, child->imageIndex_);
            SetSelectedIndex(*copy, child->selectedIndex_);
            copy->classView_ = child->classView_;
            pending.emplace_back(child.get(), copy);
        }
    }
    node.classView_ = source.classView_;
    SetImageIndex(node, source.imageIndex_);
    SetSelectedIndex(node, source.selectedIndex_);
}

void TTreeNodes::Select(TTreeNode& node)
{
    if (view_)
        view_->Select(node);
}

void TTreeNodes::ScrollToTop(TTreeNode& node)
{
    if (view_)
        view_->ScrollToTop(node);
}

void TTreeNodes::Focus()
{
    if (view_)
        view_->Focus();
}

}  // namespace qob
