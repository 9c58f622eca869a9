// The sections of HKEY_CLASSES_ROOT beside the ProgIDs - the classes, the
// type libraries and the interfaces, in both views where the 32-bit view
// keeps its own - and, below the root's own keys, the shell extension
// handlers and the file types, examined for keys that are plainly broken. The verdicts are conservative: a key is listed only when what it
// names is certainly gone; when in doubt it is healthy. Portable: over the
// key store and the file system, no platform calls. Each kind of key has its
// verdict in a unit of its own and a row in sections/SectionKinds.h; the
// lines for scripts are sections/SectionLines.h's.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/RegistryView.h"
#include "catalogue/ScanPacing.h"
#include "sections/BrokenKey.h"
#include "sections/SectionLines.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qob {

// True when the key is `<section>\<one non-empty name>` of its kind's
// section (CLSID, TypeLib or Interface; only CLSID and Interface in the
// 32-bit view), one handler key below a shellex key, or one file type key
// ".xyz": never a section, a shellex key or a handler list itself, never a
// key inside another registration.
bool IsSingleSectionKey(const BrokenKey& key);

// What one examination found. On a read error of the registry the keys
// found before it stay (before it in the listing's order: the classes, the
// 32-bit classes, the type libraries, the interfaces, the 32-bit
// interfaces, the handlers by the root's keys, the file types, each in the
// registry's order) and `error` holds it (an ERegistryException).
struct SectionFindings {
    // By kind (class, type library, interface, shell extension, file type),
    // then by name in the name order.
    std::vector<BrokenKey> keys;
    std::exception_ptr error;
    bool cancelled = false;
};

// Told how far an examination has come: keys examined and keys to examine
// in all (the total may grow while the sections are listed). Called on the
// examining thread, often; the caller thins it out.
using SectionProgress = std::function<void(std::size_t done, std::size_t total)>;

class SectionExamination {
public:
    // `store` and `files` may be used from several threads at once. The keys
    // are examined on the calling thread, with up to `threads` - 1 helpers
    // (0, the default: one thread a processor; 1: the calling thread alone;
    // at most kMaxScanThreads), part by part the way `pacing` finds faster:
    // under Wine the helpers win while the machine has idle cores, and lose
    // when the cores are busy. Without the pacing's clock all go with the
    // helpers. The findings are the same whatever the number.
    SectionExamination(KeyStore& store, const FileSystem& files, const NameOrder& order, unsigned threads = 0,
                       const ScanPacing& pacing = {});

    // Examines every key of the three sections (both views of the classes
    // and the interfaces), every handler and every file type.
    // Stops soon after `cancel` turns true, with what was found so far and
    // `cancelled` set.
    SectionFindings ExamineAll(const SectionProgress& progress, const std::atomic<bool>& cancel);

    // The key as it is now, just before it is deleted: its verdict, or
    // nothing when it is no longer broken, no longer there, or cannot be
    // read. Only a key of its kind as IsSingleSectionKey takes it is
    // examined; any other path gives nothing.
    std::optional<BrokenKey> ExamineAgain(const BrokenKey& key);

private:
    KeyStore& store_;
    const FileSystem& files_;
    const NameOrder& order_;
    unsigned threads_;
    ScanPacing pacing_;
};

}  // namespace qob
