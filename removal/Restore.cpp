#include "removal/Restore.h"

#include "removal/BackupFormat.h"
#include "removal/BackupList.h"
#include "removal/Win32Backup.h"

#include "catalogue/Utf8.h"
#include "catalogue/Win32Handles.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "texts/Texts.h"

#include <windows.h>

#include <vector>

namespace qob {

namespace {

// Reads the whole file into `bytes`; the file stays open in `file`, shared
// for reading only: no one writes, renames or deletes it until the caller
// lets `file` go.
bool ReadWholeFile(const std::wstring& path, KernelHandle& file, std::string& bytes)
{
    *file.Out() = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
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

// One of the backup's files: not there, there but unreadable (a folder of
// its name too), or read and held open in `held` (a file held there before
// is let go).
BackupFileRead ReadBackupFile(const std::wstring& path, KernelHandle& held)
{
    BackupFileRead file;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        file.state = absent ? BackupFileRead::State::Absent : BackupFileRead::State::Unreadable;
        return file;
    }
    const bool read = !(attributes & FILE_ATTRIBUTE_DIRECTORY) && ReadWholeFile(path, held, file.bytes);
    file.state = read ? BackupFileRead::State::Read : BackupFileRead::State::Unreadable;
    if (!read)
        file.bytes.clear();
    return file;
}

std::wstring TrimmedFolder(const std::wstring& folder)
{
    std::wstring trimmed = folder;
    while (trimmed.size() > 3 && trimmed.back() == L'\\')
        trimmed.pop_back();
    return trimmed;
}

// The check of the folder (RestoreCheck.h). keys.reg and files.txt are held
// open, shared for reading only, from their reading until the check is
// done, and let go when it returns: before anything is put back. The
// restore then works from what was checked, not from the folder: the text
// of keys.reg that was checked is kept in `keysText` and imported from a
// copy of its own (ImportText), and the files to put back are those of the
// plan. The copies below files\ are never held; each is copied back as it
// is when its turn comes.
RestoreVerdict CheckHeld(const std::wstring& folder, RestorePlan& plan, std::u16string& keysText)
{
    KernelHandle heldKeys, heldList;
    const BackupFileRead keys = ReadBackupFile(folder + L'\\' + kBackupKeysFile, heldKeys);
    const BackupFileRead list = ReadBackupFile(folder + L'\\' + kBackupFileList, heldList);
    const RestoreVerdict verdict = CheckBackupFolder(keys, list, plan);
    if (verdict.refusal == RestoreRefusal::None && keys.state == BackupFileRead::State::Read)
        keysText = FromUtf16Le(keys.bytes);
    return verdict;
}

// A file of the temporary folder, deleted when it goes.
class TemporaryFile {
public:
    TemporaryFile()
    {
        wchar_t folder[MAX_PATH + 1] = {};
        wchar_t name[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
        if (length > 0 && length <= MAX_PATH && ::GetTempFileNameW(folder, L"qob", 0, name) != 0)
            path_ = name;
    }
    ~TemporaryFile()
    {
        if (!path_.empty())
            ::DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Writes the bytes as the whole file; ERROR_SUCCESS or the error.
DWORD WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return ::GetLastError();
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return ::GetLastError();
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_DISK_FULL;
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

// Opens for reading a key named as a .reg key line names it.
bool OpenNamedKey(const std::wstring& name, RegistryKey& key)
{
    static const std::pair<const wchar_t*, HKEY> kRoots[] = {{L"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
                                                             {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
                                                             {L"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE}};
    for (const auto& [prefix, root] : kRoots) {
        const int length = static_cast<int>(std::wcslen(prefix));
        if (name.size() < static_cast<std::size_t>(length) ||
            ::CompareStringOrdinal(name.c_str(), length, prefix, length, TRUE) != CSTR_EQUAL)
            continue;
        return ::RegOpenKeyExW(root, name.substr(length).c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
    }
    return false;
}

// The registry as it is now, for the comparison with the saved keys.
class Win32RegistryPresence : public RegistryPresence {
public:
    bool KeyExists(const std::u16string& name) const override
    {
        RegistryKey key;
        return OpenNamedKey(WideOf(name), key);
    }
    bool ValueExists(const std::u16string& name, const std::u16string& value) const override
    {
        RegistryKey key;
        return OpenNamedKey(WideOf(name), key) &&
               ::RegQueryValueExW(key.get(), WideOf(value).c_str(), nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
    }
};

// `reg import` of the text from a file of the temporary folder, shut to
// writers until the import is over: the importer's status, or the error
// that kept it from running (negative).
long ImportText(const std::u16string& text)
{
    TemporaryFile copy;
    if (copy.Path().empty())
        return -static_cast<long>(::GetLastError());
    const DWORD error = WriteWholeFile(copy.Path(), "\xFF\xFE" + ToUtf16Le(text));
    if (error != ERROR_SUCCESS)
        return -static_cast<long>(error);
    KernelHandle shut(::CreateFileW(copy.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!shut.valid())
        return -static_cast<long>(::GetLastError());
    return ImportRegFile(copy.Path());
}

// The line for one saved top key after the import, and whether everything
// of it that had gone is back.
bool TopKeyLine(const MissingBelowTop& before, const MissingBelowTop& after, bool imported, const LineWriter& out)
{
    const std::string key = Utf8FromUtf16(before.key);
    if (!before.there) {
        const bool back = imported && after.there;
        out(Text(back ? TextId::RestoreKeyRestored : TextId::RestoreKeyNotRestored, {key}));
        return back;
    }
    if (before.NothingMissing()) {
        out(Text(TextId::RestoreFileExists, {key}));
        return false;
    }
    const bool back = imported && after.there && after.NothingMissing();
    if (back) {
        out(Text(TextId::RestoreKeyPartsRestored,
                 {key, std::to_string(before.missingKeys), std::to_string(before.missingValues)}));
    } else {
        out(Text(TextId::RestoreKeyNotRestored, {key}));
    }
    return back;
}

// Imports what the checked text holds that is not there: the keys that are
// not there, and below a key that is, its keys and values that are not.
// Nothing that is there is overwritten. One line per saved top key; false
// when one was not restored or was there whole. `restored` counts the top
// keys something was put back for.
bool RestoreKeys(const std::wstring& regFile, const std::u16string& keysText, const LineWriter& out,
                 const LineWriter& err, int& restored)
{
    const Win32RegistryPresence registry;
    const MissingParts before = FindMissingParts(keysText, registry);
    const long status = before.importText.empty() ? 0 : ImportText(before.importText);
    if (status != 0)
        err(Text(status < 0 ? TextId::RestoreRegNotStarted : TextId::RestoreRegImportFailed, {NarrowText(regFile)}));
    const MissingParts after = FindMissingParts(keysText, registry);
    bool complete = true;
    for (std::size_t i = 0; i < before.tops.size() && i < after.tops.size(); ++i) {
        const bool back = TopKeyLine(before.tops[i], after.tops[i], status == 0, out);
        complete = complete && back;
        restored += back ? 1 : 0;
    }
    return complete;
}

// Leaves the restore's mark in the folder; tells `err` when it cannot. A
// restore that put nothing back keeps the mark of an earlier one: a second
// restore that finds everything there again does not make a restored
// folder look partly restored.
void MarkRestored(const std::wstring& folder, bool complete, int restored, const LineWriter& err)
{
    const std::wstring path = folder + L'\\' + kBackupRestoreMark;
    if (restored == 0 && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::string mark =
        RestoreMarkText(complete, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
    const DWORD error = WriteWholeFile(path, mark);
    if (error != ERROR_SUCCESS)
        err(Text(TextId::RestoreMarkNotWritten, {NarrowText(path), SystemErrorText(error)}));
}

}  // namespace

RestoreVerdict CheckBackup(const std::wstring& folder, RestorePlan& plan)
{
    std::u16string keysText;
    return CheckHeld(TrimmedFolder(folder), plan, keysText);
}

int RestoreBackup(const std::wstring& folderGiven, const LineWriter& out, const LineWriter& err, RestorePlan* checked)
{
    const std::wstring folder = TrimmedFolder(folderGiven);
    // Nothing is changed unless the whole folder passes.
    RestorePlan plan;
    std::u16string keysText;
    const RestoreVerdict verdict = CheckHeld(folder, plan, keysText);
    if (verdict.refusal != RestoreRefusal::None) {
        err(RestoreRefusalText(verdict, NarrowText(folder)));
        return 1;
    }
    int restored = 0;
    bool complete =
        !plan.hasKeys || RestoreKeys(folder + L'\\' + kBackupKeysFile, keysText, out, err, restored);
    for (const auto& [copyName, original] : plan.files) {
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
            ++restored;
            out(Text(TextId::RestoreFileRestored, {NarrowText(target)}));
        } else {
            complete = false;
            out(Text(TextId::RestoreFileNotRestored, {SystemErrorText(error), NarrowText(target)}));
        }
    }
    MarkRestored(folder, complete, restored, err);
    if (checked)
        *checked = std::move(plan);
    return complete ? 0 : 1;
}

std::vector<BackupFolderFiles> ReadBackupFolders(const std::wstring& base)
{
    std::vector<BackupFolderFiles> folders;
    WIN32_FIND_DATAW found{};
    FindHandle search(::FindFirstFileW((TrimmedFolder(base) + L"\\*").c_str(), &found));
    if (!search.valid())
        return folders;
    do {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..")
            continue;
        const std::wstring folder = TrimmedFolder(base) + L'\\' + name;
        BackupFolderFiles files;
        files.name = U16Of(name);
        // Each file is held from its reading until the next one is read, the
        // last until the folder is done.
        KernelHandle held;
        files.keys = ReadBackupFile(folder + L'\\' + kBackupKeysFile, held);
        files.fileList = ReadBackupFile(folder + L'\\' + kBackupFileList, held);
        files.mark = ReadBackupFile(folder + L'\\' + kBackupRestoreMark, held);
        files.inUse = BackupFolderInUse(folder);
        folders.push_back(std::move(files));
    } while (::FindNextFileW(search.get(), &found));
    return folders;
}

}  // namespace qob
