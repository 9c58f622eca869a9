// The backup of a removal run on Windows: the keys read with the registry's
// UTF-16 functions (names outside the code page kept), the run's folder
// below the user's local application data.
#pragma once

#include "catalogue/Win32Handles.h"
#include "removal/Backup.h"
#include "removal/KeyTree.h"

#include <memory>
#include <string>

namespace qob {

// Reads key trees with RegOpenKeyExW/RegEnumKeyExW/RegEnumValueW.
class Win32KeyTreeReader final : public KeyTreeReader {
public:
    long Read(const std::string& path, RegistryView view, KeyTree& tree) override;
};

// The run's folder is "<base>\<yyyy-mm-dd hhmmss> <ProgID>", made when the
// first key or file is saved; the base is "<local application data>\Qob
// Tessavin\Backup" unless one is given. It holds
//   keys.reg    every saved key, a complete importable file after each save
//   files\      the saved files, as "<n> <name>"
//   files.txt   one line per saved file: "<n> <name> TAB <original full path>"
//   restored.txt  written by each restore of the folder
//   writing.lock  held shut, and gone, while the run still writes it
class Win32RemovalBackup final : public RemovalBackup {
public:
    explicit Win32RemovalBackup(const std::string& progId, std::wstring baseFolder = {});

    bool SaveKey(const std::string& path, RegistryView view, std::string& reason) override;
    bool SaveValue(const std::string& path, RegistryView view, const std::string& name,
                   std::string& reason) override;
    bool SaveFile(const std::string& path, std::string& reason) override;
    std::string Folder() const override;

private:
    bool MakeFolder(std::string& reason);
    // Reads the key to save into `tree`, its path trimmed of backslashes
    // into `trimmed`; an empty tree when it is not there.
    bool ReadToSave(const std::string& path, RegistryView view, KeyTree& tree, std::string& trimmed,
                    std::string& reason);
    // Appends the tree to keys.reg.
    bool WriteSaved(const KeyTree& tree, const std::string& trimmed, std::string& reason);

    std::wstring progId_;
    std::wstring base_;
    std::wstring folder_;  // empty until made
    KernelHandle writing_;  // the folder's writing.lock, deleted when closed
    int files_ = 0;
    Win32KeyTreeReader reader_;
};

// "<local application data>\Qob Tessavin\Backup", where the runs' folders
// go; empty when the system does not tell that folder.
std::wstring BackupBaseFolder();

// The names of the backup folder's files.
inline const wchar_t* const kBackupKeysFile = L"keys.reg";
inline const wchar_t* const kBackupFilesFolder = L"files";
inline const wchar_t* const kBackupFileList = L"files.txt";
// Left by a restore (BackupList.h).
inline const wchar_t* const kBackupRestoreMark = L"restored.txt";
// Held by the run that writes the folder.
inline const wchar_t* const kBackupWritingLock = L"writing.lock";

// Whether a run (of this program or another) still writes into the folder:
// its lock is there and held.
bool BackupFolderInUse(const std::wstring& folder);

}  // namespace qob
