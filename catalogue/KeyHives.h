// Which of the two hives behind HKEY_CLASSES_ROOT hold a key. On Windows
// HKEY_CLASSES_ROOT shows the user's classes
// (HKEY_CURRENT_USER\Software\Classes) over the machine's
// (HKEY_LOCAL_MACHINE\Software\Classes): a key in both is one copy in
// each, the user's is the one that shows, and a deletion through
// HKEY_CLASSES_ROOT takes the user's copy whenever it is there. Under Wine
// the classes root is the machine's alone. Portable: over the key store.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"

#include <string>

namespace qob {

enum class KeyHives { None, User, Machine, Both };

// Looks for the key HKEY_CLASSES_ROOT\<path> of `view` in each hive, named
// there as the system names it (KeyNameInView): two opens for reading. A
// copy that is there but cannot be read counts as there.
KeyHives FindKeyHives(KeyStore& store, const std::string& path, RegistryView view);

// True when the user's hive holds a copy: the one that shows, and goes.
constexpr bool HasUserCopy(KeyHives hives) { return hives == KeyHives::User || hives == KeyHives::Both; }

}  // namespace qob
