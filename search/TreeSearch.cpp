#include "search/TreeSearch.h"

#include <string_view>

namespace qob {

bool SearchTextMatches(const std::string& nodeText, const std::string& findText)
{
    return !findText.empty() && std::string_view(nodeText).find(findText) != std::string_view::npos;
}

void TreeSearch::Start(const TTreeNode* selected)
{
    cursor_ = selected ? selected->AbsoluteIndex() + 1 : 0;
    active_ = 1;
}

void TreeSearch::NodesReplaced(int at, int oldCount, int newCount)
{
    if (cursor_ >= at + oldCount)
        cursor_ += newCount - oldCount;
    else if (cursor_ >= at)
        cursor_ = at + newCount;
}

TreeSearch::Outcome TreeSearch::Step(const std::string& findText, const std::function<bool()>& more)
{
    for (;;) {
        TTreeNode* node;
        try {
            node = nodes_.NodeAtAbsoluteIndex(cursor_);
        } catch (const ETreeViewError&) {
            return {Result::NotFound, nullptr};
        }
        if (SearchTextMatches(node->Text(), findText) && Active())
            return {Result::Found, node};
        ++cursor_;
        if (!more())
            return {Result::Continue, nullptr};
    }
}

TreeSearch::Outcome TreeSearch::StepFor(const std::string& findText, const std::function<long long()>& now,
                                        long long budget)
{
    const long long deadline = now() + budget;
    unsigned examined = 0;
    // A node takes well under a microsecond: the clock is read every 256.
    return Step(findText, [&] { return ++examined % 256 != 0 || now() < deadline; });
}

}  // namespace qob
