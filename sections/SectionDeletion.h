// The deletion of checked broken keys of the classes, type libraries,
// interfaces and shell extension handlers: each key examined again, saved
// into the run's one backup folder and deleted with its subtree in its own
// view. A broken file type loses only its default value, the key kept.
// Keys and values only, never a file. Portable: over the key store and the
// backup.
#pragma once

#include "catalogue/EntryRefresh.h"
#include "catalogue/KeyStore.h"
#include "removal/Backup.h"
#include "removal/KeyDeletion.h"
#include "removal/ValueDeletion.h"
#include "sections/SectionScan.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qob {

// What a deletion run did, by the keys' positions in the list it was given.
struct SectionDeletionOutcome {
    std::vector<std::size_t> gone;     // deleted, or already gone when examined again
    std::vector<std::size_t> healthy;  // no longer broken: skipped
    std::vector<std::size_t> protectedByWindows;  // owned by TrustedInstaller: skipped, never deleted
    std::string folder;                // the backup folder; empty when nothing was saved
    std::vector<std::string> problems; // one line per key skipped or not deleted
    std::vector<std::size_t> problemKeys;  // the position of the key of each problem
    // Access was denied to a key of the whole computer: an administrator
    // could delete it.
    bool deniedMachineKey = false;
    bool cancelled = false;
};

// What the keys at the positions `gone` of `keys` were to the entries of
// the tree: the classes (in their views) and the type libraries that went.
RemovedNames NamesOfDeletedKeys(const std::vector<BrokenKey>& keys, const std::vector<std::size_t>& gone);

// The problems as one message for the user (the first ones, and how many
// more), or empty when there are none.
std::string SectionProblemsMessage(const std::vector<std::string>& problems);

class SectionDeletion {
public:
    // The key as it is now: its verdict, or nothing when it is no longer
    // broken or no longer there (SectionExamination::ExamineAgain).
    using ExamineAgain = std::function<std::optional<BrokenKey>(const BrokenKey&)>;
    // The system's description of a Win32 error code.
    using ErrorText = KeyDeletion::ErrorText;

    SectionDeletion(KeyStore& store, RemovalBackup& backup, ExamineAgain examineAgain, ErrorText errorText);

    // Deletes the keys in the order given. Told of each key done; stops
    // between two keys once `cancel` turns true.
    SectionDeletionOutcome Run(const std::vector<BrokenKey>& keys, const SectionProgress& progress,
                               const std::atomic<bool>& cancel);

    // A run that only tells: each key is examined again as for a deletion,
    // and `gone` lists those that would go; nothing is saved or deleted.
    void SetDryRun(bool dryRun) { dryRun_ = dryRun; }

private:
    enum class Result { Gone, Healthy, Protected, Kept };
    Result DeleteOne(const BrokenKey& key, SectionDeletionOutcome& outcome);

    KeyStore& store_;
    RemovalBackup& backup_;
    ExamineAgain examineAgain_;
    KeyDeletion deletion_;
    bool dryRun_ = false;
    ValueDeletion values_;
};

}  // namespace qob
