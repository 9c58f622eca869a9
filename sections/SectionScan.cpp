#include "sections/SectionScan.h"

#include "catalogue/ReaderPool.h"
#include "catalogue/Registry.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeDump.h"
#include "catalogue/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>

namespace qob {

namespace {

const char* const kClassSection = "CLSID";
const char* const kLibrarySection = "TypeLib";
const char* const kInterfaceSection = "Interface";

const char* SectionOf(SectionKind kind)
{
    switch (kind) {
    case SectionKind::Class:
        return kClassSection;
    case SectionKind::TypeLibrary:
        return kLibrarySection;
    case SectionKind::Interface:
        break;
    }
    return kInterfaceSection;
}

// A key opened for reading, closed when it goes.
class ReadKey {
public:
    ReadKey(KeyStore& store, KeyHandle base, const std::string& path, RegistryView view) : store_(store)
    {
        result_ = store.OpenKey(base, path, kKeyRead | ViewFlags(view), key_);
        if (result_ != kErrorSuccess)
            key_ = kNoKey;
        else if (key_ == base)
            shared_ = true;
    }
    ~ReadKey()
    {
        if (key_ != kNoKey && !shared_)
            store_.CloseKey(key_);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;

    explicit operator bool() const { return key_ != kNoKey; }
    KeyHandle get() const { return key_; }
    // Not opened because it is not there (rather than not readable).
    bool Absent() const { return result_ == kErrorFileNotFound; }

private:
    KeyStore& store_;
    KeyHandle key_ = kNoKey;
    long result_ = kErrorSuccess;
    bool shared_ = false;  // the base key itself: not ours to close
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; anything else names no key.
bool IsGuid(const std::string& id)
{
    if (id.size() != 38 || id.front() != '{' || id.back() != '}')
        return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const char c = id[i];
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// A locale subkey of a type library's version: a hexadecimal number.
bool IsLocaleId(const std::string& name)
{
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

// A library path that ends in "\<number>" names a resource inside the file
// before it.
std::string WithoutResourceNumber(const std::string& path)
{
    const auto slash = path.rfind('\\');
    if (slash == std::string::npos || slash + 1 == path.size())
        return path;
    const bool number = std::all_of(path.begin() + static_cast<std::ptrdiff_t>(slash) + 1, path.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    return number ? path.substr(0, slash) : path;
}

// Whether the files that keys name are there, each path looked for once per
// examination: registries name the same few files many times over. Used by
// every examining thread.
class FileChecks {
public:
    explicit FileChecks(const FileSystem& files) : check_(files) {}

    ServerFileState Resolve(const std::string& path, RegistryView view)
    {
        const auto key = std::make_pair(path, view);
        {
            std::lock_guard lock(mutex_);
            const auto it = known_.find(key);
            if (it != known_.end())
                return it->second;
        }
        // Looked for outside the lock: two threads may look for the same
        // path, and find the same.
        const ServerFileState state = check_.Resolve(path, view).state;
        std::lock_guard lock(mutex_);
        known_.emplace(key, state);
        return state;
    }

    // A type library's file: a win32 file is also looked for where a 32-bit
    // process reads its path (the 32-bit system and program folders).
    ServerFileState ResolveLibrary(const std::string& path, bool win32)
    {
        const auto key = std::make_pair(path, win32);
        {
            std::lock_guard lock(mutex_);
            const auto it = libraries_.find(key);
            if (it != libraries_.end())
                return it->second;
        }
        const std::string file = WithoutResourceNumber(path);
        ServerFileState state = Resolve(file, RegistryView::Native);
        if (state == ServerFileState::Missing && win32 &&
            check_.CandidateFiles(file, RegistryView::Wow64_32) != check_.CandidateFiles(file, RegistryView::Native))
            state = Resolve(file, RegistryView::Wow64_32);
        std::lock_guard lock(mutex_);
        libraries_.emplace(key, state);
        return state;
    }

private:
    ServerPathCheck check_;
    std::mutex mutex_;
    std::map<std::pair<std::string, RegistryView>, ServerFileState> known_;
    std::map<std::pair<std::string, bool>, ServerFileState> libraries_;  // by path as read, and win32
};

// Whether the ids an interface names have keys.
class KeyPresence {
public:
    virtual ~KeyPresence() = default;
    virtual bool LibraryExists(const std::string& id) = 0;
    // In either view.
    virtual bool ClassExists(const std::string& id) = 0;
};

// The keys as they are now.
class RegistryKeys : public KeyPresence {
public:
    explicit RegistryKeys(KeyStore& store) : store_(store) {}
    bool LibraryExists(const std::string& id) override
    {
        return !ReadKey(store_, kClassesRoot, std::string(kLibrarySection) + "\\" + id, RegistryView::Native).Absent();
    }
    bool ClassExists(const std::string& id) override
    {
        const std::string path = std::string(kClassSection) + "\\" + id;
        return !ReadKey(store_, kClassesRoot, path, RegistryView::Native).Absent() ||
               !ReadKey(store_, kClassesRoot, path, RegistryView::Wow64_32).Absent();
    }

private:
    KeyStore& store_;
};

// The keys the sections were listed with; an id not among them is looked
// for in the registry before it counts as missing (a name the listing could
// not read, a key made since).
class ListedKeys final : public RegistryKeys {
public:
    using RegistryKeys::RegistryKeys;
    void AddLibrary(const std::string& name) { libraries_.insert(FoldCase(name)); }
    void AddClass(const std::string& name) { classes_.insert(FoldCase(name)); }
    bool LibraryExists(const std::string& id) override
    {
        return libraries_.count(FoldCase(id)) != 0 || RegistryKeys::LibraryExists(id);
    }
    bool ClassExists(const std::string& id) override
    {
        return classes_.count(FoldCase(id)) != 0 || RegistryKeys::ClassExists(id);
    }

private:
    std::unordered_set<std::string> libraries_;
    std::unordered_set<std::string> classes_;
};

// One key to examine: its section and view, and its name there.
struct SectionKey {
    SectionKind kind;
    RegistryView view;
    std::string name;
};

// Gives the verdicts on the keys of the sections, on one thread. Each
// section's key is opened once and the keys are opened below it.
class Examiner {
public:
    Examiner(KeyStore& store, FileChecks& files, KeyPresence& keys) : store_(store), files_(files), keys_(keys) {}

    std::optional<BrokenKey> Examine(const SectionKey& key)
    {
        const std::optional<KeyHandle> section = Section(key.kind, key.view);
        if (!section)
            return std::nullopt;
        std::optional<BrokenKey> broken;
        switch (key.kind) {
        case SectionKind::Class:
            broken = ExamineClass(*section, key);
            break;
        case SectionKind::TypeLibrary:
            broken = ExamineLibrary(*section, key);
            break;
        case SectionKind::Interface:
            broken = ExamineInterface(*section, key);
            break;
        }
        if (broken) {
            broken->kind = key.kind;
            broken->view = key.view;
            broken->path = std::string(SectionOf(key.kind)) + "\\" + key.name;
            broken->name = KeyNameInView(broken->path, key.view);
            // A library's description was read with its key open.
            if (key.kind != SectionKind::TypeLibrary) {
                if (const ReadKey own{store_, *section, key.name, key.view})
                    broken->description = ReadStringValue(store_, own.get(), "");
            }
        }
        return broken;
    }

private:
    std::optional<KeyHandle> Section(SectionKind kind, RegistryView view)
    {
        auto& slot = sections_[static_cast<std::size_t>(kind) * 2 + (view == RegistryView::Wow64_32 ? 1 : 0)];
        if (!slot)
            slot = std::make_unique<ReadKey>(store_, kClassesRoot, SectionOf(kind), view);
        if (!*slot)
            return std::nullopt;
        return slot->get();
    }

    // Broken when it has a server subkey and every server path names no
    // file; a server found (or one that cannot be examined) ends the look.
    std::optional<BrokenKey> ExamineClass(KeyHandle section, const SectionKey& key)
    {
        BrokenKey broken;
        broken.reason = BreakReason::MissingServer;
        for (const char* server : {"\\InprocServer32", "\\LocalServer32"}) {
            const ReadKey subkey(store_, section, key.name + server, key.view);
            if (!subkey) {
                if (subkey.Absent())
                    continue;
                return std::nullopt;
            }
            std::string path = ReadStringValue(store_, subkey.get(), "");
            if (files_.Resolve(path, key.view) != ServerFileState::Missing)
                return std::nullopt;
            broken.missing.push_back(std::move(path));
        }
        if (broken.missing.empty())
            return std::nullopt;
        return broken;
    }

    // Broken when it has a file entry and every file is missing. Most
    // libraries name a file of the neutral locale in their first version:
    // those entries are read first, and when a file is there the versions
    // need not be listed. A library without versions has no file entry.
    std::optional<BrokenKey> ExamineLibrary(KeyHandle section, const SectionKey& key)
    {
        const ReadKey library(store_, section, key.name, key.view);
        if (!library)
            return std::nullopt;
        BrokenKey broken;
        broken.reason = BreakReason::MissingFile;
        std::string first;
        if (store_.EnumKey(library.get(), 0, first) != kErrorSuccess)
            return std::nullopt;
        if (!NoFileAt(library.get(), first + "\\0\\win32", true, broken.missing) ||
            !NoFileAt(library.get(), first + "\\0\\win64", false, broken.missing))
            return std::nullopt;
        std::vector<std::string> versions{first};
        if (!ListFrom(library.get(), 1, versions))
            return std::nullopt;
        for (std::size_t i = 0; i < versions.size(); ++i) {
            const ReadKey versionKey(store_, library.get(), versions[i], key.view);
            std::vector<std::string> locales;
            if (!versionKey) {
                if (versionKey.Absent())
                    continue;
                return std::nullopt;
            }
            if (!ListFrom(versionKey.get(), 0, locales))
                return std::nullopt;
            for (const std::string& locale : locales) {
                if (!IsLocaleId(locale) || (i == 0 && locale == "0"))
                    continue;
                if (!NoFileAt(versionKey.get(), locale + "\\win32", true, broken.missing) ||
                    !NoFileAt(versionKey.get(), locale + "\\win64", false, broken.missing))
                    return std::nullopt;
            }
        }
        if (broken.missing.empty())
            return std::nullopt;
        broken.description = ReadStringValue(store_, library.get(), "");
        return broken;
    }

    // Adds the key's subkey names from the index `from` on; false when one
    // of them cannot be listed, as then a file entry could be missed.
    bool ListFrom(KeyHandle key, std::uint32_t from, std::vector<std::string>& names)
    {
        std::string name;
        for (std::uint32_t index = from;; ++index) {
            const long result = store_.EnumKey(key, index, name);
            if (result == kErrorNoMoreItems)
                return true;
            if (result != kErrorSuccess)
                return false;
            names.push_back(name);
        }
    }

    // One file entry of a library: true when there is no such entry, or
    // when its file is missing (added to `missing`); false when the file is
    // there or the entry cannot be read.
    bool NoFileAt(KeyHandle base, const std::string& path, bool win32, std::vector<std::string>& missing)
    {
        const ReadKey entry(store_, base, path, RegistryView::Native);
        if (!entry)
            return entry.Absent();
        std::string file = ReadStringValue(store_, entry.get(), "");
        if (files_.ResolveLibrary(file, win32) != ServerFileState::Missing)
            return false;
        missing.push_back(std::move(file));
        return true;
    }

    // Broken when its TypeLib subkey names a library without a key; without
    // that subkey, when its proxy class has no key in either view.
    std::optional<BrokenKey> ExamineInterface(KeyHandle section, const SectionKey& key)
    {
        BrokenKey broken;
        {
            const ReadKey library(store_, section, key.name + "\\TypeLib", key.view);
            if (library) {
                std::string id = ReadStringValue(store_, library.get(), "");
                if (!IsGuid(id) || keys_.LibraryExists(id))
                    return std::nullopt;
                broken.reason = BreakReason::UnregisteredTypeLib;
                broken.missing.push_back(std::move(id));
                return broken;
            }
            if (!library.Absent())
                return std::nullopt;
        }
        const ReadKey proxy(store_, section, key.name + "\\ProxyStubClsid32", key.view);
        if (!proxy)
            return std::nullopt;
        std::string id = ReadStringValue(store_, proxy.get(), "");
        if (!IsGuid(id) || keys_.ClassExists(id))
            return std::nullopt;
        broken.reason = BreakReason::UnregisteredClass;
        broken.missing.push_back(std::move(id));
        return broken;
    }

    KeyStore& store_;
    FileChecks& files_;
    KeyPresence& keys_;
    // The sections' keys by kind and view, opened when first needed.
    std::array<std::unique_ptr<ReadKey>, 6> sections_;
};

// What examining one key gave.
struct Outcome {
    bool done = false;
    std::optional<BrokenKey> broken;
    std::exception_ptr error;
};

// The keys of one examination and what each gave, shared by the threads
// that examine them. The keys are taken in order, each once, up to the end
// of the part open; after a read error, or once cancelled, none is taken.
// Helpers take keys only in a part given to the pool.
class SharedKeys {
public:
    SharedKeys(const std::vector<SectionKey>& keys, const std::atomic<bool>& cancel)
        : keys_(keys), outcomes_(keys.size()), cancel_(cancel)
    {
    }

    std::vector<Outcome>& Outcomes() { return outcomes_; }
    std::size_t Done()
    {
        std::lock_guard lock(mutex_);
        return done_;
    }
    bool Stopped()
    {
        std::lock_guard lock(mutex_);
        return stopped_ || cancel_;
    }

    // Opens the keys up to `last`, to the pool or to the calling thread alone.
    void Open(std::size_t last, bool toPool)
    {
        {
            std::lock_guard lock(mutex_);
            limit_ = last;
            pooled_ = toPool;
        }
        if (toPool)
            partOpen_.notify_all();
    }

    // The calling thread's next key, if any.
    std::optional<std::size_t> Take()
    {
        std::lock_guard lock(mutex_);
        if (next_ >= limit_ || stopped_ || cancel_)
            return std::nullopt;
        return next_++;
    }

    // A helper's next key: waits for a part given to the pool; none once the
    // examination ends.
    std::optional<std::size_t> TakeAsHelper()
    {
        std::unique_lock lock(mutex_);
        partOpen_.wait(lock, [&] { return ended_ || (pooled_ && next_ < limit_ && !stopped_ && !cancel_); });
        if (ended_)
            return std::nullopt;
        return next_++;
    }

    void Examine(Examiner& examiner, std::size_t index)
    {
        Outcome& outcome = outcomes_[index];
        try {
            outcome.broken = examiner.Examine(keys_[index]);
        } catch (...) {
            outcome.error = std::current_exception();
        }
        outcome.done = true;
        std::lock_guard lock(mutex_);
        stopped_ = stopped_ || outcome.error;
        ++done_;
        if (waiting_ && done_ == next_)
            allDone_.notify_one();
    }

    // Waits until every key taken is examined, and closes the part to the pool.
    void WaitForTaken()
    {
        std::unique_lock lock(mutex_);
        waiting_ = true;
        allDone_.wait(lock, [&] { return done_ == next_; });
        waiting_ = false;
        pooled_ = false;
    }

    // Tells the helpers to end.
    void End()
    {
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        partOpen_.notify_all();
    }

private:
    const std::vector<SectionKey>& keys_;
    std::vector<Outcome> outcomes_;  // by key; each written by the thread that took it
    const std::atomic<bool>& cancel_;
    std::mutex mutex_;
    std::condition_variable partOpen_;  // a part was given to the pool, or the examination ends
    std::condition_variable allDone_;   // the last key taken was examined
    std::size_t next_ = 0;   // the next key to take
    std::size_t limit_ = 0;  // the end of the part open
    std::size_t done_ = 0;   // keys examined
    bool pooled_ = false;    // helpers may take keys of the part
    bool waiting_ = false;   // the calling thread waits for the keys taken
    bool stopped_ = false;   // a read error
    bool ended_ = false;
};

// The threads that examine keys beside the calling one, each with its own
// examiner; told to end and joined when it goes.
class HelperThreads {
public:
    HelperThreads(SharedKeys& keys, unsigned count, const std::function<void()>& work) : keys_(keys)
    {
        // A thread the system refuses is one helper fewer.
        try {
            for (unsigned i = 0; i < count; ++i)
                threads_.emplace_back(work);
        } catch (const std::system_error&) {
        } catch (...) {
            Join();
            throw;
        }
    }
    ~HelperThreads() { Join(); }
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    bool Running() const { return !threads_.empty(); }

private:
    void Join()
    {
        keys_.End();
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
    }

    SharedKeys& keys_;
    std::vector<std::thread> threads_;
};

// Lists one section's keys in one view, in the registry's order.
void ListSection(KeyStore& store, SectionKind kind, RegistryView view, std::vector<SectionKey>& keys,
                 std::vector<std::string>& names)
{
    names.clear();
    if (const ReadKey section{store, kClassesRoot, SectionOf(kind), view})
        ListSubkeyNames(store, section.get(), names);
    for (std::string& name : names)
        keys.push_back({kind, view, std::move(name)});
}

// One examining thread a processor. Each thread has mostly one call to the
// registry at a time; under Wine more threads than cores only take turns
// with the registry's server.
unsigned DefaultThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

const char* KindToken(SectionKind kind)
{
    switch (kind) {
    case SectionKind::Class:
        return "class";
    case SectionKind::TypeLibrary:
        return "typelib";
    case SectionKind::Interface:
        break;
    }
    return "interface";
}

}  // namespace

std::string ReasonToken(const BrokenKey& key)
{
    static const std::map<BreakReason, const char*> tokens{
        {BreakReason::MissingServer, "missing-server"},
        {BreakReason::MissingFile, "missing-file"},
        {BreakReason::UnregisteredTypeLib, "unregistered-typelib"},
        {BreakReason::UnregisteredClass, "unregistered-class"},
    };
    std::string text = std::string(tokens.at(key.reason)) + ' ';
    for (std::size_t i = 0; i < key.missing.size(); ++i)
        text += (i == 0 ? "" : "|") + key.missing[i];
    return text;
}

std::string SectionLines(const std::vector<BrokenKey>& keys)
{
    std::string out;
    for (const BrokenKey& key : keys) {
        out += KindToken(key.kind);
        out += '\t';
        out += EscapeControlBytes(key.name);
        out += '\t';
        out += EscapeControlBytes(key.description);
        out += '\t';
        out += EscapeControlBytes(ReasonToken(key));
        out += '\n';
    }
    return out;
}

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
    const std::pair<SectionKind, RegistryView> sections[] = {
        {SectionKind::Class, RegistryView::Native},
        {SectionKind::Class, RegistryView::Wow64_32},
        {SectionKind::TypeLibrary, RegistryView::Native},
        {SectionKind::Interface, RegistryView::Native},
    };
    for (const auto& [kind, view] : sections) {
        if (cancel) {
            findings.cancelled = true;
            return findings;
        }
        const std::size_t first = keys.size();
        ListSection(store_, kind, view, keys, names);
        for (std::size_t i = first; i < keys.size(); ++i) {
            if (kind == SectionKind::Class)
                listed.AddClass(keys[i].name);
            else if (kind == SectionKind::TypeLibrary)
                listed.AddLibrary(keys[i].name);
        }
        if (progress)
            progress(0, keys.size());
    }

    // The keys are examined in parts, each on the calling thread alone or
    // with the helpers as the pacing finds faster: under Wine the helpers
    // keep the registry's server busy while a core is free, and only take
    // turns with it when every core has work.
    FileChecks files(files_);
    SharedKeys shared(keys, cancel);
    Examiner own(store_, files, listed);
    const auto reportDone = [&] {
        if (progress)
            progress(shared.Done(), keys.size());
    };
    const auto examinePart = [&](const ReadPart& part) {
        shared.Open(part.last, part.way == ReadWay::InPool);
        while (const std::optional<std::size_t> index = shared.Take()) {
            shared.Examine(own, *index);
            reportDone();
        }
        if (part.way == ReadWay::InPool)
            shared.WaitForTaken();
    };
    {
        const unsigned helperCount =
            static_cast<unsigned>(std::min<std::size_t>(threads_, std::max<std::size_t>(keys.size(), 1)) - 1);
        HelperThreads helpers(shared, helperCount, [&] {
            Examiner examiner(store_, files, listed);
            while (const std::optional<std::size_t> index = shared.TakeAsHelper())
                shared.Examine(examiner, *index);
        });
        const std::size_t count = keys.size();
        if (!helpers.Running()) {
            examinePart({ReadWay::Alone, 0, count});
        } else if (!pacing_.now) {
            examinePart({ReadWay::InPool, 0, count});
        } else {
            PacingPolicy policy(count, pacing_.probe, pacing_.stretch);
            while (!policy.Done() && !shared.Stopped()) {
                const ReadPart part = policy.Next();
                const long long start = pacing_.now();
                examinePart(part);
                policy.Took(pacing_.now() - start);
            }
        }
    }
    reportDone();

    for (Outcome& outcome : shared.Outcomes()) {
        if (outcome.error) {
            findings.error = outcome.error;
            break;
        }
        if (!outcome.done) {
            findings.cancelled = true;
            continue;
        }
        if (outcome.broken)
            findings.keys.push_back(std::move(*outcome.broken));
    }
    std::stable_sort(findings.keys.begin(), findings.keys.end(), [this](const BrokenKey& a, const BrokenKey& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return order_.Compare(a.name, b.name) < 0;
    });
    return findings;
}

bool IsSingleSectionKey(const BrokenKey& key)
{
    if (key.view == RegistryView::Wow64_32 && key.kind != SectionKind::Class)
        return false;
    const std::string section = SectionOf(key.kind);
    const std::string& path = key.path;
    if (path.size() <= section.size() + 1 || path[section.size()] != '\\' ||
        !EqualNoCase(std::string_view(path).substr(0, section.size()), section))
        return false;
    return path.find('\\', section.size() + 1) == std::string::npos;
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
        broken = examiner.Examine({key.kind, key.view, name});
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
