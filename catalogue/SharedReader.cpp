#include "catalogue/SharedReader.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace qob {

unsigned DefaultScanThreads()
{
    // The reads wait on the registry more than they work: twice the cores
    // keeps requests in flight while others wait.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(kMaxScanThreads, 2 * cores);
}

namespace {

// Where the reading of the items stands, shared by the threads that read
// them. Items are started in order, each once, up to the end of the part
// open; the helpers start items only in a part shared with them.
class ReadingState {
public:
    ReadingState(std::size_t count, std::size_t window)
        : window_(std::max<std::size_t>(1, window)), ready_(window_, 0), end_(count)
    {
    }

    // Opens the items up to `last`, to the helpers too when `shared`. The
    // items before were all handed out.
    void OpenPart(std::size_t last, bool shared)
    {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            limit_ = last;
            shared_ = shared;
            wake = shared && helpersWaiting_ > 0;
        }
        if (wake)
            startable_.notify_all();
    }

    // Waits until the item at `index`, the next to hand out, is read, and
    // meanwhile reads items of the part not started yet with `own`. True
    // when it is the last one to hand out; raises what its reader threw.
    bool AwaitTurn(std::size_t index, const ItemReader& own)
    {
        std::unique_lock lock(mutex_);
        while (!ready_[index % window_]) {
            if (CanStart()) {
                const std::size_t item = next_++;
                lock.unlock();
                Outcome outcome = Attempt(own, item);
                lock.lock();
                Finish(item, outcome);
                continue;
            }
            takerWaiting_ = true;
            read_.wait(lock, [&] { return ready_[index % window_] != 0; });
            takerWaiting_ = false;
        }
        if (index + 1 < end_)
            return false;
        if (thrown_)
            std::rethrow_exception(thrown_);
        return true;
    }

    // The item at `index` was taken: its slot is free for a later item.
    void Handed(std::size_t index)
    {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            ready_[index % window_] = 0;
            ++taken_;
            wake = helpersWaiting_ > 0 && HelperMayStart();
        }
        // Waking a thread is a request to the system (under Wine, to its
        // server, like a registry call): only when a helper waits and has an
        // item to start now.
        if (wake)
            startable_.notify_one();
    }

    // A helper's work: reads the items it may start until the reading stops.
    void Help(const ItemReader& reader)
    {
        for (;;) {
            std::size_t item = 0;
            {
                std::unique_lock lock(mutex_);
                if (!stopped_ && !HelperMayStart()) {
                    ++helpersWaiting_;
                    startable_.wait(lock, [&] { return stopped_ || HelperMayStart(); });
                    --helpersWaiting_;
                }
                if (stopped_)
                    return;
                item = next_++;
            }
            Outcome outcome = Attempt(reader, item);
            bool wake = false;
            {
                std::lock_guard lock(mutex_);
                Finish(item, outcome);
                wake = takerWaiting_ && item == taken_;  // the one the calling thread waits for
            }
            if (wake)
                read_.notify_one();
        }
    }

    // Tells the helpers to end once their current item is read.
    void Stop()
    {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        startable_.notify_all();
    }

private:
    struct Outcome {
        bool read = false;
        std::exception_ptr thrown;
    };

    static Outcome Attempt(const ItemReader& reader, std::size_t item)
    {
        try {
            return {reader(item), nullptr};
        } catch (...) {
            return {false, std::current_exception()};
        }
    }

    bool CanStart() const { return next_ < std::min(limit_, end_) && next_ < taken_ + window_; }
    bool HelperMayStart() const { return shared_ && CanStart(); }

    void Finish(std::size_t item, Outcome& outcome)
    {
        ready_[item % window_] = 1;
        if (!outcome.read && item < end_) {
            end_ = item + 1;
            thrown_ = std::move(outcome.thrown);
        }
    }

    const std::size_t window_;
    std::mutex mutex_;
    std::condition_variable startable_;  // an item may be started, or the helpers are to end
    std::condition_variable read_;       // the item the calling thread waits for was read
    std::vector<char> ready_;            // by slot: the item there is read and not handed out yet
    std::size_t next_ = 0;               // the next item to start
    std::size_t taken_ = 0;              // the next item to hand out
    std::size_t limit_ = 0;              // the end of the part open
    std::size_t end_;                    // no item from here on is started: after the first failed read
    std::exception_ptr thrown_;          // what the reader of the item before `end_` threw, if anything
    bool shared_ = false;                // the helpers may start items of the part
    bool stopped_ = false;
    bool takerWaiting_ = false;
    unsigned helpersWaiting_ = 0;
};

// A helper thread's life: its own reader, then the items it is given.
void Help(ReadingState& state, const ReaderFactory& makeReader)
{
    ItemReader reader;
    try {
        reader = makeReader();
    } catch (...) {
        return;
    }
    state.Help(reader);
}

// The helper threads of one reading; told to end and joined when it goes.
class JoinedHelpers {
public:
    JoinedHelpers(ReadingState& state, unsigned count, const ReaderFactory& makeReader) : state_(state)
    {
        // A thread the system refuses is one helper fewer. Any other failure
        // (no memory for the thread list) ends the helpers already started
        // and reaches the caller.
        try {
            for (unsigned i = 0; i < count; ++i)
                threads_.emplace_back([&state, &makeReader] { Help(state, makeReader); });
        } catch (const std::system_error&) {
        } catch (...) {
            Join();
            throw;
        }
    }
    ~JoinedHelpers() { Join(); }
    JoinedHelpers(const JoinedHelpers&) = delete;
    JoinedHelpers& operator=(const JoinedHelpers&) = delete;

    bool Running() const { return !threads_.empty(); }

private:
    void Join()
    {
        state_.Stop();
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
    }

    ReadingState& state_;
    std::vector<std::thread> threads_;
};

}  // namespace

std::size_t ReadShared(const SharedReading& reading, const ReaderFactory& makeReader, const ItemTaker& take)
{
    ReadingState state(reading.count, reading.window);
    const ItemReader own = makeReader();
    JoinedHelpers helpers(state, reading.helpers, makeReader);
    std::size_t handed = 0;
    // Reads the part and hands its items out; false when the reading stops.
    const auto readPart = [&](const ReadPart& part) {
        state.OpenPart(part.last, part.way == ReadWay::InPool);
        for (std::size_t index = part.first; index < part.last; ++index) {
            const bool last = state.AwaitTurn(index, own);
            const bool more = take(index);
            state.Handed(index);
            ++handed;
            if (last || !more)
                return false;
        }
        return true;
    };
    const ScanPacing& pacing = reading.pacing;
    if (!helpers.Running()) {
        readPart({ReadWay::Alone, 0, reading.count});
    } else if (!pacing.now) {
        readPart({ReadWay::InPool, 0, reading.count});
    } else {
        // Under Wine the helpers keep the registry's server busy while a core
        // is free, and only take turns with it when every core has work.
        PacingPolicy policy(reading.count, pacing.probe, pacing.stretch);
        while (!policy.Done()) {
            const ReadPart part = policy.Next();
            const long long start = pacing.now();
            if (!readPart(part))
                break;
            policy.Took(pacing.now() - start);
        }
    }
    return handed;
}

}  // namespace qob
