// The registration scan: one pass over the direct subkeys of
// HKEY_CLASSES_ROOT that fills the registration tree.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeModel.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qob {

// How the scan asks whether a server file is there.
class ServerPresence {
public:
    virtual ~ServerPresence() = default;
    // `view` is the registry view the class key was found in.
    virtual bool ServerPathExists(const std::string& serverPath, RegistryView view) = 0;
};

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

// Sorts names in place, ascending by `order`: a quicksort around the middle
// element, not stable.
void SortNames(std::vector<std::string>& names, const NameOrder& order);

// The most threads a scan reads the registry with.
constexpr unsigned kMaxScanThreads = 8;

// The number of reading threads chosen from the machine's processors.
unsigned DefaultScanThreads();

// How a scan with several threads shares the names between its own thread
// and the pool: each round reads `probe` names on its own thread, `probe`
// names with the pool, then up to `stretch` names the way that went faster by
// the clock `now` (microseconds), fewer if that way turns slower than the
// other one went, and twice as many in the next round if it did not (up to
// eight times). Without a clock the pool reads them all.
struct ScanPacing {
    std::function<long long()> now;
    std::size_t probe = 64;
    std::size_t stretch = 4096;
};

// Fills `tree` (which starts empty). A class key missing from the registry's
// own view is looked for in the 32-bit view, where classes registered only
// for 32-bit programs live; such a class's subkeys are read there too. Type
// libraries are shared by both views. An ERegistryException, ETreeViewError or
// EOutOfResources ends the scan where it arises and passes to the caller; the
// nodes added so far stay, and the tree's update mode is then left on.
//
// The entries are read with a pool of `threads` threads (0:
// DefaultScanThreads(); 1: all on the calling thread, no pool), each with its
// own registry access object, or on the calling thread, as `pacing` finds
// faster; the tree is built from what they read on the calling thread, in the
// names' order: the tree, the server checks and an error are the same
// whatever the number. `store` is used from all of them at once; `tree`,
// `order` and `servers` only from the calling thread. No reading thread
// outlives the call.
void RunRegistrationScan(TTreeNodes& tree, KeyStore& store, const NameOrder& order, ServerPresence& servers,
                         unsigned threads = 0, const ScanPacing& pacing = {});

}  // namespace qob
