// The list of backup folders that the undo window shows: one row per
// folder, from its name ("yyyy-mm-dd hhmmss ProgID"), its files and the
// mark a restore leaves in it. Pure functions over the files' bytes, no
// platform calls.
#pragma once

#include "removal/BackupFormat.h"
#include "removal/RestoreCheck.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qob {

// The mark a restore writes into the folder (ASCII, one line): complete
// when the restore put back everything, partly when its status was 1.
std::string RestoreMarkText(bool complete, const LocalTime& when);

// A backup folder as the caller found it.
struct BackupFolderFiles {
    std::u16string name;  // the folder's own name, without its parent
    BackupFileRead keys;      // keys.reg
    BackupFileRead fileList;  // files.txt
    BackupFileRead mark;      // the restore's mark
    bool inUse = false;       // a run still writes into it
};

enum class BackupState { NotRestored, Restored, PartlyRestored, Damaged, InUse };

struct BackupRow {
    std::u16string folder;  // the folder's name
    std::string when;       // "yyyy-mm-dd hh:mm:ss" from the name; empty when it does not start so
    std::string key;        // the first saved key below its class root, "(+N)" for the others
    std::size_t keys = 0;   // the saved keys
    std::size_t files = 0;  // the saved files
    BackupState state = BackupState::NotRestored;
    std::string restoredOn;  // the date of the mark
    std::string damage;      // why a Damaged folder cannot be restored
};

// One folder's row: InUse while a run still writes into it (it is neither
// restored nor deleted then), Damaged when the restore's check refuses it
// (whatever its mark says), else as its mark tells.
BackupRow DescribeBackupFolder(const BackupFolderFiles& folder);

// The rows of the folders, newest first; folders whose names do not start
// with a time come last.
std::vector<BackupRow> BackupRows(const std::vector<BackupFolderFiles>& folders);

// The state column, in the selected language.
std::string BackupStateText(const BackupRow& row);

}  // namespace qob
