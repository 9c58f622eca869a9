// One entry of the registration tree read again from the registry, while
// the tree is shown: in its place when the tree has it, else at its sorted
// place among the entries.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/RegistryView.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeModel.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qob {

// Told that the tree changed at absolute index `at`: the `oldCount` nodes
// from there (none for an insertion) are now `newCount` others. A search
// keeps its cursor on its node with it.
using NodesChanged = std::function<void(int at, int oldCount, int newCount)>;

// How many nodes lie below the node.
int Descendants(const TTreeNodes& tree, const TTreeNode& node);

// Reads the shown entry again (its server files looked for anew) in its
// place; false, and the entry left as it was, when it is no ProgID any more.
// A selected node below the entry gives way to the entry, selected.
bool RereadEntry(TTreeNodes& tree, TTreeNode& entry, KeyStore& store, const FileSystem& files,
                 const NodesChanged& changed);

// Reads the ProgID entry `progId` afresh (its server files looked for anew)
// into `tree`: an entry of that name (in any case) gets the new subtree in
// its place (as RereadEntry), else the entry is inserted where the scan's
// order puts it, after every entry that does not sort after it. Gives the
// entry, or nothing when `progId` is no ProgID (it then leaves the tree as it
// was).
TTreeNode* ReadEntryIntoTree(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const NameOrder& order,
                             const std::string& progId, const NodesChanged& changed);

// The value node of an entry's group ("CLSID", "TypeLib", "InprocServer32",
// ...), or nothing when the entry has no such group. A description that
// reads like a group name has no value node.
const TTreeNode* EntryValue(const TTreeNode& entry, std::string_view group);

// Whether one of the entry's server paths names the file (a full path), as
// the server check reads the path in the entry's view.
bool EntryUsesFile(const TTreeNode& entry, const std::string& file, const ServerPathCheck& check);

// What a deletion took away that other entries of the tree may name.
struct RemovedNames {
    std::vector<std::pair<std::string, RegistryView>> classes;  // class ids, with the view of the key
    std::vector<std::string> typeLibraries;                     // type library ids
    std::vector<std::string> files;                             // the files, as full paths
    bool Empty() const { return classes.empty() && typeLibraries.empty() && files.empty(); }
};

// Whether the entry names something the deletion took: its class key in the
// view it was read from, its type library, or a server file.
bool EntryNamesRemoved(const TTreeNode& entry, const RemovedNames& removed, const ServerPathCheck& check);

// Reads again, each in its place, every entry of the tree that names
// something the deletion took, so that its icons tell what is there now;
// the other entries stay as they are. Gives the number read again.
int RereadEntriesNaming(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const RemovedNames& removed,
                        const NodesChanged& changed);

}  // namespace qob
