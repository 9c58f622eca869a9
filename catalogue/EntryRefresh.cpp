#include "catalogue/EntryRefresh.h"

#include "catalogue/Scan.h"
#include "catalogue/Utf8.h"

#include <algorithm>

namespace qob {

int Descendants(const TTreeNodes& tree, const TTreeNode& node)
{
    for (const TTreeNode* up = &node; up; up = up->Parent()) {
        if (const TTreeNode* next = up->NextSibling())
            return next->AbsoluteIndex() - node.AbsoluteIndex() - 1;
    }
    return static_cast<int>(tree.NodeCount()) - node.AbsoluteIndex() - 1;
}

TTreeNode* ReadEntryIntoTree(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const NameOrder& order,
                             const std::string& progId, const NodesChanged& changed)
{
    TTreeNodes fresh;
    ReadOneEntry(store, files, progId, fresh);
    if (fresh.TopLevel().empty())
        return nullptr;  // no ProgID: not an entry of the tree
    const TTreeNode& read = *fresh.TopLevel().front();
    const auto& entries = tree.TopLevel();
    const auto same = std::find_if(entries.begin(), entries.end(),
                                   [&](const auto& entry) { return EqualNoCase(entry->Text(), progId); });
    if (same != entries.end()) {
        TTreeNode* entry = same->get();
        const int at = entry->AbsoluteIndex() + 1;
        const int before = Descendants(tree, *entry);
        tree.ReplaceChildren(*entry, read);
        if (changed)
            changed(at, before, Descendants(tree, *entry));
        return entry;
    }
    const auto place = std::partition_point(entries.begin(), entries.end(), [&](const auto& other) {
        return order.Compare(other->Text(), read.Text()) <= 0;
    });
    TTreeNode* entry = tree.InsertChild(nullptr, static_cast<std::size_t>(place - entries.begin()), read.Text());
    tree.ReplaceChildren(*entry, read);
    if (changed)
        changed(entry->AbsoluteIndex(), 0, 1 + Descendants(tree, *entry));
    return entry;
}

}  // namespace qob
