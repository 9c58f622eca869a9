#include "catalogue/KeyOwner.h"

#include "catalogue/OpenedKey.h"
#include "catalogue/Utf8.h"

namespace qob {

std::string ReadKeyOwner(KeyStore& store, const std::string& path, RegistryView view)
{
    const OpenedKey key(store, kClassesRoot, path, kKeyRead | ViewFlags(view));
    std::string owner;
    if (!key || store.QueryOwner(key.get(), owner) != kErrorSuccess || owner.empty())
        return kUnknownOwner;
    return owner;
}

bool ProtectedByWindows(KeyStore& store, const std::string& path, RegistryView view)
{
    // The system spells SID strings in capitals; compared without regard to
    // case all the same.
    return EqualNoCase(ReadKeyOwner(store, path, view), kTrustedInstallerSid);
}

}  // namespace qob
