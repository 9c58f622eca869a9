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

long TRegistry::OpenWithFallback(KeyHandle base, const std::string& rest, std::uint32_t viewFlags,
                                 KeyHandle& out) const
{
    long result = store_.OpenKey(base, rest, kKeyAllAccess | viewFlags, out);
    // A key that is not there is not there with fewer rights either.
    if (result != kErrorSuccess && result != kErrorFileNotFound)
        result = store_.OpenKey(base, rest, kKeyRead | viewFlags, out);
    return result;
}

bool TRegistry::OpenKey(const std::string& path) { return OpenCurrent(path, viewFlags_); }

bool TRegistry::OpenKey(const std::string& path, RegistryView view)
{
    return OpenCurrent(path, ViewFlags(view));
}

bool TRegistry::OpenCurrent(const std::string& path, std::uint32_t viewFlags)
{
    std::string rest;
    const KeyHandle base = BaseFor(path, rest);
    KeyHandle opened = kNoKey;
    lastError_ = OpenWithFallback(base, rest, viewFlags, opened);
    if (lastError_ != kErrorSuccess)
        return false;
    CloseKey();
    current_ = opened;
    return true;
}

std::string ReadStringValue(KeyStore& store, KeyHandle key, const std::string& name)
{
    std::uint32_t type = 0;
    std::string text;
    const long result = store.QueryValue(key, name, type, text);
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

void ListSubkeyNames(KeyStore& store, KeyHandle key, std::vector<std::string>& names)
{
    std::uint32_t count = 0;
    if (store.QueryInfoKey(key, count) != kErrorSuccess)
        return;
    names.reserve(names.size() + count);
    std::string name;
    for (std::uint32_t index = 0; index < count; ++index) {
        if (store.EnumKey(key, index, name) == kErrorSuccess)
            names.push_back(name);
    }
}

std::string TRegistry::ReadString(const std::string& name)
{
    if (current_ == kNoKey)
        return {};
    return ReadStringValue(store_, current_, name);
}

void TRegistry::GetKeyNames(std::vector<std::string>& names)
{
    names.clear();
    if (current_ != kNoKey)
        ListSubkeyNames(store_, current_, names);
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
    failedKey_.clear();
    partlyDeleted_ = false;
    // A key this user may not change, or one with such a subkey, loses none
    // of its subkeys.
    if (!OpenAllForDeletion(base, rest, rest))
        return false;
    return DeleteBelow(base, rest, rest);
}

bool TRegistry::OpenAllForDeletion(KeyHandle base, const std::string& rest, const std::string& name)
{
    KeyHandle opened = kNoKey;
    const long result = store_.OpenKey(base, rest, kKeyAllAccess | viewFlags_, opened);
    // A key that is not there needs no deletion (the top key's deletion
    // then says so).
    if (result == kErrorFileNotFound)
        return true;
    if (result != kErrorSuccess) {
        lastError_ = result;
        failedKey_ = name;
        return false;
    }
    ScopedKey key(store_, opened == base ? kNoKey : opened);
    std::vector<std::string> subkeys;
    ListSubkeyNames(store_, opened, subkeys);
    for (const std::string& subkey : subkeys) {
        if (!OpenAllForDeletion(opened, subkey, name + '\\' + subkey))
            return false;
    }
    return true;
}

bool TRegistry::DeleteBelow(KeyHandle base, const std::string& rest, const std::string& name)
{
    KeyHandle opened = kNoKey;
    if (OpenWithFallback(base, rest, viewFlags_, opened) == kErrorSuccess) {
        ScopedKey key(store_, opened == base ? kNoKey : opened);
        // Take the names first: deleting while enumerating shifts the indices.
        std::vector<std::string> subkeys;
        ListSubkeyNames(store_, opened, subkeys);
        for (const std::string& subkey : subkeys) {
            // A subkey gone meanwhile is as good as deleted; any other
            // failure ends the deletion, and the key stays.
            if (!DeleteBelow(opened, subkey, name + '\\' + subkey) && lastError_ != kErrorFileNotFound)
                return false;
        }
    }
    lastError_ = store_.DeleteKey(base, rest, viewFlags_);
    if (lastError_ == kErrorSuccess) {
        partlyDeleted_ = true;
        return true;
    }
    failedKey_ = name;
    return false;
}

bool TRegistry::KeyExists(const std::string& path)
{
    std::string rest;
    const KeyHandle base = BaseFor(path, rest);
    KeyHandle opened = kNoKey;
    if (store_.OpenKey(base, rest, kKeyRead | viewFlags_, opened) != kErrorSuccess)
        return false;
    if (opened != base)
        store_.CloseKey(opened);
    return true;
}

std::vector<std::string> TRegistry::KeysOf(const std::string& path)
{
    std::string rest;
    const KeyHandle base = BaseFor(path, rest);
    std::vector<std::string> keys;
    CollectKeys(base, rest, rest, keys);
    return keys;
}

void TRegistry::CollectKeys(KeyHandle base, const std::string& rest, const std::string& name,
                            std::vector<std::string>& keys) const
{
    KeyHandle opened = kNoKey;
    if (store_.OpenKey(base, rest, kKeyRead | viewFlags_, opened) != kErrorSuccess)
        return;
    ScopedKey key(store_, opened == base ? kNoKey : opened);
    keys.push_back(name);
    std::vector<std::string> subkeys;
    ListSubkeyNames(store_, opened, subkeys);
    for (const std::string& subkey : subkeys)
        CollectKeys(opened, subkey, name + '\\' + subkey, keys);
}

}  // namespace qob
