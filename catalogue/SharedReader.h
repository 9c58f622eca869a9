// A list of items read on the calling thread and on helper threads, and
// handed to the calling thread in the list's order: the registration scan
// reads its entries this way, the examination of the sections its keys.
#pragma once

#include "catalogue/ScanPacing.h"

#include <cstddef>
#include <functional>

namespace qob {

// The most threads a scan or an examination reads the registry with.
constexpr unsigned kMaxScanThreads = 8;

// The number of reading threads of a scan, chosen from the machine's
// processors.
unsigned DefaultScanThreads();

// Reads the item at `index` into storage its caller owns (a ring of `window`
// slots indexed `index % window` will do); false when the read failed. It
// should report a failure by its result; an exception it throws is taken as a
// failed read and raised on the calling thread in the item's turn.
using ItemReader = std::function<bool(std::size_t index)>;

// Makes one thread's reader, on the thread that uses it (the calling thread
// included), so that each has its own registry access. Called from several
// threads at once. A helper whose reader cannot be made reads nothing.
using ReaderFactory = std::function<ItemReader()>;

// Takes the item at `index`, read, on the calling thread; false to stop (a
// cancel). An exception it throws ends the reading and passes to the caller.
using ItemTaker = std::function<bool(std::size_t index)>;

// How a list is read.
struct SharedReading {
    std::size_t count = 0;  // the items, from index 0
    // The threads beside the calling one; a thread the system refuses is one
    // helper fewer, and with none everything is read on the calling thread.
    unsigned helpers = 0;
    // A reader never starts an item `window` or more items after the one the
    // calling thread takes next (at least 1).
    std::size_t window = 1;
    // The parts read on the calling thread alone or with the helpers, as the
    // pacing finds faster; without its clock everything goes with the helpers.
    ScanPacing pacing;
};

// Reads the items and hands each to `take` on the calling thread, strictly in
// order. When the helpers share a part, the calling thread reads items of it
// too while its next one is not ready. The first item (in order) whose read
// failed is the last one handed out: no later item is started once that is
// known, and the earlier ones are still read and handed out. No helper
// outlives the call. Returns the number of items handed out.
std::size_t ReadShared(const SharedReading& reading, const ReaderFactory& makeReader, const ItemTaker& take);

}  // namespace qob
