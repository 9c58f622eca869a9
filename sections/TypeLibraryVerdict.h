// The verdict on a type library key (TypeLib\{...}).
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>

namespace qob {

// Broken when it has a file entry and every file is missing. Most libraries
// name a file of the neutral locale in their first version: those entries
// are read first, and when a file is there the versions need not be listed.
// A library without versions has no file entry. `section` is the type
// library section's key in `view`, `name` the library key's name there.
std::optional<BrokenKey> TypeLibraryVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                            RegistryView view);

}  // namespace qob
