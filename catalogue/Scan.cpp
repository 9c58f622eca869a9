#include "catalogue/Scan.h"

#include "catalogue/Registry.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace qob {

namespace {

void QuickSort(std::vector<std::string>& names, const NameOrder& order, long left, long right)
{
    long i = 0;
    do {
        i = left;
        long j = right;
        long pivot = (left + right) / 2;
        do {
            while (order.Compare(names[i], names[pivot]) < 0)
                ++i;
            while (order.Compare(names[j], names[pivot]) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(names[i], names[j]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSort(names, order, left, j);
        left = i;
    } while (i < right);
}

// What reading one name found, as the tree changes it asks for, in the order
// the reads made them. Reading needs only the registry, so it may run on any
// thread; the changes are made on the scan's own thread, in the names' order.
struct EntryRecord {
    enum class Kind {
        Add,        // a node `text` under node `node` (-1: a top-level entry)
        Fault,      // the entry faulty, and the group `node`
        Server,     // the server path `text` of group `node`, checked in `view`
        ClassView,  // the entry's class key was found in `view`
    };
    struct Change {
        Kind kind;
        int node;
        std::string text;
        RegistryView view;
    };
    std::vector<Change> changes;
    // The error that ended the reading after the changes above, if any.
    std::exception_ptr error;

    int added = 0;  // nodes asked for so far: the next one's number

    int Add(int parent, std::string text)
    {
        changes.push_back({Kind::Add, parent, std::move(text), RegistryView::Native});
        return added++;
    }
};

// Reads one ProgID entry. Returns early where the scan goes on with the next name.
class EntryReader {
public:
    explicit EntryReader(TRegistry& registry) : reg_(registry) {}

    EntryRecord Read(const std::string& name)
    {
        EntryRecord record;
        try {
            Build(record, name);
        } catch (...) {
            record.error = std::current_exception();
        }
        return record;
    }

private:
    static constexpr int kEntry = 0;

    // The opens below are the registry's round trips, and under Wine each one
    // (with the close of the key it replaces) is most of the scan's time. So a
    // key is opened once per entry, and a key whose subkey opens is taken to
    // exist without an open of its own. The tree, the verdicts and the errors
    // are those of opening every key on the way.
    void Build(EntryRecord& out, const std::string& name)
    {
        UseView(RegistryView::Native);
        if (!reg_.OpenKey("\\" + name))
            return;
        const std::string description = reg_.ReadString("");
        if (!reg_.OpenKey("\\" + name + "\\CLSID"))
            return;
        out.Add(-1, name);
        out.Add(kEntry, description);
        const std::string classId = reg_.ReadString("");
        const int group = out.Add(kEntry, "CLSID");
        out.Add(group, classId);
        const std::string classKey = "\\CLSID\\" + classId;
        const std::string inprocKey = classKey + "\\InprocServer32";
        const std::string localKey = classKey + "\\LocalServer32";
        // In the registry's own view a server subkey that opens proves the
        // class key; the class key is opened only when neither does.
        const bool inprocOpen = reg_.OpenKey(inprocKey);
        const bool localOpen = !inprocOpen && reg_.OpenKey(localKey);
        // The server subkeys still to be looked for in the class key's view.
        bool lookForInproc = false;
        bool lookForLocal = inprocOpen;
        if (!inprocOpen && !localOpen) {
            if (!OpenClassKey(classKey)) {
                MarkFault(out, group);
                return;
            }
            lookForInproc = lookForLocal = view_ == RegistryView::Wow64_32;
        }
        out.changes.push_back({EntryRecord::Kind::ClassView, kEntry, {}, view_});
        if (inprocOpen || (lookForInproc && reg_.OpenKey(inprocKey)))
            AddServer(out, "InprocServer32");
        if (localOpen || (lookForLocal && reg_.OpenKey(localKey)))
            AddServer(out, "LocalServer32");
        AddTypeLibrary(out, classKey);
    }

    void UseView(RegistryView view)
    {
        view_ = view;
        reg_.SetViewFlags(view == RegistryView::Wow64_32 ? kKeyWow64_32Key : 0);
    }

    // Opens the class key in the registry's own view, else in the 32-bit
    // view; the view it was found in stays selected for its subkeys.
    bool OpenClassKey(const std::string& classKey)
    {
        if (reg_.OpenKey(classKey))
            return true;
        UseView(RegistryView::Wow64_32);
        if (reg_.OpenKey(classKey))
            return true;
        UseView(RegistryView::Native);
        return false;
    }

    static void MarkFault(EntryRecord& out, int group)
    {
        out.changes.push_back({EntryRecord::Kind::Fault, group, {}, RegistryView::Native});
    }

    // The server subkey just opened (the current key) as a group and its path.
    void AddServer(EntryRecord& out, const char* kind)
    {
        const int group = out.Add(kEntry, kind);
        std::string serverPath = reg_.ReadString("");
        out.Add(group, serverPath);
        out.changes.push_back({EntryRecord::Kind::Server, group, std::move(serverPath), view_});
    }

    void AddTypeLibrary(EntryRecord& out, const std::string& classKey)
    {
        if (!reg_.OpenKey(classKey + "\\TypeLib"))
            return;
        const std::string typeLibId = reg_.ReadString("");
        const int group = out.Add(kEntry, "TypeLib");
        out.Add(group, typeLibId);
        // The version is read first: the library's key for that version, when
        // it opens, proves the library key. A version that cannot be read
        // counts only where the library key exists, as only then is it needed.
        std::string version = "1.0";
        std::exception_ptr versionError;
        if (reg_.OpenKey(classKey + "\\Version")) {
            try {
                version = reg_.ReadString("");
            } catch (const ERegistryException&) {
                versionError = std::current_exception();
            }
        }
        UseView(RegistryView::Native);
        const std::string libraryKey = "\\TypeLib\\" + typeLibId;
        const std::string versionKey = libraryKey + "\\" + version;
        if (!versionError && reg_.OpenKey(versionKey)) {
            out.Add(group, reg_.ReadString(""));
        } else {
            if (!reg_.OpenKey(libraryKey)) {
                MarkFault(out, group);
                return;
            }
            if (versionError)
                std::rethrow_exception(versionError);
        }
        for (const char* suffix : {"\\HELPDIR", "\\0\\HELPDIR"}) {
            if (reg_.OpenKey(versionKey + suffix))
                out.Add(group, reg_.ReadString(""));
        }
    }

    TRegistry& reg_;
    RegistryView view_ = RegistryView::Native;
};

// Makes the changes a record asks for, then raises the error that ended its
// reading, if any.
void Apply(EntryRecord& record, TTreeNodes& tree, ServerPresence& servers)
{
    std::vector<TTreeNode*> nodes;
    auto fault = [&](int group) {
        tree.SetIcon(*nodes[0], kIconFaultyEntry);
        tree.SetIcon(*nodes[static_cast<std::size_t>(group)], kIconFaultyGroup);
    };
    for (EntryRecord::Change& change : record.changes) {
        switch (change.kind) {
        case EntryRecord::Kind::Add:
            if (change.node < 0) {
                nodes.push_back(tree.AddChild(nullptr, std::move(change.text)));
                tree.SetIcon(*nodes.back(), kIconNormal);
            } else {
                nodes.push_back(tree.AddChild(nodes[static_cast<std::size_t>(change.node)], std::move(change.text)));
            }
            break;
        case EntryRecord::Kind::Fault:
            fault(change.node);
            break;
        case EntryRecord::Kind::Server:
            if (!servers.ServerPathExists(change.text, change.view))
                fault(change.node);
            break;
        case EntryRecord::Kind::ClassView:
            nodes[0]->SetClassView(change.view);
            break;
        }
    }
    if (record.error)
        std::rethrow_exception(record.error);
}

// The entries read on a pool of threads, each with its own registry access
// object, and handed to the scan's thread in the names' order. The pool reads
// the ranges it is given and rests between them. A reader runs at most
// `window` names ahead of the entry the scan's thread takes next, so the
// records waiting are bounded whatever the number of names. The first name
// (in order) whose reading failed is the last one handed out; no later name is
// started once it is known.
class ParallelReader {
public:
    ParallelReader(KeyStore& store, const std::vector<std::string>& names, unsigned threads)
        : store_(store), names_(names), window_(std::size_t{16} * threads), slots_(window_), end_(names.size())
    {
        // A thread the system refuses is one reader fewer; with none at all
        // the caller reads alone.
        try {
            for (unsigned i = 0; i < threads; ++i)
                threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
        }
    }

    ~ParallelReader()
    {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        room_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    ParallelReader(const ParallelReader&) = delete;
    ParallelReader& operator=(const ParallelReader&) = delete;

    bool Running() const { return !threads_.empty(); }

    // Reads the names from `first` up to `last`, whose records are then
    // taken one by one. The range before was taken whole.
    void Read(std::size_t first, std::size_t last)
    {
        {
            std::lock_guard lock(mutex_);
            next_ = first;
            taken_ = first;
            limit_ = last;
        }
        room_.notify_all();
    }

    // The record of the name at `index`, which is the one after the last taken.
    EntryRecord Take(std::size_t index)
    {
        std::unique_lock lock(mutex_);
        std::optional<EntryRecord>& slot = slots_[index % window_];
        if (!slot) {
            takerWaiting_ = true;
            ready_.wait(lock, [&] { return slot.has_value(); });
            takerWaiting_ = false;
        }
        EntryRecord record = std::move(*slot);
        slot.reset();
        ++taken_;
        const bool wake = readersWaiting_ > 0;
        lock.unlock();
        if (wake)
            room_.notify_all();
        return record;
    }

private:
    bool NameToRead() const { return next_ < std::min(limit_, end_) && next_ < taken_ + window_; }

    void Work()
    {
        TRegistry registry(store_);
        registry.SetRootKey(kClassesRoot);
        EntryReader reader(registry);
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock lock(mutex_);
                if (!stopped_ && !NameToRead()) {
                    ++readersWaiting_;
                    room_.wait(lock, [&] { return stopped_ || NameToRead(); });
                    --readersWaiting_;
                }
                if (stopped_)
                    return;
                index = next_++;
            }
            EntryRecord record = reader.Read(names_[index]);
            bool wake = false;
            {
                std::lock_guard lock(mutex_);
                if (record.error && index < end_)
                    end_ = index + 1;
                slots_[index % window_] = std::move(record);
                wake = takerWaiting_;
            }
            // Waking a thread is a request to the system (under Wine, to its
            // server, like a registry call): only when someone waits.
            if (wake)
                ready_.notify_one();
        }
    }

    KeyStore& store_;
    const std::vector<std::string>& names_;
    const std::size_t window_;
    std::mutex mutex_;
    std::condition_variable ready_;  // a record was put in its slot
    std::condition_variable room_;   // a record was taken, a range given, or the readers are to stop
    std::vector<std::optional<EntryRecord>> slots_;
    std::size_t next_ = 0;   // the next name to read
    std::size_t taken_ = 0;  // the next record to hand out
    std::size_t limit_ = 0;  // the end of the range given
    std::size_t end_;        // no name from here on is read
    bool stopped_ = false;
    bool takerWaiting_ = false;     // the scan's thread waits for a record
    unsigned readersWaiting_ = 0;  // readers wait for a name to read
    std::vector<std::thread> threads_;
};

// Reads the names in order, alone or with the pool, whichever goes faster.
// Which one does is not known in advance: under Wine several readers keep
// wineserver busy when a core is free, but when every core has work they
// only take turns with it, and one reader on the scan's thread is faster. So
// each round reads a few names each way, then many the faster way.
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
            ReadAlone(0, count, apply);
            return;
        }
        if (!pacing_.now) {
            ReadInPool(0, count, apply);
            return;
        }
        const std::size_t probe = std::max<std::size_t>(1, pacing_.probe);
        std::size_t stretch = pacing_.stretch;
        for (std::size_t index = 0; index < count;) {
            const std::size_t probed = std::min(count, index + probe);
            const std::size_t pooled = std::min(count, probed + probe);
            const double alone = Timed([&] { ReadAlone(index, probed, apply); }) / double(probed - index);
            const double inPool = pooled > probed
                                      ? Timed([&] { ReadInPool(probed, pooled, apply); }) / double(pooled - probed)
                                      : alone;
            const bool useThePool = inPool < alone;
            // The stretch goes in parts of a few probes, and ends early when
            // the way chosen turns slower than the other one was: a probe can
            // be lucky, and the machine's other work changes. A stretch read
            // to its end makes the next one twice as long.
            const std::size_t end = std::min(count, pooled + stretch);
            bool steady = true;
            index = pooled;
            while (steady && index < end) {
                const std::size_t last = std::min(end, index + 4 * probe);
                const double perName = Timed([&] {
                    if (useThePool)
                        ReadInPool(index, last, apply);
                    else
                        ReadAlone(index, last, apply);
                }) / double(last - index);
                index = last;
                steady = perName <= (useThePool ? alone : inPool);
            }
            stretch = steady ? std::min(2 * stretch, kLongestStretch * pacing_.stretch) : pacing_.stretch;
        }
    }

private:
    static constexpr std::size_t kLongestStretch = 8;  // in stretches of the pacing

