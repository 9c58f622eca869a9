#include "catalogue/Registry.h"

#include "texts/Texts.h"

#include <vector>

namespace qob {

namespace {

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
    std::uint32_t type = 0;
    std::string text;
    const long result = store_.QueryValue(current_, name, type, text);
    if (result == kErrorMoreData)
        throw ERegistryException(Text(TextId::ErrorValueUnreadable, {name}));
    if (result != kErrorSuccess || text.empty())
        return {};
    if (type != kRegSz && type != kRegExpandSz)
        throw ERegistryException(Text(TextId::ErrorValueBadType, {name}));
    const auto zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

void TRegistry::GetKeyNames(std::vector<std::string>& names)
{
    names.clear();
    if (current_ != kNoKey)
        ListSubkeys(current_, names);
}

void TRegistry::ListSubkeys(KeyHandle key, std::vector<std::string>& names) const
{
    std::uint32_t count = 0;
    if (store_.QueryInfoKey(key, count) != kErrorSuccess)
        return;
    // The count is taken once; an index that no longer enumerates adds nothing.
    names.reserve(count);
    std::string name;
    for (std::uint32_t index = 0; index < count; ++index) {
        if (store_.EnumKey(key, index, name) == kErrorSuccess)
            names.push_back(name);
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
        // Take the names first: deleting while enumerating shifts the indices.
        std::vector<std::string> subkeys;
        ListSubkeys(opened, subkeys);
        for (const std::string& subkey : subkeys)
            DeleteBelow(opened, subkey);
    }
    lastError_ = store_.DeleteKey(base, rest, viewFlags_);
    return lastError_ == kErrorSuccess;
}

}  // namespace qob
