#include "catalogue/SharedReader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace qob {
namespace {

// How a case shares the items: the outcome must not tell the ways apart.
struct ShareWay {
    const char* name;
    unsigned helpers;
    bool paced;  // the calling thread alone and the helpers take turns
};

// A clock that makes the pacing's choices at random, with a fixed seed.
long long ShakyClock()
{
    static thread_local std::minstd_rand random(5);
    static thread_local long long time = 0;
    time += random() % 5 == 0 ? 1000 : 1;
    return time;
}

// A list of items whose reads are watched: each read writes its index into
// a ring of `window` slots; `failAt` fails, `throwAt` throws.
class SharedReaderTest : public ::testing::TestWithParam<ShareWay> {
protected:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t Read(std::size_t count, std::size_t window, const ItemTaker& take)
    {
        slots.assign(window, kNone);
        const SharedReading reading{count, GetParam().helpers, window,
                                    GetParam().paced ? ScanPacing{ShakyClock, 3, 10} : ScanPacing{}};
        const ItemReader reader = [this, window](std::size_t index) {
            ++active;
            if (index >= taken + window)
                ++aheadOfWindow;
            std::size_t& slot = slots[index % window];
            EXPECT_EQ(slot, kNone) << "item " << index << " overwrote one not handed out";
            slot = index;
            ++started;
            --active;
            if (index == throwAt)
                throw std::runtime_error("thrown");
            return index != failAt;
        };
        return ReadShared(reading, [&] { return reader; }, take);
    }

    // Takes the items, checking that each comes in order with what its read wrote.
    ItemTaker InOrder(std::size_t window, std::size_t stopAfter = kNone)
    {
        return [this, window, stopAfter](std::size_t index) {
            EXPECT_EQ(index, handed.size());
            EXPECT_EQ(slots[index % window], index);
            slots[index % window] = kNone;
            handed.push_back(index);
            ++taken;
            return index != stopAfter;
        };
    }

    std::vector<std::size_t> slots;
    std::vector<std::size_t> handed;
    std::atomic<std::size_t> taken{0};
    std::atomic<std::size_t> started{0};
    std::atomic<int> active{0};
    std::atomic<int> aheadOfWindow{0};
    std::size_t failAt = kNone;
    std::size_t throwAt = kNone;
};

INSTANTIATE_TEST_SUITE_P(Ways, SharedReaderTest,
                         ::testing::Values(ShareWay{"alone", 0, false}, ShareWay{"helpers", 3, false},
                                           ShareWay{"paced", 3, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The calling thread now and then slow to take, so that the readers run ahead.
TEST_P(SharedReaderTest, EveryItemOnceInOrderNoReaderPastTheWindow)
{
    const ItemTaker inOrder = InOrder(8);
    EXPECT_EQ(Read(700, 8, [&](std::size_t index) {
                  if (index % 50 == 0)
                      std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  return inOrder(index);
              }),
              700u);
    EXPECT_EQ(handed.size(), 700u);
    EXPECT_EQ(started, 700u);
    EXPECT_EQ(aheadOfWindow, 0);
    EXPECT_EQ(Read(0, 1, InOrder(1)), 0u) << "an empty list";
}

// The first failure in order ends the items there, whatever failed later or
// threw; earlier items are all read and handed out.
TEST_P(SharedReaderTest, TheFirstFailedReadIsTheLastHandedOut)
{
    failAt = 137;
    throwAt = 300;
    EXPECT_EQ(Read(500, 16, InOrder(16)), 138u);
    EXPECT_EQ(handed.back(), 137u);
    EXPECT_LE(started, 137u + 16u) << "no item far past the failure is started";
}

TEST_P(SharedReaderTest, WhatAReaderThrowsIsRaisedInItsTurn)
{
    throwAt = 42;
    EXPECT_THROW(Read(300, 8, InOrder(8)), std::runtime_error);
    EXPECT_EQ(handed.size(), 42u) << "the items before it are handed out first";
}

// A stop from the calling thread (a cancel) or an exception of its own: the
// helpers are ended and joined before the call returns.
TEST_P(SharedReaderTest, AStopEndsTheHelpersBeforeTheCallReturns)
{
    EXPECT_EQ(Read(1000, 8, InOrder(8, 20)), 21u);
    EXPECT_EQ(active, 0);
    EXPECT_LE(started, 21u + 8u);

    handed.clear();
    taken = 0;
    const ItemTaker inOrder = InOrder(8);
    EXPECT_THROW(Read(1000, 8, [&](std::size_t index) {
                     inOrder(index);
                     if (index == 30)
                         throw std::logic_error("taker");
                     return true;
                 }),
                 std::logic_error);
    EXPECT_EQ(active, 0);
}

// Each thread's reader is made on the thread that reads with it; helpers
// whose reader cannot be made leave everything to the calling thread.
TEST(SharedReader, ReadersAreMadeAndUsedOnTheirOwnThreads)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::mutex mutex;
    std::set<std::thread::id> makers;
    std::atomic<int> misplaced{0};
    std::atomic<std::size_t> takenCount{0};
    const auto take = [&](std::size_t) {
        ++takenCount;
        return true;
    };
    const std::size_t read = ReadShared(
        {200, 3, 200, {}},
        [&]() -> ItemReader {
            const std::thread::id self = std::this_thread::get_id();
            std::lock_guard lock(mutex);
            makers.insert(self);
            return [&misplaced, self](std::size_t) {
                misplaced += std::this_thread::get_id() != self;
                return true;
            };
        },
        take);
    EXPECT_EQ(read, 200u);
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(makers.size(), 4u) << "the calling thread and three helpers";
    EXPECT_EQ(makers.count(caller), 1u);

    std::atomic<int> readElsewhere{0};
    const std::size_t alone = ReadShared(
        {200, 3, 4, {}},
        [&]() -> ItemReader {
            if (std::this_thread::get_id() != caller)
                throw std::runtime_error("no reader here");
            return [&](std::size_t) {
                readElsewhere += std::this_thread::get_id() != caller;
                return true;
            };
        },
        take);
    EXPECT_EQ(alone, 200u);
    EXPECT_EQ(readElsewhere, 0);
}

// While the helpers are busy with a part shared with them, the calling
// thread reads its items too: here the helpers' reads wait until it has.
TEST(SharedReader, TheCallingThreadReadsInASharedPart)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable callerRead;
    bool callerHasRead = false;
    std::atomic<int> helpersGaveUp{0};
    const std::size_t read = ReadShared(
        {12, 2, 12, {}},
        [&]() -> ItemReader {
            return [&](std::size_t) {
                std::unique_lock lock(mutex);
                if (std::this_thread::get_id() == caller) {
                    callerHasRead = true;
                    callerRead.notify_all();
                } else if (!callerRead.wait_for(lock, std::chrono::seconds(20), [&] { return callerHasRead; })) {
                    ++helpersGaveUp;
                }
                return true;
            };
        },
        [](std::size_t) { return true; });
    EXPECT_EQ(read, 12u);
    EXPECT_TRUE(callerHasRead);
    EXPECT_EQ(helpersGaveUp, 0);
}

}  // namespace
}  // namespace qob
