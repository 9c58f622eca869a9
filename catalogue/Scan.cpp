#include "catalogue/Scan.h"

#include "catalogue/Registry.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace qob {

namespace {

// Reads the names in order, alone or with the pool, as the pacing decides,
// and hands each record to `apply` on the scan's thread.
class EntrySequence {
public:
    EntrySequence(TRegistry& registry, KeyStore& store, const std::vector<std::string>& names, unsigned threads,
                  const ScanPacing& pacing)
        : names_(names), alone_(registry), pacing_(pacing)
    {
        if (threads > 1 && names.size() > 1)
            pool_.emplace(store, names, static_cast<unsigned>(std::min<std::size_t>(threads, names.size())));
    }

    template <typename ApplyRecord>
    void ForEach(ApplyRecord&& apply)
    {
        const std::size_t count = names_.size();
        if (!pool_ || !pool_->Running()) {
            Read({ReadWay::Alone, 0, count}, apply);
            return;
        }
        if (!pacing_.now) {
            Read({ReadWay::InPool, 0, count}, apply);
            return;
        }
        PacingPolicy policy(count, pacing_.probe, pacing_.stretch);
        while (!policy.Done()) {
            const ReadPart part = policy.Next();
            const long long start = pacing_.now();
            Read(part, apply);
            policy.Took(pacing_.now() - start);
        }
    }

private:
    template <typename ApplyRecord>
    void Read(const ReadPart& part, ApplyRecord& apply)
    {
        if (part.way == ReadWay::InPool && part.first < part.last)
            pool_->Read(part.first, part.last);
        for (std::size_t index = part.first; index < part.last; ++index) {
            if (part.way == ReadWay::InPool)
                apply(pool_->Take(index));
            else
                apply(alone_.Read(names_[index]));
        }
    }

    const std::vector<std::string>& names_;
    EntryReader alone_;
    const ScanPacing pacing_;
    std::optional<ReaderPool> pool_;
};

}  // namespace

bool CheckedServers::ServerPathExists(const std::string& serverPath, RegistryView view)
{
    const auto [it, added] = known_.try_emplace({serverPath, view}, false);
    if (added)
        it->second = check_.ServerPathExists(serverPath, view);
    return it->second;
}

void RunRegistrationScan(TTreeNodes& tree, KeyStore& store, const NameOrder& order, ServerPresence& servers,
                         unsigned threads, const ScanPacing& pacing, const ScanProgress& progress)
{
    if (threads == 0)
        threads = DefaultScanThreads();
    threads = std::min(threads, kMaxScanThreads);
    TRegistry registry(store);
    registry.SetRootKey(kClassesRoot);
    std::vector<std::string> names;
    registry.OpenKey("\\");
    registry.GetKeyNames(names);
    registry.CloseKey();
    SortNames(names, order);
    tree.BeginUpdate();
    {
        EntrySequence entries(registry, store, names, threads, pacing);
        std::size_t done = 0;
        entries.ForEach([&](EntryRecord record) {
            AddEntryToTree(std::move(record), tree, servers);
            if (progress)
                progress(++done, names.size());
        });
    }
    names.clear();
    registry.CloseKey();
    tree.EndUpdate();
}

void ReadOneEntry(KeyStore& store, const FileSystem& files, const std::string& name, TTreeNodes& tree)
{
    TRegistry registry(store);
    registry.SetRootKey(kClassesRoot);
    CheckedServers servers(files);
    try {
        AddEntryToTree(EntryReader(registry).Read(name), tree, servers);
    } catch (const ERegistryException&) {
        // The nodes read before the error show what is there.
    }
}

}  // namespace qob
