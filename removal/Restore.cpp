#include "removal/Restore.h"

#include "removal/BackupFormat.h"
#include "removal/Win32Backup.h"

#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

#include <windows.h>

#include <vector>

namespace qob {

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size))
        return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    return bytes.empty() || (::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

// `reg import FILE` as a child process, its own output discarded; its exit
// status, or the error that kept it from running (negative).
long ImportRegFile(const std::wstring& file)
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\reg.exe";
    std::wstring command = L"\"" + program + L"\" import \"" + file + L"\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    KernelHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return -static_cast<long>(::GetLastError());
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(process.hProcess, &status);
    return static_cast<long>(status);
}

// Whether a key named as a .reg key line names it exists.
bool KeyExists(const std::wstring& name)
{
    static const std::pair<const wchar_t*, HKEY> kRoots[] = {{L"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
                                                             {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
                                                             {L"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE}};
    for (const auto& [prefix, root] : kRoots) {
        const std::size_t length = std::wcslen(prefix);
        if (name.compare(0, length, prefix) != 0)
            continue;
        RegistryKey key;
        return ::RegOpenKeyExW(root, name.substr(length).c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
    }
    return false;
}

}  // namespace

int RestoreBackup(const std::wstring& folderGiven, const LineWriter& out, const LineWriter& err)
{
    std::wstring folder = folderGiven;
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    const std::wstring regFile = folder + L'\\' + kBackupKeysFile;
    const std::wstring listFile = folder + L'\\' + kBackupFileList;
    std::string regBytes;
    std::string listBytes;
    const bool hasKeys = ReadWholeFile(regFile, regBytes);
    const bool hasFiles = ReadWholeFile(listFile, listBytes);
    if (!hasKeys && !hasFiles) {
        err(Text(TextId::RestoreNoBackup, {NarrowText(folder)}));
        return 1;
    }
    bool complete = true;
    if (hasKeys) {
        const long status = ImportRegFile(regFile);
        if (status != 0) {
            complete = false;
            const TextId failure = status < 0 ? TextId::RestoreRegNotStarted : TextId::RestoreRegImportFailed;
            err(Text(failure, {NarrowText(regFile)}));
        }
        for (const std::u16string& key : RegFileTopKeys(FromUtf16Le(regBytes))) {
            const bool restored = status == 0 && KeyExists(WideOf(key));
            complete = complete && restored;
            out(Text(restored ? TextId::RestoreKeyRestored : TextId::RestoreKeyNotRestored, {NarrowText(WideOf(key))}));
        }
    }
    for (const auto& [copyName, original] : ParseManifest(FromUtf16Le(listBytes))) {
        const std::wstring target = WideOf(original);
        if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
            complete = false;
            out(Text(TextId::RestoreFileExists, {NarrowText(target)}));
            continue;
        }
        const std::wstring copy = folder + L'\\' + kBackupFilesFolder + L'\\' + WideOf(copyName);
        const std::size_t slash = target.find_last_of(L'\\');
        DWORD error = slash == std::wstring::npos ? ERROR_SUCCESS : MakeFolders(target.substr(0, slash));
        if (error == ERROR_SUCCESS && !::CopyFileW(copy.c_str(), target.c_str(), TRUE))
            error = ::GetLastError();
        if (error == ERROR_SUCCESS) {
            out(Text(TextId::RestoreFileRestored, {NarrowText(target)}));
        } else {
            complete = false;
            out(Text(TextId::RestoreFileNotRestored, {SystemErrorText(error), NarrowText(target)}));
        }
    }
    return complete ? 0 : 1;
}

}  // namespace qob
