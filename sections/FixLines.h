// What a scripted clean-up of the broken keys (QobTessavinScan --sections
// --fix) writes for scripts and logs, and how it ends.
#pragma once

#include "sections/BrokenKey.h"
#include "sections/SectionDeletion.h"

#include <string>
#include <vector>

namespace qob {

// The exit status of a clean-up of which some keys could not go.
inline constexpr int kFixIncomplete = 3;

// One line per key of `keys`, in their order: "deleted" (or "would delete"
// in a dry run), "skipped" or "failed", a TAB, the kind's token, a TAB, the
// key, and for a key left a TAB and the reason in the user interface's
// language; then "backup TAB <folder>" when something was saved. Control
// bytes are written as \xHH, every line ends with LF.
std::string FixLines(const std::vector<BrokenKey>& keys, const SectionDeletionOutcome& outcome, bool dryRun);

// 0 when every key went (or would go), or was skipped: healthy again, or
// protected by Windows (no run could delete it); kFixIncomplete when some
// key could not go.
int FixExitStatus(const std::vector<BrokenKey>& keys, const SectionDeletionOutcome& outcome);

}  // namespace qob
