#include "catalogue/KeyHives.h"

namespace qob {

namespace {

constexpr const char* kHiveClasses = "Software\\Classes\\";

// One key opened for reading, closed when it goes.
class OpenedKey {
public:
    OpenedKey(KeyStore& store, KeyHandle base, const std::string& path)
        : store_(store), result_(store.OpenKey(base, path, kKeyRead, key_))
    {
    }
    ~OpenedKey()
    {
        if (result_ == kErrorSuccess && key_ != kNoKey)
            store_.CloseKey(key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    long Result() const { return result_; }

private:
    KeyStore& store_;
    KeyHandle key_ = kNoKey;
    long result_;
};

// True when the key below the hive's classes is there, readable or not.
bool InHive(KeyStore& store, KeyHandle hive, const std::string& name)
{
    const OpenedKey key(store, hive, kHiveClasses + name);
    return key.Result() == kErrorSuccess || key.Result() == kErrorAccessDenied;
}

}  // namespace

KeyHives FindKeyHives(KeyStore& store, const std::string& path, RegistryView view)
{
    const std::string name = KeyNameInView(path, view);
    const bool user = InHive(store, kCurrentUser, name);
    const bool machine = InHive(store, kLocalMachine, name);
    if (user)
        return machine ? KeyHives::Both : KeyHives::User;
    return machine ? KeyHives::Machine : KeyHives::None;
}

}  // namespace qob
