#include "catalogue/Scan.h"

#include "catalogue/Registry.h"
#include "catalogue/SharedReader.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace qob {

namespace {

// One thread's access to the registry, for reading entries.
struct ThreadEntryReader {
    explicit ThreadEntryReader(KeyStore& store) : registry(store), reader(registry)
    {
        registry.SetRootKey(kClassesRoot);
    }

    TRegistry registry;
    EntryReader reader;
};

// Reads the entries of `names` with `readers` threads, or on the calling
// thread, as the pacing decides, and hands each record to `apply` on the
// calling thread in the names' order. The records read ahead wait in a ring
// of a few slots a reader.
void ReadEntries(KeyStore& store, const std::vector<std::string>& names, unsigned readers, const ScanPacing& pacing,
                 const std::function<void(EntryRecord)>& apply)
{
    const unsigned helpers =
        readers > 1 && names.size() > 1 ? static_cast<unsigned>(std::min<std::size_t>(readers, names.size())) : 0;
    const std::size_t window = std::size_t{16} * std::max(1u, helpers);
    std::vector<EntryRecord> slots(window);
    const auto makeReader = [&]() -> ItemReader {
        auto own = std::make_shared<ThreadEntryReader>(store);
        return [own, &slots, &names, window](std::size_t index) {
            EntryRecord& slot = slots[index % window];
            slot = own->reader.Read(names[index]);
            return !slot.error;
        };
    };
    ReadShared({names.size(), helpers, window, pacing}, makeReader, [&](std::size_t index) {
        apply(std::move(slots[index % window]));
        return true;
    });
}

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
    std::size_t done = 0;
    ReadEntries(store, names, threads, pacing, [&](EntryRecord record) {
        AddEntryToTree(std::move(record), tree, servers);
        if (progress)
            progress(++done, names.size());
    });
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
