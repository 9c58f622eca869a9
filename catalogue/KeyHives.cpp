#include "catalogue/KeyHives.h"

#include "catalogue/OpenedKey.h"

namespace qob {

namespace {

constexpr const char* kHiveClasses = "Software\\Classes\\";

// True when the key below the hive's classes is there, readable or not.
bool InHive(KeyStore& store, KeyHandle hive, const std::string& name)
{
    const OpenedKey key(store, hive, kHiveClasses + name, kKeyRead);
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