    template <typename Read>
    double Timed(Read&& read)
    {
        const long long start = pacing_.now();
        read();
        return static_cast<double>(pacing_.now() - start);
    }

    template <typename ApplyRecord>
    void ReadAlone(std::size_t first, std::size_t last, ApplyRecord& apply)
    {
        for (std::size_t index = first; index < last; ++index) {
            EntryRecord record = alone_.Read(names_[index]);
            apply(record);
        }
    }

    template <typename ApplyRecord>
    void ReadInPool(std::size_t first, std::size_t last, ApplyRecord& apply)
    {
        if (first == last)
            return;
        pool_->Read(first, last);
        for (std::size_t index = first; index < last; ++index) {
            EntryRecord record = pool_->Take(index);
            apply(record);
        }
    }

    const std::vector<std::string>& names_;
    EntryReader alone_;
    const ScanPacing pacing_;
    std::optional<ParallelReader> pool_;
};

}  // namespace

bool CheckedServers::ServerPathExists(const std::string& serverPath, RegistryView view)
{
    const auto [it, added] = known_.try_emplace({serverPath, view}, false);
    if (added)
        it->second = check_.ServerPathExists(serverPath, view);
    return it->second;
}

void SortNames(std::vector<std::string>& names, const NameOrder& order)
{
    if (names.size() > 1)
        QuickSort(names, order, 0, static_cast<long>(names.size()) - 1);
}

unsigned DefaultScanThreads()
{
    // The reads wait on the registry more than they work: twice the cores
    // keeps requests in flight while others wait.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(kMaxScanThreads, 2 * cores);
}

void RunRegistrationScan(TTreeNodes& tree, KeyStore& store, const NameOrder& order, ServerPresence& servers,
                         unsigned threads, const ScanPacing& pacing)
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
        entries.ForEach([&](EntryRecord& record) { Apply(record, tree, servers); });
    }
    names.clear();
    registry.CloseKey();
    tree.EndUpdate();
}

}  // namespace qob
