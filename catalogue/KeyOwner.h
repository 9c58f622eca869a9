// Who owns a key below HKEY_CLASSES_ROOT, and the keys that Windows keeps
// for itself. A key owned by TrustedInstaller cannot be deleted, not even by
// an administrator, and Windows writes it back when it repairs itself: the
// program never offers to delete one. Portable: over the key store.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"

#include <string>

namespace qob {

// The SID of the TrustedInstaller service (NT SERVICE\TrustedInstaller).
inline constexpr const char* kTrustedInstallerSid = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// What ReadKeyOwner gives for a key whose owner cannot be read.
inline constexpr const char* kUnknownOwner = "unknown";

// The owner of HKEY_CLASSES_ROOT\<path> in the view as a SID string;
// kUnknownOwner when the key is not there, does not open for reading or its
// security cannot be read.
std::string ReadKeyOwner(KeyStore& store, const std::string& path, RegistryView view);

// True when the key's owner is TrustedInstaller. A key whose owner cannot be
// read is not taken for protected: its deletion then fails, or not, as
// Windows decides, and says so.
bool ProtectedByWindows(KeyStore& store, const std::string& path, RegistryView view);

}  // namespace qob
