#include "sections/SectionScan.h"

#include "catalogue/Registry.h"
#include "catalogue/SharedReader.h"
#include "catalogue/Utf8.h"
#include "sections/SectionKinds.h"
#include "sections/VerdictSupport.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <thread>
#include <utility>

namespace qob {

namespace {

// One item to examine: its kind's row, its view, and its name in the
// section (a key, or for some kinds a key that holds several).
struct SectionKey {
    const SectionKindRow* row;
    RegistryView view;
    std::string name;
};

// Gives the verdicts on the keys of the sections, on one thread. Each
// section's key is opened once and the keys are opened below it.
class Examiner {
public:
    Examiner(KeyStore& store, FileChecks& files, KeyPresence& keys) : context_{store, files, keys} {}

    // The broken keys of the item, in the order found.
    void Examine(const SectionKey& item, std::vector<BrokenKey>& found)
    {
        const SectionKindRow& row = *item.row;
        if (!row.itemKeys) {
            if (std::optional<BrokenKey> broken = ExamineKey(item))
                found.push_back(std::move(*broken));
            return;
        }
        const std::optional<KeyHandle> section = Section(row, item.view);
        if (!section)
            return;
        keys_.clear();
        row.itemKeys(context_.store, *section, item.name, keys_);
        for (std::string& key : keys_) {
            if (std::optional<BrokenKey> broken = ExamineKey({&row, item.view, std::move(key)}))
                found.push_back(std::move(*broken));
        }
    }

    // The verdict on the one key `key.name` of the section.
    std::optional<BrokenKey> ExamineKey(const SectionKey& key)
    {
        const SectionKindRow& row = *key.row;
        const std::optional<KeyHandle> section = Section(row, key.view);
        if (!section)
            return std::nullopt;
        std::optional<BrokenKey> broken = row.verdict(context_, *section, key.name, key.view);
        if (broken) {
            broken->kind = row.kind;
            broken->view = key.view;
            broken->path = *row.section ? std::string(row.section) + "\\" + key.name : key.name;
            broken->name = KeyNameInView(broken->path, key.view);
            // Asked of the broken keys only: two opens each, none for a healthy key.
            broken->hives = FindKeyHives(context_.store, broken->path, key.view);
        }
        return broken;
    }

private:
    // The section's key in the view, opened when first needed; the root
    // itself for the kinds below the root's keys.
    std::optional<KeyHandle> Section(const SectionKindRow& row, RegistryView view)
    {
        if (!*row.section)
            return kClassesRoot;
        const auto [it, added] =
            sections_.try_emplace({row.kind, view}, context_.store, kClassesRoot, row.section, view);
        if (!it->second)
            return std::nullopt;
        return it->second.get();
    }

