#include "catalogue/ReaderPool.h"

#include "catalogue/Registry.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace qob {

unsigned DefaultScanThreads()
{
    // The reads wait on the registry more than they work: twice the cores
    // keeps requests in flight while others wait.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(kMaxScanThreads, 2 * cores);
}

ReaderPool::ReaderPool(KeyStore& store, const std::vector<std::string>& names, unsigned threads)
    : store_(store), names_(names), window_(std::size_t{16} * threads), slots_(window_), end_(names.size())
{
    // A thread the system refuses is one reader fewer; with none at all the
    // caller reads alone. Any other failure (no memory for the thread list)
    // stops the readers already started and reaches the caller.
    try {
        for (unsigned i = 0; i < threads; ++i)
            threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
    } catch (...) {
        Stop();
        throw;
    }
}

ReaderPool::~ReaderPool() { Stop(); }

void ReaderPool::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    room_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
}

void ReaderPool::Read(std::size_t first, std::size_t last)
{
    {
        std::lock_guard lock(mutex_);
        next_ = first;
        taken_ = first;
        limit_ = last;
    }
    room_.notify_all();
}

EntryRecord ReaderPool::Take(std::size_t index)
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

bool ReaderPool::NameToRead() const
{
    return next_ < std::min(limit_, end_) && next_ < taken_ + window_;
}

void ReaderPool::Work()
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

}  // namespace qob
