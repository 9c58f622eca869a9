// The question asked before a key below HKEY_CLASSES_ROOT is deleted. It
// names the copy that goes: a deletion through HKEY_CLASSES_ROOT takes the
// user's copy (HKEY_CURRENT_USER\Software\Classes\...) whenever there is
// one, and says so on a line of its own; else the machine's, named
// HKEY_CLASSES_ROOT\... as always. Portable: over the key store.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"

#include <string>

namespace qob {

// The question for HKEY_CLASSES_ROOT\<path> of the view, without the
// caller's further lines.
std::string DeleteKeyQuestion(KeyStore& store, const std::string& path, RegistryView view);

}  // namespace qob
