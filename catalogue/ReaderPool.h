// The pool of threads a scan reads the entries with, and how many it has.
#pragma once

#include "catalogue/EntryReader.h"
#include "catalogue/KeyStore.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qob {

// The most threads a scan reads the registry with.
constexpr unsigned kMaxScanThreads = 8;

// The number of reading threads chosen from the machine's processors.
unsigned DefaultScanThreads();

// The entries read on a pool of threads, each with its own registry access
// object, and handed to the scan's thread in the names' order. The pool reads
// the ranges it is given and rests between them. A reader runs at most
// `window` names ahead of the entry the scan's thread takes next, so the
// records waiting are bounded whatever the number of names. The first name
// (in order) whose reading failed is the last one handed out; no later name is
// started once it is known.
class ReaderPool {
public:
    ReaderPool(KeyStore& store, const std::vector<std::string>& names, unsigned threads);
    ~ReaderPool();

    ReaderPool(const ReaderPool&) = delete;
    ReaderPool& operator=(const ReaderPool&) = delete;

    // False when the system gave no thread at all.
    bool Running() const { return !threads_.empty(); }

    // Reads the names from `first` up to `last`, whose records are then
    // taken one by one. The range before was taken whole.
    void Read(std::size_t first, std::size_t last);

    // The record of the name at `index`, which is the one after the last taken.
    EntryRecord Take(std::size_t index);

private:
    // Tells the readers to end and waits for them.
    void Stop();
    bool NameToRead() const;
    void Work();

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

}  // namespace qob
