// The verdict on an interface key (Interface\{...}).
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>

namespace qob {

// Broken when its TypeLib subkey names a library without a key; without
// that subkey, when its proxy class has no key in either view. `section` is
// the interface section's key in `view`, `name` the interface key's name
// there.
std::optional<BrokenKey> InterfaceVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                          RegistryView view);

}  // namespace qob
