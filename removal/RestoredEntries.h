// The entries of the tree that a restore of a backup folder puts back.
#pragma once

#include "catalogue/EntryRefresh.h"
#include "removal/RestoreCheck.h"

#include <string>
#include <vector>

namespace qob {

// The ProgIDs among the keys a folder holds: keys right below a class root
// that are no container of the registry.
std::vector<std::string> RestoredProgIds(const RestorePlan& plan);

// The entries of the restored ProgIDs read into the tree, each in its place
// or at its sorted place (ReadEntryIntoTree); gives the first of them, or
// nothing when none is an entry.
TTreeNode* ReadRestoredEntries(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const NameOrder& order,
                               const RestorePlan& plan, const NodesChanged& changed);

}  // namespace qob
