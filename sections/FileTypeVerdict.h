// The file types of the root (.xyz) and the verdict on one: uninstallers
// leave file types whose default value names a ProgID that is gone.
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace qob {

// The file types among the root's keys: the names that start with a dot.
void FileTypeItems(KeyStore& store, const std::vector<std::string>& rootNames, std::vector<std::string>& items);

// Whether `path` is one file type key directly below the root.
bool IsFileTypeKey(const std::string& path);

// Broken when the default value of the file type `name` (a key of `root`)
// names a key that is not there below the root, compared without regard to
// case. An empty or absent value, or one of another type, is healthy. The
// description is the file type's Content Type value, or empty.
std::optional<BrokenKey> FileTypeVerdict(const VerdictContext& context, KeyHandle root, const std::string& name,
                                         RegistryView view);

}  // namespace qob
