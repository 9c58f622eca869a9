// Which registry view a key is read from, and how the system names a key of
// a view. A 32-bit program's system32 folder is the 64-bit system's
// SysWOW64.
#pragma once

#include <string>
#include <string_view>

namespace qob {

enum class RegistryView { Native, Wow64_32 };

// The key HKEY_CLASSES_ROOT\<path> of `view` as the system names it (and as
// the registry editor and a .reg file do): the 32-bit view keeps its own
// class and interface keys below Wow6432Node, so "CLSID\{...}" of that view
// is "Wow6432Node\CLSID\{...}" and "Interface\{...}" is
// "Wow6432Node\Interface\{...}" (Wine keeps them so too). Any other key is
// shared by both views and keeps its path.
std::string KeyNameInView(std::string_view path, RegistryView view);
std::u16string KeyNameInView(std::u16string_view path, RegistryView view);

}  // namespace qob
