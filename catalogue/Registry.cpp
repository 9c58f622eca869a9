#include "catalogue/Registry.h"

#include <cstdio>
#include <vector>

namespace qob {

namespace {

std::string WithValueName(const char* pattern, const std::string& name)
{
    std::string text(pattern);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

// Closes a key handle that is not the current key when it goes out of scope.
class ScopedKey {
public:
    ScopedKey(KeyStore& store, KeyHandle key) : store_(store), key_(key) {}
    ~ScopedKey()
    {
        if (key_ != kNoKey)
            store_.CloseKey(key_);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    KeyHandle get() const { return key_; }

private:
    KeyStore& store_;
    KeyHandle key_;
};

}  // namespace

TRegistry::TRegistry(KeyStore& store) : store_(store) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(KeyHandle root)
{
    if (root == root_)
        return;
    CloseKey();
    root_ = root;
}

KeyHandle TRegistry::BaseFor(const std::string& path, std::string& rest) const
{
    if (!path.empty() && path[0] == '\\') {
        rest = path.substr(1);
        return root_;
    }
    rest = path;
    return current_ != kNoKey ? current_ : root_;
}

long TRegistry::OpenWithFallback(KeyHandle base, const std::string& rest, KeyHandle& out) const
{
    long result = store_.OpenKey(base, rest, kKeyAllAccess | viewFlags_, out);
    // A key that is not there is not there with fewer rights either.
    if (result != kErrorSuccess && result != kErrorFileNotFound)
        result = store_.OpenKey(base, rest, kKeyRead | viewFlags_, out);
    return result;
}

bool TRegistry::OpenKey(const std::string& path)
{
    std::string rest;
    const KeyHandle base = BaseFor(path, rest);
    KeyHandle opened = kNoKey;
    if (OpenWithFallback(base, rest, opened) != kErrorSuccess)
        return false;
    CloseKey();
    current_ = opened;
    return true;
}

std::string TRegistry::ReadString(const std::string& name)
{
    if (current_ == kNoKey)
        return {};
    // Most values fit a small buffer: one call reads them. A larger one is
    // read again into a buffer of the size the platform reports.
    std::vector<unsigned char> buffer(256);
    std::uint32_t type = 0;
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    long result = store_.QueryValue(current_, name, type, buffer.data(), size);
    if (result == kErrorMoreData && size > 0) {
        buffer.resize(size);
        result = store_.QueryValue(current_, name, type, buffer.data(), size);
        if (result != kErrorSuccess)
            throw ERegistryException(WithValueName("'%s' の取得に失敗しました", name));
    }
    if (result != kErrorSuccess || size == 0)
        return {};
    if (type != kRegSz && type != kRegExpandSz)
        throw ERegistryException(WithValueName("'%s' のﾃﾞｰﾀ型が不正です", name));
    std::string text(buffer.begin(), buffer.begin() + size);
    const auto zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

std::uint32_t TRegistry::NameBufferSize(const KeyInfo& info) const
{
    const std::uint32_t length = store_.NamesNeedDoubledBuffer() ? info.maxSubkeyNameLength * 2
                                                                  : info.maxSubkeyNameLength;
    return length + 1;
}

void TRegistry::GetKeyNames(std::vector<std::string>& names)
{
    names.clear();
    KeyInfo info;
    if (current_ == kNoKey || store_.QueryInfoKey(current_, info) != kErrorSuccess)
        return;
    ListSubkeys(current_, info, names);
}

void TRegistry::ListSubkeys(KeyHandle key, const KeyInfo& info, std::vector<std::string>& names) const
{
    // The count is taken once; an index that no longer enumerates adds nothing.
    std::vector<char> buffer(NameBufferSize(info));
    names.reserve(info.subkeyCount);
    for (std::uint32_t index = 0; index < info.subkeyCount; ++index) {
        std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
        if (store_.EnumKey(key, index, buffer.data(), size) == kErrorSuccess)
            names.emplace_back(buffer.data(), size);
    }
}

void TRegistry::CloseKey()
{
    if (current_ == kNoKey)
        return;
    store_.CloseKey(current_);
    current_ = kNoKey;
}

bool TRegistry::DeleteKey(const std::string& path)
{
    std::string rest;
    const KeyHandle base = BaseFor(path, rest);
    // A key this user may not change loses none of its subkeys.
    KeyHandle probe = kNoKey;
    lastError_ = store_.OpenKey(base, rest, kKeyAllAccess | viewFlags_, probe);
    if (lastError_ == kErrorSuccess && probe != base)
        store_.CloseKey(probe);
    if (lastError_ == kErrorAccessDenied)
        return false;
    return DeleteBelow(base, rest);
}

bool TRegistry::DeleteBelow(KeyHandle base, const std::string& rest)
{
    KeyHandle opened = kNoKey;
    if (OpenWithFallback(base, rest, opened) == kErrorSuccess) {
        ScopedKey key(store_, opened == base ? kNoKey : opened);
        KeyInfo info;
        if (store_.QueryInfoKey(opened, info) == kErrorSuccess) {
            // Take the names first: deleting while enumerating shifts the indices.
            std::vector<std::string> subkeys;
            ListSubkeys(opened, info, subkeys);
            for (const std::string& subkey : subkeys)
                DeleteBelow(opened, subkey);
        }
    }
    lastError_ = store_.DeleteKey(base, rest, viewFlags_);
    return lastError_ == kErrorSuccess;
}

}  // namespace qob
