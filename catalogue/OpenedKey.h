// A key of the key store opened for one look, closed when it goes.
#pragma once

#include "catalogue/KeyStore.h"

#include <string>

namespace qob {

class OpenedKey {
public:
    OpenedKey(KeyStore& store, KeyHandle base, const std::string& path, std::uint32_t access) : store_(store)
    {
        if (store_.OpenKey(base, path, access, key_) != kErrorSuccess)
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

private:
    KeyStore& store_;
    KeyHandle key_ = kNoKey;
};

}  // namespace qob
