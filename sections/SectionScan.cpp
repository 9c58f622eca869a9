#include "sections/SectionScan.h"

#include "catalogue/Registry.h"
#include "catalogue/SharedReader.h"
#include "catalogue/Utf8.h"
#include "sections/SectionKinds.h"
#include "sections/VerdictSupport.h"

#include <algorithm>
#include <map>
#include <memory>
#include <thread>
#include <utility>

namespace qob {

namespace {

// One key to examine: its kind's row, its view, and its name in the section.
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

    std::optional<BrokenKey> Examine(const SectionKey& key)
    {
        const SectionKindRow& row = *key.row;
        const std::optional<KeyHandle> section = Section(row, key.view);
        if (!section)
            return std::nullopt;
        std::optional<BrokenKey> broken = row.verdict(context_, *section, key.name, key.view);
        if (broken) {
            broken->kind = row.kind;
            broken->view = key.view;
            broken->path = std::string(row.section) + "\\" + key.name;
            broken->name = KeyNameInView(broken->path, key.view);
            // Asked of the broken keys only: two opens each, none for a healthy key.
            broken->hives = FindKeyHives(context_.store, broken->path, key.view);
        }
        return broken;
    }

private:
    // The section's key in the view, opened when first needed.
    std::optional<KeyHandle> Section(const SectionKindRow& row, RegistryView view)
    {
        const auto [it, added] =
            sections_.try_emplace({row.kind, view}, context_.store, kClassesRoot, row.section, view);
        if (!it->second)
            return std::nullopt;
        return it->second.get();
    }

    VerdictContext context_;
    std::map<std::pair<SectionKind, RegistryView>, ReadKey> sections_;
};

// What examining one key gave.
struct Outcome {
    std::optional<BrokenKey> broken;
    std::exception_ptr error;
};

// Lists one section's keys in one view, in the registry's order.
void ListSection(KeyStore& store, const SectionKindRow& row, RegistryView view, std::vector<SectionKey>& keys,
                 std::vector<std::string>& names)
{
    names.clear();
    if (const ReadKey section{store, kClassesRoot, row.section, view})
        ListSubkeyNames(store, section.get(), names);
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
    for (const SectionKindRow& row : SectionKinds()) {
        for (const RegistryView view : row.views) {
            if (cancel) {
                findings.cancelled = true;
                return findings;
            }
            const std::size_t first = keys.size();
            ListSection(store_, row, view, keys, names);
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
                outcome.broken = examiner->Examine(keys[index]);
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
        else if (outcome.broken)
            findings.keys.push_back(std::move(*outcome.broken));
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
    const std::string section = row.section;
    const std::string& path = key.path;
    return IsPathBelow(path, section) && path.find('\\', section.size() + 1) == std::string::npos;
}

std::optional<BrokenKey> SectionExamination::ExamineAgain(const BrokenKey& key)
{
    if (!IsSingleSectionKey(key))
        return std::nullopt;
    const std::string name = key.path.substr(key.path.find('\\') + 1);
    FileChecks files(files_);
    RegistryKeys keys(store_);
    Examiner examiner(store_, files, keys);
    std::optional<BrokenKey> broken;
    try {
        broken = examiner.Examine({&KindRow(key.kind), key.view, name});
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
