// A key of the key store opened for one look or one change, closed when it
// goes.
#pragma once

#include "catalogue/KeyStore.h"

#include <string>

namespace qob {

class OpenedKey {
public:
    OpenedKey(KeyStore& store, KeyHandle base, const std::string& path, std::uint32_t access) : store_(store)
    {
        result_ = store_.OpenKey(base, path, access, key_);
        if (result_ != kErrorSuccess)
            key_ = kNoKey;
    }
    ~OpenedKey()
    {
        // An empty path below a root key gives the root key itself, which
        // is never closed.
        if (key_ != kNoKey && !IsPredefinedKey(key_))
            store_.CloseKey(key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    explicit operator bool() const { return key_ != kNoKey; }
    KeyHandle get() const { return key_; }
    // The store's answer to the open.
    long Result() const { return result_; }

private:
    KeyStore& store_;
    KeyHandle key_ = kNoKey;
    long result_ = kErrorSuccess;
};

}  // namespace qob
