#include "catalogue/Win32Platform.h"

#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Text.h"

#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <memory>
#include <vector>

namespace qob {

namespace {

HKEY ToHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

// Frees what the system allocated with LocalAlloc for the caller.
struct LocalMemoryFree {
    void operator()(void* memory) const { ::LocalFree(memory); }
};

}  // namespace

long Win32KeyStore::OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out)
{
    HKEY key = nullptr;
    const LONG result = ::RegOpenKeyExW(ToHkey(base), WidenText(path).c_str(), 0, access, &key);
    out = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(key) : kNoKey;
    return result;
}

long Win32KeyStore::QueryInfoKey(KeyHandle key, std::uint32_t& subkeyCount)
{
    DWORD subkeys = 0;
    const LONG result = ::RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr);
    subkeyCount = subkeys;
    return result;
}

long Win32KeyStore::EnumKey(KeyHandle key, std::uint32_t index, std::string& name)
{
    // A key's name has at most 255 characters (256 under Wine); the limit of
    // a value's name is the most any name could need.
    std::wstring buffer;
    LONG result = ERROR_MORE_DATA;
    DWORD length = 0;
    for (DWORD size : {257ul, 16384ul}) {
        buffer.resize(size);
        length = size;
        result = ::RegEnumKeyExW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_MORE_DATA)
            break;
    }
    buffer.resize(result == ERROR_SUCCESS ? length : 0);
    name = NarrowText(buffer);
    return result;
}

long Win32KeyStore::QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data)
{
    const std::wstring wideName = WidenText(name);
    // Most values fit a small buffer: one call reads them. A larger one is
    // read again into a buffer of the size the registry reports, for as long
    // as the value keeps growing between the calls (a few times at most).
    std::string bytes(512, '\0');
    DWORD valueType = 0;
    LONG result = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 3 && result == ERROR_MORE_DATA; ++attempt) {
        DWORD size = static_cast<DWORD>(bytes.size());
        result = ::RegQueryValueExW(ToHkey(key), wideName.c_str(), nullptr, &valueType,
                                    reinterpret_cast<BYTE*>(bytes.data()), &size);
        bytes.resize(size);
    }
    type = result == ERROR_SUCCESS ? valueType : 0;
    data.clear();
    if (result != ERROR_SUCCESS)
        return result;
    if (valueType == REG_SZ || valueType == REG_EXPAND_SZ || valueType == REG_MULTI_SZ) {
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
        data = NarrowText(text);
    } else {
        data = std::move(bytes);
    }
    return result;
}

long Win32KeyStore::DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags)
{
    // RegDeleteKeyW acts on the native view only: on a class key that exists
    // only in the 32-bit view it fails after its subkeys are gone.
    return ::RegDeleteKeyExW(ToHkey(base), WidenText(path).c_str(), viewFlags & (KEY_WOW64_32KEY | KEY_WOW64_64KEY),
                             0);
}

long Win32KeyStore::DeleteValue(KeyHandle key, const std::string& name)
{
    return ::RegDeleteValueW(ToHkey(key), WidenText(name).c_str());
}

long Win32KeyStore::CloseKey(KeyHandle key) { return ::RegCloseKey(ToHkey(key)); }

long Win32KeyStore::QueryOwner(KeyHandle key, std::string& owner)
{
    owner.clear();
    // The first call asks for the size of the owner's part of the security
    // descriptor, the second reads it.
    DWORD size = 0;
    LONG result = ::RegGetKeySecurity(ToHkey(key), OWNER_SECURITY_INFORMATION, nullptr, &size);
    if (result != ERROR_INSUFFICIENT_BUFFER)
        return result == ERROR_SUCCESS ? ERROR_INVALID_DATA : result;
    std::vector<BYTE> descriptor(size);
    result = ::RegGetKeySecurity(ToHkey(key), OWNER_SECURITY_INFORMATION, descriptor.data(), &size);
    if (result != ERROR_SUCCESS)
        return result;
    PSID sid = nullptr;
    BOOL defaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(descriptor.data(), &sid, &defaulted))
        return static_cast<long>(::GetLastError());
    if (!sid)
        return ERROR_INVALID_DATA;  // a descriptor without an owner
    LPWSTR converted = nullptr;
    if (!::ConvertSidToStringSidW(sid, &converted))
        return static_cast<long>(::GetLastError());
    const std::unique_ptr<wchar_t, LocalMemoryFree> text(converted);
    owner = NarrowText(text.get());
    return ERROR_SUCCESS;
}

int Win32NameOrder::Compare(const std::string& a, const std::string& b) const
{
    static constexpr LCID kJapanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
    const std::wstring wideA = WidenText(a);
    const std::wstring wideB = WidenText(b);
    return ::CompareStringW(kJapanese, NORM_IGNORECASE, wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                            static_cast<int>(wideB.size())) -
           CSTR_EQUAL;
}

FileSearch Win32FileSystem::FindFirst(const std::string& path) const
{
    WIN32_FIND_DATAW data{};
    FindHandle search(::FindFirstFileW(WidenText(path).c_str(), &data));
    if (!search.valid())
        return {std::nullopt, static_cast<long>(::GetLastError())};
    FoundFile found;
    found.name = NarrowText(data.cFileName);
    found.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return {found, 0};
}

std::string Win32FileSystem::ExpandEnvironment(const std::string& text) const
{
    const std::wstring wide = WidenText(text);
    std::wstring expanded(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        // The count includes the terminator.
        const DWORD needed =
            ::ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return text;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);
            return NarrowText(expanded);
        }
        expanded.assign(needed, L'\0');
    }
}

std::string Win32FileSystem::WindowsDirectory() const
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemWindowsDirectoryW(buffer, MAX_PATH + 1);
    std::string directory = NarrowText(std::wstring(buffer, length <= MAX_PATH ? length : 0));
    if (!directory.empty() && directory.back() == '\\')
        directory.pop_back();
    return directory;
}

long Win32FileSystem::RemoveFile(const std::string& path)
{
    return ::DeleteFileW(WidenText(path).c_str()) ? ERROR_SUCCESS : static_cast<long>(::GetLastError());
}

namespace {

// Where the folders that MakeFolders may make begin: after "C:\" of a drive
// path, after "\\server\share\" of a network path (neither the server nor
// the share is a folder to make). npos for a share itself.
std::size_t FirstMadeFolder(const std::wstring& folder)
{
    if (folder.compare(0, 2, L"\\\\") != 0)
        return 3;
    const std::size_t server = folder.find(L'\\', 2);
    const std::size_t share = server == std::wstring::npos ? server : folder.find(L'\\', server + 1);
    return share == std::wstring::npos || share + 1 >= folder.size() ? std::wstring::npos : share + 1;
}

}  // namespace

unsigned long MakeFolders(const std::wstring& folder)
{
    const std::size_t first = FirstMadeFolder(folder);
    if (first == std::wstring::npos) {
        // A share is there to be used, never made.
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return ::GetLastError();
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
    }
    for (std::size_t pos = folder.find(L'\\', first);; pos = folder.find(L'\\', pos + 1)) {
        const std::wstring part = folder.substr(0, pos);
        if (!part.empty() && part.back() != L':' && !::CreateDirectoryW(part.c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            const DWORD attributes = ::GetFileAttributesW(part.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                return error;
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return ERROR_ALREADY_EXISTS;  // a file of that name is in the way
        }
        if (pos == std::wstring::npos)
            return ERROR_SUCCESS;
    }
}

long long MonotonicMicroseconds()
{
    static const long long frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<long long>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart / frequency * 1000000 + t.QuadPart % frequency * 1000000 / frequency;
}

}  // namespace qob
