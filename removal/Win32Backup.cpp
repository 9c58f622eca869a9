#include "removal/Win32Backup.h"

#include "removal/BackupFormat.h"
#include "removal/ValueDeletion.h"

#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace qob {

namespace {

// The name the system gives an open key ("\REGISTRY\MACHINE\..."), empty
// when it does not tell.
std::u16string SystemKeyName(HKEY key)
{
    using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    if (!query)
        return {};
    constexpr int kKeyNameInformation = 3;
    std::vector<ULONG> buffer(1024);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(key, kKeyNameInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &needed);
        if (status == 0) {
            const ULONG bytes = buffer[0];
            const auto* name = reinterpret_cast<const char16_t*>(&buffer[1]);
            return std::u16string(name, name + bytes / 2);
        }
        if (needed <= buffer.size() * sizeof(ULONG))
            return {};
        buffer.resize(needed / sizeof(ULONG) + 1);
    }
    return {};
}

// What RegQueryInfoKeyW tells of a key before its enumerations. The counts
// save the enumerations' closing calls (every call is a round trip to the
// registry's server); one that ends earlier ends the list.
struct KeyMeasure {
    DWORD subkeyCount = 0, maxSubkeyLength = 0, valueCount = 0, maxNameLength = 0, maxDataSize = 0;
};

long MeasureKey(HKEY key, KeyMeasure& measure)
{
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &measure.subkeyCount, &measure.maxSubkeyLength,
                              nullptr, &measure.valueCount, &measure.maxNameLength, &measure.maxDataSize, nullptr,
                              nullptr);
}

// Reads the open key's values into `saved`.
long ReadValues(HKEY key, const KeyMeasure& measure, SavedKey& saved)
{
    std::wstring name(measure.maxNameLength + 1, L'\0');
    std::string data(measure.maxDataSize, '\0');
    for (DWORD index = 0; index < measure.valueCount;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_MORE_DATA) {
            // A value grew since the key was measured.
            name.resize(name.size() < 16384 ? 16384 : name.size() * 2);
            data.resize(dataSize > data.size() ? dataSize : data.size() * 2 + 64);
            continue;
        }
        if (result != ERROR_SUCCESS)
            return result;
        saved.values.push_back({std::u16string(name.begin(), name.begin() + nameLength), type,
                                data.substr(0, dataSize)});
        ++index;
    }
    return ERROR_SUCCESS;
}

// Lists the open key's subkey names into `subkeys`.
long ReadSubkeyNames(HKEY key, const KeyMeasure& measure, std::vector<std::wstring>& subkeys)
{
    std::wstring subkey(measure.maxSubkeyLength + 1, L'\0');
    for (DWORD index = 0; index < measure.subkeyCount;) {
        DWORD length = static_cast<DWORD>(subkey.size());
        const LONG result = ::RegEnumKeyExW(key, index, subkey.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_MORE_DATA) {
            subkey.resize(subkey.size() * 2 + 256);
            continue;
        }
        if (result != ERROR_SUCCESS)
            return result;
        subkeys.emplace_back(subkey.data(), length);
        ++index;
    }
    return ERROR_SUCCESS;
}

// Reads the open key's values and subkeys into `keys`, the key itself as
// `path`, its subkeys after it.
long ReadKey(HKEY key, const std::u16string& path, REGSAM access, std::vector<SavedKey>& keys)
{
    KeyMeasure measure;
    LONG result = MeasureKey(key, measure);
    if (result != ERROR_SUCCESS)
        return result;

    SavedKey saved;
    saved.path = path;
    result = ReadValues(key, measure, saved);
    if (result != ERROR_SUCCESS)
        return result;
    keys.push_back(std::move(saved));

    std::vector<std::wstring> subkeys;
    result = ReadSubkeyNames(key, measure, subkeys);
    if (result != ERROR_SUCCESS)
        return result;
    for (const std::wstring& child : subkeys) {
        RegistryKey opened;
        result = ::RegOpenKeyExW(key, child.c_str(), 0, access, opened.Out());
        if (result == ERROR_FILE_NOT_FOUND)
            continue;  // gone since it was listed: nothing to keep
        if (result != ERROR_SUCCESS)
            return result;
        result = ReadKey(opened.get(), path + u'\\' + U16Of(child), access, keys);
        if (result != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

// Adds the bytes at the end of the file, with `header` first when the file is
// new or empty. On failure the file is cut back to what it held before.
DWORD AppendToFile(const std::wstring& path, const std::string& header, const std::string& bytes)
{
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return ::GetLastError();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || !::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN))
        return ::GetLastError();
    const std::string data = size.QuadPart == 0 ? header + bytes : bytes;
    DWORD written = 0;
    DWORD error = ERROR_SUCCESS;
    if (!::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr))
        error = ::GetLastError();
    else if (written != data.size())
        error = ERROR_DISK_FULL;
    else if (!::FlushFileBuffers(file.get()))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        ::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file.get());
    }
    return error;
}

