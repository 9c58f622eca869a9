#include "catalogue/Win32Platform.h"

#include "catalogue/Win32Handles.h"

#include <windows.h>

#include <cstring>

namespace qob {

namespace {

HKEY ToHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Win32KeyStore::OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out)
{
    HKEY key = nullptr;
    const LONG result = ::RegOpenKeyExA(ToHkey(base), path.c_str(), 0, access, &key);
    out = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(key) : kNoKey;
    return result;
}

long Win32KeyStore::QueryInfoKey(KeyHandle key, KeyInfo& info)
{
    DWORD subkeys = 0;
    DWORD maxName = 0;
    const LONG result = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, &maxName, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr);
    info.subkeyCount = subkeys;
    info.maxSubkeyNameLength = maxName;
    return result;
}

long Win32KeyStore::EnumKey(KeyHandle key, std::uint32_t index, char* buffer, std::uint32_t& size)
{
    DWORD length = size;
    const LONG result = ::RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    size = length;
    return result;
}

long Win32KeyStore::QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, unsigned char* data,
                               std::uint32_t& size)
{
    DWORD valueType = 0;
    DWORD length = size;
    const LONG result = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data, &length);
    type = valueType;
    size = length;
    return result;
}

long Win32KeyStore::DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags)
{
    // RegDeleteKeyA acts on the native view only: on a class key that exists
    // only in the 32-bit view it fails after its subkeys are gone.
    return ::RegDeleteKeyExA(ToHkey(base), path.c_str(), viewFlags & (KEY_WOW64_32KEY | KEY_WOW64_64KEY), 0);
}

long Win32KeyStore::CloseKey(KeyHandle key) { return ::RegCloseKey(ToHkey(key)); }

bool Win32KeyStore::NamesNeedDoubledBuffer() const
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && ::GetSystemMetrics(SM_DBCSENABLED) != 0;
}

int Win32NameOrder::Compare(const std::string& a, const std::string& b) const
{
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

std::optional<FoundFile> Win32FileSystem::FindFirst(const std::string& path) const
{
    WIN32_FIND_DATAA data{};
    FindHandle search(::FindFirstFileA(path.c_str(), &data));
    if (!search.valid())
        return std::nullopt;
    FoundFile found;
    found.name = data.cFileName;
    found.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return found;
}

std::string Win32FileSystem::ExpandEnvironment(const std::string& text) const
{
    // The count returned may be in characters rather than bytes for
    // double-byte text (so it is under Wine): size generously and take the
    // length from the terminator.
    std::string expanded(2 * text.size() + MAX_PATH, '\0');
    for (;;) {
        const DWORD needed =
            ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return text;
        if (needed <= expanded.size()) {
            expanded.resize(std::strlen(expanded.c_str()));
            return expanded;
        }
        expanded.assign(2 * static_cast<std::size_t>(needed), '\0');
    }
}

std::string Win32FileSystem::WindowsDirectory() const
{
    char buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemWindowsDirectoryA(buffer, sizeof buffer);
    std::string directory(buffer, length < sizeof buffer ? length : 0);
    if (!directory.empty() && directory.back() == '\\')
        directory.pop_back();
    return directory;
}

long Win32FileSystem::RemoveFile(const std::string& path)
{
    return ::DeleteFileA(path.c_str()) ? ERROR_SUCCESS : static_cast<long>(::GetLastError());
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
