// The handful of registry operations the program needs, as an interface.
// Names, paths and string values are UTF-8. The Win32 implementation
// forwards to advapi32 (the W functions, converting at the call); the
// in-memory one serves the unit tests. Both answer with Win32 error codes so
// that the logic above them cannot tell them apart (the contract suite checks
// that). A store may be used from several threads at once, each with its own
// handles, as the registry itself may.
#pragma once

#include "catalogue/RegistryView.h"

#include <cstdint>
#include <string>

namespace qob {

// An opaque key handle. Predefined root keys use the platform's values.
using KeyHandle = std::uintptr_t;

constexpr KeyHandle MakePredefinedKey(std::uint32_t value)
{
    // HKEY_CLASSES_ROOT is (HKEY)(ULONG_PTR)(LONG)0x80000000: sign-extended.
    return static_cast<KeyHandle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
constexpr KeyHandle kNoKey = 0;
constexpr KeyHandle kClassesRoot = MakePredefinedKey(0x80000000u);
constexpr KeyHandle kCurrentUser = MakePredefinedKey(0x80000001u);
constexpr KeyHandle kLocalMachine = MakePredefinedKey(0x80000002u);

constexpr bool IsPredefinedKey(KeyHandle key)
{
    return key >= MakePredefinedKey(0x80000000u) && key <= MakePredefinedKey(0x80000006u);
}

// Win32 error codes that the operations report.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorBadPathname = 161;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;

// Access rights.
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
// The access flags that select the view.
constexpr std::uint32_t ViewFlags(RegistryView view) { return view == RegistryView::Wow64_32 ? kKeyWow64_32Key : 0; }

// Value types.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

class KeyStore {
public:
    virtual ~KeyStore() = default;

    // RegOpenKeyExW(base, path, 0, access, &out).
    virtual long OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out) = 0;
    // RegQueryInfoKeyW: the number of subkeys.
    virtual long QueryInfoKey(KeyHandle key, std::uint32_t& subkeyCount) = 0;
    // RegEnumKeyExW: the name of the subkey at the index, whole.
    virtual long EnumKey(KeyHandle key, std::uint32_t index, std::string& name) = 0;
    // RegQueryValueExW: the value's type and data, whole. The data of a
    // string type (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-8, each zero
    // of the stored text kept as one zero byte; other types give their bytes
    // as stored. An absent value gives 2 with type 0 and no data; one that
    // keeps growing while it is read gives 234.
    virtual long QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data) = 0;
    // RegDeleteKeyExW(base, path, viewFlags, 0): the key in the registry view
    // that viewFlags (0 or kKeyWow64_32Key) selects.
    virtual long DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags) = 0;
    // RegDeleteValueW(key, name): the value `name` ("" for the default
    // value) of a key opened with kKeySetValue; 2 when it is not there.
    virtual long DeleteValue(KeyHandle key, const std::string& name) = 0;
    // RegCloseKey.
    virtual long CloseKey(KeyHandle key) = 0;
    // RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION) and
    // ConvertSidToStringSidW: the owner of a key opened for reading (kKeyRead
    // includes READ_CONTROL), as a SID string such as "S-1-5-32-544". The
    // owner is empty when the call fails.
    virtual long QueryOwner(KeyHandle key, std::string& owner) = 0;
};

}  // namespace qob