std::string Utf16File(const std::u16string& text) { return "\xFF\xFE" + ToUtf16Le(text); }

// Writes a copied file's data through to the disk: the original is deleted
// right after, and a power cut then must still leave the copy whole.
// A copy of a read-only file is read-only too: it is opened for writing
// with the attribute taken off for that while.
DWORD FlushCopy(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ::GetLastError();
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return ::GetLastError();
    DWORD error = ERROR_SUCCESS;
    {
        KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid())
            error = ::GetLastError();
        else if (!::FlushFileBuffers(file.get()))
            error = ::GetLastError();
    }
    if (readOnly)
        ::SetFileAttributesW(path.c_str(), attributes);
    return error;
}

}  // namespace

std::wstring BackupBaseFolder()
{
    wchar_t localData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, localData)))
        return {};
    return std::wstring(localData) + L"\\Qob Tessavin\\Backup";
}

long Win32KeyTreeReader::Read(const std::string& path, RegistryView view, KeyTree& tree)
{
    tree = KeyTree();
    std::wstring wide = WidenText(path);
    while (!wide.empty() && wide.front() == L'\\')
        wide.erase(0, 1);
    while (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    const REGSAM access = KEY_READ | (view == RegistryView::Wow64_32 ? KEY_WOW64_32KEY : 0);
    RegistryKey key;
    const LONG result = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, wide.c_str(), 0, access, key.Out());
    if (result != ERROR_SUCCESS)
        return result;
    tree.location = KeyLocation(SystemKeyName(key.get()), U16Of(wide), view);
    const long read = ReadKey(key.get(), u"", access, tree.keys);
    if (read != ERROR_SUCCESS)
        tree.keys.clear();
    return read;
}

Win32RemovalBackup::Win32RemovalBackup(const std::string& progId, std::wstring baseFolder)
    : progId_(WidenText(progId)), base_(std::move(baseFolder))
{
    while (!base_.empty() && base_.back() == L'\\')
        base_.pop_back();
}

std::string Win32RemovalBackup::Folder() const { return NarrowText(folder_); }

bool Win32RemovalBackup::MakeFolder(std::string& reason)
{
    if (!folder_.empty())
        return true;
    if (base_.empty()) {
        base_ = BackupBaseFolder();
        if (base_.empty()) {
            reason = Text(TextId::BackupNoLocalAppData);
            return false;
        }
    }
    DWORD error = MakeFolders(base_);
    if (error != ERROR_SUCCESS) {
        reason = Text(TextId::BackupBaseFolderFailed, {NarrowText(base_), SystemErrorText(error)});
        return false;
    }
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::wstring name =
        WideOf(BackupFolderName({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, U16Of(progId_)));
    // A second run in the same second gets a folder of its own.
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::wstring folder =
            base_ + L'\\' + name + (attempt == 1 ? std::wstring() : L" (" + std::to_wstring(attempt) + L")");
        if (::CreateDirectoryW(folder.c_str(), nullptr)) {
            folder_ = folder;
            // Held shut for the run, and deleted by the system when the run
            // ends in any way: the undo window offers no folder that is
            // still being written. A lock that cannot be made only leaves
            // the folder unmarked.
            *writing_.Out() = ::CreateFileW((folder + L'\\' + kBackupWritingLock).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            return true;
        }
        error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS)
            break;
    }
    reason = Text(TextId::BackupRunFolderFailed, {NarrowText(base_), SystemErrorText(error)});
    return false;
}

