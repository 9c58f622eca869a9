// The verdict on a class key (CLSID\{...}, in either view).
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>

namespace qob {

// Broken when it has a server subkey and every server path names no file;
// a server found (or one that cannot be examined) ends the look. Such a
// class is still healthy when Windows activates it another way: its TreatAs
// subkey names another class that has a key in either view, or its AppID
// value names an AppID key with a LocalService value. Those are read only
// for a class that would be broken. `section` is the class section's key in
// `view`, `name` the class key's name there.
std::optional<BrokenKey> ClassVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                      RegistryView view);

}  // namespace qob
