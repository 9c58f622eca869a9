// One entry of the registration tree read again from the registry, while
// the tree is shown: in its place when the tree has it, else at its sorted
// place among the entries.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/TreeModel.h"

#include <functional>
#include <string>

namespace qob {

// Told that the tree changed at absolute index `at`: the `oldCount` nodes
// from there (none for an insertion) are now `newCount` others. A search
// keeps its cursor on its node with it.
using NodesChanged = std::function<void(int at, int oldCount, int newCount)>;

// How many nodes lie below the node.
int Descendants(const TTreeNodes& tree, const TTreeNode& node);

// Reads the ProgID entry `progId` afresh (its server files looked for anew)
// into `tree`: an entry of that name (in any case) gets the new subtree in
// its place, else the entry is inserted where the scan's order puts it,
// after every entry that does not sort after it. Gives the entry, or nothing
// when `progId` is no ProgID (it then leaves the tree as it was).
TTreeNode* ReadEntryIntoTree(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const NameOrder& order,
                             const std::string& progId, const NodesChanged& changed);

}  // namespace qob