bool Win32RemovalBackup::ReadToSave(const std::string& path, RegistryView view, KeyTree& tree, std::string& trimmed,
                                    std::string& reason)
{
    trimmed = path;
    while (!trimmed.empty() && trimmed.front() == '\\')
        trimmed.erase(0, 1);
    if (trimmed.empty()) {
        reason = Text(TextId::BackupWholeRoot);
        return false;
    }
    const long read = reader_.Read(trimmed, view, tree);
    if (read == ERROR_FILE_NOT_FOUND) {
        tree = KeyTree();
        return true;
    }
    if (read != ERROR_SUCCESS) {
        reason = Text(TextId::BackupKeyUnreadable, {trimmed, SystemErrorText(read)});
        return false;
    }
    return true;
}

bool Win32RemovalBackup::WriteSaved(const KeyTree& tree, const std::string& trimmed, std::string& reason)
{
    std::u16string text;
    std::u16string badName;
    if (!AppendRegKeys(tree, text, badName)) {
        reason = Text(TextId::BackupKeyNameWithLineBreak, {trimmed});
        return false;
    }
    if (!MakeFolder(reason))
        return false;
    const DWORD error = AppendToFile(folder_ + L'\\' + kBackupKeysFile, Utf16File(RegFileHeader()), ToUtf16Le(text));
    if (error != ERROR_SUCCESS) {
        reason = Text(TextId::BackupKeyNotWritten, {trimmed, SystemErrorText(error)});
        return false;
    }
    return true;
}

bool Win32RemovalBackup::SaveKey(const std::string& path, RegistryView view, std::string& reason)
{
    KeyTree tree;
    std::string trimmed;
    if (!ReadToSave(path, view, tree, trimmed, reason))
        return false;
    return tree.keys.empty() || WriteSaved(tree, trimmed, reason);
}

bool Win32RemovalBackup::SaveValue(const std::string& path, RegistryView view, const std::string& name,
                                   std::string& reason)
{
    KeyTree tree;
    std::string trimmed;
    if (!ReadToSave(path, view, tree, trimmed, reason))
        return false;
    const KeyTree one = WithOneValue(tree, U16Of(WidenText(name)));
    return one.keys.empty() || WriteSaved(one, trimmed, reason);
}

bool Win32RemovalBackup::SaveFile(const std::string& path, std::string& reason)
{
    const std::wstring given = WidenText(path);
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    full.resize(length < full.size() ? length : 0);
    const DWORD attributes = full.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = full.empty() ? ERROR_INVALID_NAME : ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
            error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME)
            return true;  // nothing there to lose
        reason = Text(TextId::BackupFileUnreadable, {path, SystemErrorText(error)});
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return true;  // a folder is never deleted as a file
    if (!MakeFolder(reason))
        return false;
    const std::wstring copies = folder_ + L'\\' + kBackupFilesFolder;
    DWORD error = MakeFolders(copies);
    const std::wstring name = full.substr(full.find_last_of(L'\\') + 1);
    const std::wstring copyName = std::to_wstring(files_ + 1) + L' ' + name;
    const std::wstring copy = copies + L'\\' + copyName;
    if (error == ERROR_SUCCESS && !::CopyFileW(full.c_str(), copy.c_str(), TRUE))
        error = ::GetLastError();
    if (error == ERROR_SUCCESS)
        error = FlushCopy(copy);
    if (error == ERROR_SUCCESS)
        error = AppendToFile(folder_ + L'\\' + kBackupFileList, "\xFF\xFE",
                             ToUtf16Le(ManifestLine(U16Of(copyName), U16Of(full))));
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(copy.c_str());
        reason = Text(TextId::BackupFileNotCopied, {path, SystemErrorText(error)});
        return false;
    }
    ++files_;
    return true;
}

bool BackupFolderInUse(const std::wstring& folder)
{
    KernelHandle lock(::CreateFileW((folder + L'\\' + kBackupWritingLock).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (lock.valid())
        return false;  // left behind, held by no one
    // Held shut by its run; or its deletion is pending as the run closes it.
    const DWORD error = ::GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace qob
