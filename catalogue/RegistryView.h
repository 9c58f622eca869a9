// Which registry view a class key was read from. A 32-bit program's
// system32 folder is the 64-bit system's SysWOW64.
#pragma once

namespace qob {

enum class RegistryView { Native, Wow64_32 };

}  // namespace qob
