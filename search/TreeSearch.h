// The search through the registration tree: a cursor (the absolute index of
// the node the next step examines) and the search-active flag, stepping
// forward in pre-order over the tree model. A step examines the node at the
// cursor and, while its time budget lasts, the nodes after it; it ends at a
// match or past the last node, and never wraps around. Every node is looked
// up afresh by its index, so a removal of k nodes before the cursor between
// two steps makes the search skip k nodes.
#pragma once

#include "catalogue/TreeModel.h"

#include <functional>
#include <string>

namespace qob {

// Plain substring test: case counts, and an empty text matches nothing.
// Over UTF-8 it matches whole characters only.
bool SearchTextMatches(const std::string& nodeText, const std::string& findText);

// How long one step may run before it returns to the message loop, in
// microseconds.
constexpr long long kSearchStepBudget = 4000;

class TreeSearch {
public:
    // `activeFlag` is the search-active flag (1 while a search runs): the
    // search reads and writes it where it lives.
    TreeSearch(TTreeNodes& nodes, int& activeFlag) : nodes_(nodes), active_(activeFlag) {}
    TreeSearch(const TreeSearch&) = delete;
    TreeSearch& operator=(const TreeSearch&) = delete;

    int Cursor() const { return cursor_; }
    bool Active() const { return active_ == 1; }

    // A new search: it starts after the selected node, or at the first node
    // when none is selected; the flag is set.
    void Start(const TTreeNode* selected);
    // The flag cleared; the cursor keeps its value.
    void Stop() { active_ = 0; }

    // The tree changed at absolute index `at`: the `oldCount` nodes from
    // there (none for an insertion) are now `newCount` others. The cursor
    // keeps to the node it was on when that one is still there, and is past
    // the new nodes when it was among the old.
    void NodesReplaced(int at, int oldCount, int newCount);

    enum class Result { Continue, Found, NotFound };
    struct Outcome {
        Result result;
        TTreeNode* node;  // the match when Found
    };
    // Examines the node at the cursor, then the next ones while `more()`
    // says so, until a match or the end of the tree. A match counts only
    // while the flag is set. On Found the cursor stays on the match; on
    // NotFound it stays past the last node.
    Outcome Step(const std::string& findText, const std::function<bool()>& more);
    // The same with a time budget: `now` is a clock in microseconds, read
    // now and then.
    Outcome StepFor(const std::string& findText, const std::function<long long()>& now,
                    long long budget = kSearchStepBudget);

private:
    TTreeNodes& nodes_;
    int& active_;
    int cursor_ = 0;
};

}  // namespace qob