    VerdictContext context_;
    std::map<std::pair<SectionKind, RegistryView>, ReadKey> sections_;
    std::vector<std::string> keys_;
};

// What examining one item gave.
struct Outcome {
    std::vector<BrokenKey> broken;
    std::exception_ptr error;
};

// Lists one kind's items in one view, in the registry's order: the
// section's keys, or those its row picks from the root's (listed into
// `rootNames` when first needed, and kept in `listed`).
void ListItems(KeyStore& store, const SectionKindRow& row, RegistryView view, std::vector<SectionKey>& keys,
               std::vector<std::string>& names, std::optional<std::vector<std::string>>& rootNames,
               ListedKeys& listed)
{
    names.clear();
    if (row.rootItems) {
        if (!rootNames) {
            rootNames.emplace();
            ListSubkeyNames(store, kClassesRoot, *rootNames);
            listed.AddRootNames(*rootNames);
        }
        row.rootItems(store, *rootNames, names);
    } else if (const ReadKey section{store, kClassesRoot, row.section, view}) {
        ListSubkeyNames(store, section.get(), names);
    }
    for (std::string& name : names)
        keys.push_back({&row, view, std::move(name)});
}

// One examining thread a processor. Each thread has mostly one call to the
// registry at a time; under Wine more threads than cores only take turns
// with the registry's server.
unsigned DefaultThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace

SectionExamination::SectionExamination(KeyStore& store, const FileSystem& files, const NameOrder& order,
                                       unsigned threads, const ScanPacing& pacing)
    : store_(store),
      files_(files),
      order_(order),
      threads_(std::min(threads == 0 ? DefaultThreads() : threads, kMaxScanThreads)),
      pacing_(pacing)
{
}

SectionFindings SectionExamination::ExamineAll(const SectionProgress& progress, const std::atomic<bool>& cancel)
{
    SectionFindings findings;
    std::vector<SectionKey> keys;
    ListedKeys listed(store_);
    std::vector<std::string> names;
    std::optional<std::vector<std::string>> rootNames;
    for (const SectionKindRow& row : SectionKinds()) {
        for (const RegistryView view : row.views) {
            if (cancel) {
                findings.cancelled = true;
                return findings;
            }
            const std::size_t first = keys.size();
            ListItems(store_, row, view, keys, names, rootNames, listed);
            for (std::size_t i = first; i < keys.size(); ++i)
                listed.Add(row.kind, keys[i].name);
            if (progress)
                progress(0, keys.size());
        }
    }

    // The keys are examined on the calling thread and its helpers, each
    // with its own examiner; the verdicts are collected in the keys' order.
    FileChecks files(files_);
    std::vector<Outcome> outcomes(keys.size());
    const auto makeExaminer = [&]() -> ItemReader {
        auto examiner = std::make_shared<Examiner>(store_, files, listed);
        return [examiner, &keys, &outcomes](std::size_t index) {
            Outcome& outcome = outcomes[index];
            try {
                examiner->Examine(keys[index], outcome.broken);
            } catch (...) {
                outcome.error = std::current_exception();
            }
            return !outcome.error;
        };
    };
    const auto collect = [&](std::size_t index) {
        Outcome& outcome = outcomes[index];
        if (outcome.error)
            findings.error = outcome.error;
        else
            std::move(outcome.broken.begin(), outcome.broken.end(), std::back_inserter(findings.keys));
        if (progress)
            progress(index + 1, keys.size());
        return !cancel;
    };
    const std::size_t count = keys.size();
    const std::size_t window = std::max<std::size_t>(count, 1);
    const unsigned helpers = static_cast<unsigned>(std::min<std::size_t>(threads_, window) - 1);
    const std::size_t examined = ReadShared({count, helpers, window, pacing_}, makeExaminer, collect);
    findings.cancelled = examined < count && !findings.error;

    std::stable_sort(findings.keys.begin(), findings.keys.end(), [this](const BrokenKey& a, const BrokenKey& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return order_.Compare(a.name, b.name) < 0;
    });
    return findings;
}

bool IsSingleSectionKey(const BrokenKey& key)
{
    const SectionKindRow& row = KindRow(key.kind);
    if (std::find(row.views.begin(), row.views.end(), key.view) == row.views.end())
        return false;
    if (row.ownKey)
        return row.ownKey(key.path);
    const std::string section = row.section;
    const std::string& path = key.path;
    return IsPathBelow(path, section) && path.find('\\', section.size() + 1) == std::string::npos;
}

std::optional<BrokenKey> SectionExamination::ExamineAgain(const BrokenKey& key)
{
    if (!IsSingleSectionKey(key))
        return std::nullopt;
    const SectionKindRow& row = KindRow(key.kind);
    const std::string name = *row.section ? key.path.substr(key.path.find('\\') + 1) : key.path;
    FileChecks files(files_);
    RegistryKeys keys(store_);
    Examiner examiner(store_, files, keys);
    std::optional<BrokenKey> broken;
    try {
        broken = examiner.ExamineKey({&row, key.view, name});
    } catch (const ERegistryException&) {
        return std::nullopt;
    }
    if (broken) {
        broken->name = key.name;
        broken->path = key.path;
    }
    return broken;
}

}  // namespace qob
