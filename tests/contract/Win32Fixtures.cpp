#include "catalogue/Win32Platform.h"
#include "removal/Win32Backup.h"
#include "tests/contract/ContractPlatform.h"

#include <windows.h>

#include <stdexcept>

namespace qob::contract {

namespace {

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(::MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size())));
    return wide;
}

void Check(LONG result, const char* what)
{
    if (result != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(result));
}

class Win32Platform final : public ContractPlatform {
public:
    Win32Platform()
    {
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kSandbox);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node\\CLSID\\{0bc0c0de-0000-0000-0000-000000000032}");
        static int counter = 0;
        directory_ = "C:\\qobcontract\\" + std::to_string(::GetCurrentProcessId()) + "_" +
                     std::to_string(++counter) + "\\";
        ::CreateDirectoryA("C:\\qobcontract", nullptr);
        ::CreateDirectoryA(directory_.c_str(), nullptr);
    }

    KeyStore& Store() override { return store_; }
    const NameOrder& Order() override { return order_; }
    FileSystem& Files() override { return files_; }
    KeyTreeReader& Trees() override { return trees_; }

    // Seeding goes through the W functions, which take paths of any length.
    void CreateKey(const std::string& path) override
    {
        HKEY key = nullptr;
        Check(::RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              "RegCreateKeyExW");
        ::RegCloseKey(key);
    }
    void SetValue(const std::string& path, std::uint32_t type, const std::string& bytes) override
    {
        CreateKey(path);
        HKEY key = nullptr;
        Check(::RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(path).c_str(), 0, KEY_ALL_ACCESS, &key), "RegOpenKeyExW");
        // Strings are written with the W function so that the bytes are kept
        // exactly as given, embedded zeros included.
        LONG result;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            const std::wstring wide = Wide(bytes);
            result = ::RegSetValueExW(key, L"", 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                                      static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
        } else {
            result = ::RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()));
        }
        ::RegCloseKey(key);
        Check(result, "RegSetValueEx");
    }
    void SetNamedValue(const std::string& path, const std::u16string& name, std::uint32_t type,
                       const std::string& bytes) override
    {
        CreateKey(path);
        HKEY key = nullptr;
        Check(::RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(path).c_str(), 0, KEY_ALL_ACCESS, &key), "RegOpenKeyExW");
        const std::wstring wideName(name.begin(), name.end());
        const LONG result = ::RegSetValueExW(key, wideName.c_str(), 0, type,
                                             reinterpret_cast<const BYTE*>(bytes.data()),
                                             static_cast<DWORD>(bytes.size()));
        ::RegCloseKey(key);
        Check(result, "RegSetValueExW");
    }
    void CreateKeyWide(const std::string& parent, const std::u16string& name) override
    {
        CreateKey(parent);
        std::wstring path = Wide(parent) + L'\\';
        path.append(name.begin(), name.end());
        HKEY key = nullptr;
        Check(::RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              "RegCreateKeyExW");
        ::RegCloseKey(key);
    }
    void CreateClassKey32(const std::string& classId) override
    {
        HKEY key = nullptr;
        Check(::RegCreateKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + classId).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              "RegCreateKeyExA (32-bit view)");
        ::RegCloseKey(key);
    }
    bool KeyExists(const std::string& path) override
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }

    std::string SandboxDirectory() override { return directory_; }
    void MakeFile(const std::string& path, int year, int month, int day) override
    {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw std::runtime_error("CreateFileA failed: " + path);
        SYSTEMTIME local{};
        local.wYear = static_cast<WORD>(year);
        local.wMonth = static_cast<WORD>(month);
        local.wDay = static_cast<WORD>(day);
        local.wHour = 12;
        FILETIME localTime{};
        FILETIME utc{};
        ::SystemTimeToFileTime(&local, &localTime);
        ::LocalFileTimeToFileTime(&localTime, &utc);
        ::SetFileTime(file, nullptr, nullptr, &utc);
        ::CloseHandle(file);
    }
    void MakeDirectory(const std::string& path) override { ::CreateDirectoryA(path.c_str(), nullptr); }
    void MakeReadOnly(const std::string& path) override { ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }
    void SetVariable(const std::string& name, const std::string& value) override
    {
        ::SetEnvironmentVariableA(name.c_str(), value.c_str());
    }

private:
    Win32KeyStore store_;
    Win32NameOrder order_;
    Win32FileSystem files_;
    Win32KeyTreeReader trees_;
    std::string directory_;
};

}  // namespace

std::unique_ptr<ContractPlatform> MakeContractPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace qob::contract
