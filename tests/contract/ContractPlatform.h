// What the contract suite needs of a platform: the key store and the file
// system under test, and ways to seed them that do not go through them.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "removal/KeyTree.h"

#include <memory>
#include <string>

namespace qob::contract {

// Every key the suite makes lies below HKEY_CLASSES_ROOT\<kSandbox>; every
// file below SandboxDirectory().
inline const char* const kSandbox = "QobContractSandbox";

class ContractPlatform {
public:
    virtual ~ContractPlatform() = default;
    virtual KeyStore& Store() = 0;
    virtual const NameOrder& Order() = 0;
    virtual FileSystem& Files() = 0;
    // The backup's reader of whole keys.
    virtual KeyTreeReader& Trees() = 0;

    // Paths below HKEY_CLASSES_ROOT, UTF-8; the data of a string value is
    // its UTF-8 text with the terminator.
    virtual void CreateKey(const std::string& path) = 0;
    virtual void SetValue(const std::string& path, std::uint32_t type, const std::string& bytes) = 0;
    // A named value, its name in UTF-16 and its bytes stored as given.
    virtual void SetNamedValue(const std::string& path, const std::u16string& name, std::uint32_t type,
                               const std::string& bytes) = 0;
    // The 32-bit registry view's class key (HKCR\Wow6432Node\CLSID\<id>).
    virtual void CreateClassKey32(const std::string& classId) = 0;
    virtual bool KeyExists(const std::string& path) = 0;
    // Gives the key another owner (a SID string) with
    // RegSetKeySecurity(OWNER_SECURITY_INFORMATION): the Win32 error code.
    virtual long SetOwner(const std::string& path, const std::string& owner) = 0;

    // Paths are UTF-8. The sandbox directory ends in a backslash.
    virtual std::string SandboxDirectory() = 0;
    // year/month/day of the last-write time, in local time.
    virtual void MakeFile(const std::string& path, int year, int month, int day) = 0;
    virtual void MakeDirectory(const std::string& path) = 0;
    virtual void MakeReadOnly(const std::string& path) = 0;
    // An environment variable of this process (for the expansion of paths).
    virtual void SetVariable(const std::string& name, const std::string& value) = 0;
};

std::unique_ptr<ContractPlatform> MakeContractPlatform();

}  // namespace qob::contract
