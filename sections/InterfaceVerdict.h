// The verdict on an interface key (Interface\{...}).
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>

namespace qob {

// Broken when its TypeLib subkey names a library without a key, unless its
// ProxyStubClsid32 names a proxy of its own (a class with a key in either
// view, other than the two marshallers that work from the type library),
// which is looked for only then. Without that subkey, broken when its proxy
// class has no key in either view. `section` is the interface section's key
// in `view`, `name` the interface key's name there.
std::optional<BrokenKey> InterfaceVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                          RegistryView view);

}  // namespace qob
