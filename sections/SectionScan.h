// The sections of HKEY_CLASSES_ROOT beside the ProgIDs - the classes, the
// type libraries and the interfaces - examined for keys that are plainly
// broken. The verdicts are conservative: a key is listed only when what it
// names is certainly gone; when in doubt it is healthy. Portable: over the
// key store and the file system, no platform calls.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/RegistryView.h"
#include "catalogue/ScanPacing.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qob {

enum class SectionKind { Class, TypeLibrary, Interface };

enum class BreakReason {
    MissingServer,        // every server path of the class names no file
    MissingFile,          // every file of the type library is missing
    UnregisteredTypeLib,  // the interface's type library has no key
    UnregisteredClass,    // the interface's proxy class has no key in either view
};

// One broken key.
struct BrokenKey {
    SectionKind kind = SectionKind::Class;
    // The key as the system names it below HKEY_CLASSES_ROOT, spelled as
    // the registry enumerates it: "CLSID\{...}", "Wow6432Node\CLSID\{...}",
    // "TypeLib\{...}" or "Interface\{...}".
    std::string name;
    // The same key as a path in its view ("CLSID\{...}" for both views of a
    // class), for reading it again, saving and deleting it.
    std::string path;
    RegistryView view = RegistryView::Native;
    std::string description;  // the key's default value, or empty
    BreakReason reason = BreakReason::MissingServer;
    // What is missing: the server or library paths as read, or the one
    // library or class id.
    std::vector<std::string> missing;
};

// True when the key is `<section>\<one non-empty name>` of its kind's
// section (CLSID, TypeLib or Interface; only CLSID in the 32-bit view):
// never a section itself, never a key inside another registration.
bool IsSingleSectionKey(const BrokenKey& key);

// The reason for scripts, the same in every language: a fixed token
// ("missing-server", "missing-file", "unregistered-typelib",
// "unregistered-class"), a space, and what is missing joined by '|'.
std::string ReasonToken(const BrokenKey& key);

// The broken keys as scripts read them: one line per key, "kind TAB key TAB
// description TAB reason LF", the kind being "class", "typelib" or
// "interface" and the reason ReasonToken's; control bytes written as \xHH.
std::string SectionLines(const std::vector<BrokenKey>& keys);

// What one examination found. On a read error of the registry the keys
// found before it stay (before it in the listing's order: the classes, the
// 32-bit classes, the type libraries, the interfaces, each section in the
// registry's order) and `error` holds it (an ERegistryException).
struct SectionFindings {
    std::vector<BrokenKey> keys;  // by kind (class, type library, interface), then by name in the name order
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

    // Examines every key of the three sections, both views of the classes.
    // Stops soon after `cancel` turns true, with what was found so far and
    // `cancelled` set.
    SectionFindings ExamineAll(const SectionProgress& progress, const std::atomic<bool>& cancel);

    // The key as it is now, just before it is deleted: its verdict, or
    // nothing when it is no longer broken, no longer there, or cannot be
    // read. Only a key "<section>\<one name>" of its kind's section is
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
