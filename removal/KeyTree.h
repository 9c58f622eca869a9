// A registry key with all its subkeys and values, read losslessly for a
// backup: names as UTF-16, data as the raw bytes stored.
#pragma once

#include "catalogue/RegistryView.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qob {

struct SavedValue {
    std::u16string name;  // empty for the default value
    std::uint32_t type = 0;
    std::string data;
};

struct SavedKey {
    std::u16string path;  // below the tree's top key: empty for the top key, else "\Sub\Deeper"
    std::vector<SavedValue> values;
};

struct KeyTree {
    // Where the top key lives, as a .reg key line names it: for instance
    // "HKEY_CLASSES_ROOT\Wow6432Node\CLSID\{...}" for a class key of the
    // 32-bit view, so that an import puts it back into that view.
    std::u16string location;
    std::vector<SavedKey> keys;  // the top key first, then its subkeys in pre-order
};

class KeyTreeReader {
public:
    virtual ~KeyTreeReader() = default;
    // Reads HKEY_CLASSES_ROOT\<path> (a UTF-8 path) of the
    // view, with everything below it. 0 on success, 2 when the key is not
    // there, another Win32 error code when it could not be read whole.
    virtual long Read(const std::string& path, RegistryView view, KeyTree& tree) = 0;
};

}  // namespace qob
