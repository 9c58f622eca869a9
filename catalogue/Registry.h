// The registry access object: one root key, at most one open (current) key,
// and the path rule (a leading backslash makes a path absolute from the root).
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace qob {

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A string value as the program reads it: its text up to the first zero;
// empty when the value is absent or empty. A value of another type, or one
// that keeps growing while it is read, raises ERegistryException.
std::string ReadStringValue(KeyStore& store, KeyHandle key, const std::string& name);

// The key's subkey names in the registry's order; none when the key cannot
// be asked. The count is taken once; an index that no longer enumerates
// adds nothing.
void ListSubkeyNames(KeyStore& store, KeyHandle key, std::vector<std::string>& names);

class TRegistry {
public:
    explicit TRegistry(KeyStore& store);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    KeyHandle RootKey() const { return root_; }
    void SetRootKey(KeyHandle root);
    // Extra access flags, such as the registry view (kKeyWow64_32Key), added
    // to every open and to the opens of a deletion.
    void SetViewFlags(std::uint32_t flags) { viewFlags_ = flags; }

    // Makes the key the current one; false when it does not open, and then
    // LastError() says why (2 when it is not there, 5 when it is there but
    // this user may not read it) and the current key stays as it was.
    bool OpenKey(const std::string& path);
    // As OpenKey, in `view` whatever the view flags select: for a reader that
    // names the view of each key it opens.
    bool OpenKey(const std::string& path, RegistryView view);
    std::string ReadString(const std::string& name);
    void GetKeyNames(std::vector<std::string>& names);
    void CloseKey();
    // Deletes the key with all its subkeys, in the view the view flags
    // select. Every key of the subtree is opened for deletion first; when one
    // cannot be, nothing is deleted. False when the key itself was not
    // deleted: LastError() says why (2 when it is not there), FailedKey()
    // names the key the error concerns (the path as given, with the subkey
    // below it, no leading backslash), and PartlyDeleted() tells whether
    // some of its subkeys went before the error (the registry changed
    // between the opens and the deletions).
    bool DeleteKey(const std::string& path);
    long LastError() const { return lastError_; }
    const std::string& FailedKey() const { return failedKey_; }
    bool PartlyDeleted() const { return partlyDeleted_; }
    // True when the key opens for reading.
    bool KeyExists(const std::string& path);
    // The key and those of its subkeys that open, in pre-order, named as
    // FailedKey() names them; none when the key does not open.
    std::vector<std::string> KeysOf(const std::string& path);

private:
    // Base key and rest of the path after the path rule.
    KeyHandle BaseFor(const std::string& path, std::string& rest) const;
    long OpenWithFallback(KeyHandle base, const std::string& rest, std::uint32_t viewFlags, KeyHandle& out) const;
    bool OpenCurrent(const std::string& path, std::uint32_t viewFlags);
    // Opens the key and each key below it for deletion; false, with the
    // error and the key, at the first that does not open.
    bool OpenAllForDeletion(KeyHandle base, const std::string& rest, const std::string& name);
    bool DeleteBelow(KeyHandle base, const std::string& rest, const std::string& name);
    void CollectKeys(KeyHandle base, const std::string& rest, const std::string& name,
                     std::vector<std::string>& keys) const;

    KeyStore& store_;
    KeyHandle root_ = kCurrentUser;
    KeyHandle current_ = kNoKey;
    std::uint32_t viewFlags_ = 0;
    long lastError_ = kErrorSuccess;
    std::string failedKey_;
    bool partlyDeleted_ = false;
};

}  // namespace qob
