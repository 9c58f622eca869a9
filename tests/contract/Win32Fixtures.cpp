#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "removal/Win32Backup.h"
#include "tests/contract/ContractPlatform.h"

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <stdexcept>

namespace qob::contract {

namespace {

void Check(LONG result, const char* what)
{
    if (result != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(result));
}

class Win32Platform final : public ContractPlatform {
public:
    Win32Platform()
    {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, WidenText(kSandbox).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                         L"Software\\Classes\\Wow6432Node\\CLSID\\{0bc0c0de-0000-0000-0000-000000000032}");
        static int counter = 0;
        directory_ = "C:\\qobcontract\\" + std::to_string(::GetCurrentProcessId()) + "_" +
                     std::to_string(++counter) + "\\";
        ::CreateDirectoryW(L"C:\\qobcontract", nullptr);
        ::CreateDirectoryW(WidenText(directory_).c_str(), nullptr);
    }

    KeyStore& Store() override { return store_; }
    const NameOrder& Order() override { return order_; }
    FileSystem& Files() override { return files_; }
    KeyTreeReader& Trees() override { return trees_; }

    void CreateKey(const std::string& path) override { CloseCreated(path, 0); }
    void SetValue(const std::string& path, std::uint32_t type, const std::string& bytes) override
    {
        // Strings are written as their UTF-16 text, embedded zeros included.
        if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
            const std::wstring wide = WidenText(bytes);
            SetRaw(path, L"", type, wide.data(), wide.size() * sizeof(wchar_t));
        } else {
            SetRaw(path, L"", type, bytes.data(), bytes.size());
        }
    }
    void SetNamedValue(const std::string& path, const std::u16string& name, std::uint32_t type,
                       const std::string& bytes) override
    {
        SetRaw(path, WideOf(name), type, bytes.data(), bytes.size());
    }
    void CreateClassKey32(const std::string& classId) override { CloseCreated("CLSID\\" + classId, KEY_WOW64_32KEY); }
    bool KeyExists(const std::string& path) override
    {
        RegistryKey key;
        return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, WidenText(path).c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
    }
    long SetOwner(const std::string& path, const std::string& owner) override
    {
        RegistryKey key;
        LONG result = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, WidenText(path).c_str(), 0, WRITE_OWNER, key.Out());
        if (result != ERROR_SUCCESS)
            return result;
        PSID sid = nullptr;
        if (!::ConvertStringSidToSidW(WidenText(owner).c_str(), &sid))
            return static_cast<long>(::GetLastError());
        const std::unique_ptr<void, decltype(&::LocalFree)> held(sid, &::LocalFree);
        SECURITY_DESCRIPTOR descriptor;
        ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorOwner(&descriptor, sid, FALSE);
        return ::RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION, &descriptor);
    }

    std::string SandboxDirectory() override { return directory_; }
    void MakeFile(const std::string& path, int year, int month, int day) override
    {
        KernelHandle file(::CreateFileW(WidenText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid())
            throw std::runtime_error("CreateFileW failed: " + path);
        SYSTEMTIME local{};
        local.wYear = static_cast<WORD>(year);
        local.wMonth = static_cast<WORD>(month);
        local.wDay = static_cast<WORD>(day);
        local.wHour = 12;
        FILETIME localTime{};
        FILETIME utc{};
        ::SystemTimeToFileTime(&local, &localTime);
        ::LocalFileTimeToFileTime(&localTime, &utc);
        ::SetFileTime(file.get(), nullptr, nullptr, &utc);
    }
    void MakeDirectory(const std::string& path) override { ::CreateDirectoryW(WidenText(path).c_str(), nullptr); }
    void MakeReadOnly(const std::string& path) override
    {
        ::SetFileAttributesW(WidenText(path).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void SetVariable(const std::string& name, const std::string& value) override
    {
        ::SetEnvironmentVariableW(WidenText(name).c_str(), WidenText(value).c_str());
    }

private:
    // Seeding goes through the W functions, which take paths of any length.
    void CloseCreated(const std::string& path, REGSAM view)
    {
        RegistryKey key;
        Check(::RegCreateKeyExW(HKEY_CLASSES_ROOT, WidenText(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                nullptr, key.Out(), nullptr),
              "RegCreateKeyExW");
    }
    void SetRaw(const std::string& path, const std::wstring& name, std::uint32_t type, const void* data,
                std::size_t size)
    {
        CloseCreated(path, 0);
        RegistryKey key;
        Check(::RegOpenKeyExW(HKEY_CLASSES_ROOT, WidenText(path).c_str(), 0, KEY_ALL_ACCESS, key.Out()),
              "RegOpenKeyExW");
        Check(::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                               static_cast<DWORD>(size)),
              "RegSetValueExW");
    }

    Win32KeyStore store_;
    Win32NameOrder order_;
    Win32FileSystem files_;
    Win32KeyTreeReader trees_;
    std::string directory_;
};

}  // namespace

std::unique_ptr<ContractPlatform> MakeContractPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace qob::contract
