// The registration scan: one pass over the direct subkeys of
// HKEY_CLASSES_ROOT that fills the registration tree.
#pragma once

#include "catalogue/EntryReader.h"
#include "catalogue/KeyStore.h"
#include "catalogue/NameSort.h"
#include "catalogue/Platform.h"
#include "catalogue/ScanPacing.h"
#include "catalogue/ServerPath.h"
#include "catalogue/SharedReader.h"
#include "catalogue/TreeModel.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace qob {

// The server path check for one scan: registries name the same few server
// files many times over, so each path is looked for once.
class CheckedServers final : public ServerPresence {
public:
    explicit CheckedServers(const FileSystem& files) : check_(files) {}
    bool ServerPathExists(const std::string& serverPath, RegistryView view) override;

private:
    ServerPathCheck check_;
    std::map<std::pair<std::string, RegistryView>, bool> known_;
};

// Reads the one entry `name` into `tree` (which starts empty) as the scan
// reads it, its server files looked for afresh. The nodes read before an
// error of the registry stay; the tree stays empty when `name` is no ProgID.
void ReadOneEntry(KeyStore& store, const FileSystem& files, const std::string& name, TTreeNodes& tree);

// Fills `tree` (which starts empty) with the entries in the order SortNames
// gives them. A class key missing from the registry's own view is looked for
// in the 32-bit view, where classes registered only for 32-bit programs live;
// such a class's subkeys are read there too. Type libraries are shared by both
// views. An ERegistryException, ETreeViewError or EOutOfResources ends the
// scan where it arises and passes to the caller; the nodes added so far stay,
// and the tree's update mode is then left on.
//
// The entries are read with a pool of `threads` threads (0:
// DefaultScanThreads(); 1: all on the calling thread, no pool), each with its
// own registry access object, or on the calling thread, as `pacing` finds
// faster (catalogue/SharedReader.h; with the pool, the calling thread reads
// too while its next entry is not ready); the tree is built from what they
// read on the calling thread, in the names' order: the tree, the server
// checks and an error are the same whatever the number. `store` is used from
// all of them at once; `tree`, `order` and `servers` only from the calling
// thread. No reading thread outlives the call.
//
// `progress`, when given, is told on the calling thread after each entry
// added: the names taken so far and the names in all.
using ScanProgress = std::function<void(std::size_t done, std::size_t total)>;
void RunRegistrationScan(TTreeNodes& tree, KeyStore& store, const NameOrder& order, ServerPresence& servers,
                         unsigned threads = 0, const ScanPacing& pacing = {}, const ScanProgress& progress = {});

}  // namespace qob
