// What the verdicts on the keys of the sections share: a key opened for
// reading, the files looked for once per examination, and whether the ids an
// interface names have keys.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/RegistryView.h"
#include "catalogue/ServerPath.h"
#include "sections/BrokenKey.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace qob {

// The sections' keys below HKEY_CLASSES_ROOT.
inline constexpr const char* kClassSection = "CLSID";
inline constexpr const char* kLibrarySection = "TypeLib";
inline constexpr const char* kInterfaceSection = "Interface";

// A key opened for reading in a view, closed when it goes.
class ReadKey {
public:
    ReadKey(KeyStore& store, KeyHandle base, const std::string& path, RegistryView view);
    ~ReadKey();
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;

    explicit operator bool() const { return key_ != kNoKey; }
    KeyHandle get() const { return key_; }
    // Not opened because it is not there (rather than not readable).
    bool Absent() const { return result_ == kErrorFileNotFound; }

private:
    KeyStore& store_;
    KeyHandle key_ = kNoKey;
    long result_ = kErrorSuccess;
    bool shared_ = false;  // the base key itself: not ours to close
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; anything else names no key.
bool IsGuid(const std::string& id);

// The value `name` of the key as an id: its text when that is a string
// that IsGuid takes, else empty. A value of another type names no key
// either, rather than ending the examination: the values read this way can
// only turn a key that would be broken healthy, and one that names nothing
// leaves it as it was.
std::string ReadIdValue(KeyStore& store, KeyHandle key, const std::string& name);

// The value `name` of the key as a text: its text up to the first zero when
// it is a string (REG_SZ or REG_EXPAND_SZ); nothing when it is absent, of
// another type or cannot be read. Never raises: such a value leaves a key
// healthy.
std::optional<std::string> ReadTextValue(KeyStore& store, KeyHandle key, const std::string& name);

// The default value of the key `name` below `section`; empty when the key
// does not open.
std::string ReadDescription(KeyStore& store, KeyHandle section, const std::string& name, RegistryView view);

// Whether the files that keys name are there, each path looked for once per
// examination: registries name the same few files many times over. Used by
// every examining thread.
class FileChecks {
public:
    explicit FileChecks(const FileSystem& files) : check_(files) {}

    ServerFileState Resolve(const std::string& path, RegistryView view);
    // A type library's file, without a resource number after it: a win32
    // file is also looked for where a 32-bit process reads its path (the
    // 32-bit system and program folders).
    ServerFileState ResolveLibrary(const std::string& path, bool win32);

private:
    ServerPathCheck check_;
    std::mutex mutex_;
    std::map<std::pair<std::string, RegistryView>, ServerFileState> known_;
    std::map<std::pair<std::string, bool>, ServerFileState> libraries_;  // by path as read, and win32
};

// Whether the ids an interface names have keys.
class KeyPresence {
public:
    virtual ~KeyPresence() = default;
    virtual bool LibraryExists(const std::string& id) = 0;
    // In either view.
    virtual bool ClassExists(const std::string& id) = 0;
    // A key of that name (or path) below the root, in any case.
    virtual bool RootKeyExists(const std::string& name) = 0;
};

// The keys as they are now.
class RegistryKeys : public KeyPresence {
public:
    explicit RegistryKeys(KeyStore& store) : store_(store) {}
    bool LibraryExists(const std::string& id) override;
    bool ClassExists(const std::string& id) override;
    bool RootKeyExists(const std::string& name) override;

private:
    KeyStore& store_;
};

// The keys the sections were listed with; an id not among them is looked
// for in the registry before it counts as missing (a name the listing could
// not read, a key made since). Read from several threads once listed.
class ListedKeys final : public RegistryKeys {
public:
    using RegistryKeys::RegistryKeys;
    // Keeps the names of the kinds asked about: the classes' and the type
    // libraries'.
    void Add(SectionKind kind, const std::string& name);
    // Keeps the names of the root's subkeys.
    void AddRootNames(const std::vector<std::string>& names);
    bool LibraryExists(const std::string& id) override;
    bool ClassExists(const std::string& id) override;
    bool RootKeyExists(const std::string& name) override;

private:
    std::unordered_set<std::string> libraries_;
    std::unordered_set<std::string> classes_;
    std::unordered_set<std::string> roots_;
};

// What a verdict reads with: the registry, the files, the keys of ids.
struct VerdictContext {
    KeyStore& store;
    FileChecks& files;
    KeyPresence& keys;
};

}  // namespace qob
