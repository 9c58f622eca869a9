// The registry access object: one root key, at most one open (current) key,
// and the path rule (a leading backslash makes a path absolute from the root).
#pragma once

#include "catalogue/KeyStore.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace qob {

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

    bool OpenKey(const std::string& path);
    std::string ReadString(const std::string& name);
    void GetKeyNames(std::vector<std::string>& names);
    void CloseKey();
    // Deletes the key with all its subkeys, in the view the view flags
    // select. False when the key itself was not deleted: LastError() says
    // why (2 when it is not there; 5, with nothing deleted, when this user
    // may not change it).
    bool DeleteKey(const std::string& path);
    long LastError() const { return lastError_; }

private:
    // Base key and rest of the path after the path rule.
    KeyHandle BaseFor(const std::string& path, std::string& rest) const;
    long OpenWithFallback(KeyHandle base, const std::string& rest, KeyHandle& out) const;
    // The key's subkey names; none when the key cannot be asked.
    void ListSubkeys(KeyHandle key, std::vector<std::string>& names) const;
    bool DeleteBelow(KeyHandle base, const std::string& rest);

    KeyStore& store_;
    KeyHandle root_ = kCurrentUser;
    KeyHandle current_ = kNoKey;
    std::uint32_t viewFlags_ = 0;
    long lastError_ = kErrorSuccess;
};

}  // namespace qob
