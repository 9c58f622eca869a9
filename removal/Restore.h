// Puts a removal's backup back: `QobTessavinScan.exe --restore <folder>`.
#pragma once

#include "removal/BackupList.h"
#include "removal/RestoreCheck.h"

#include <functional>
#include <string>
#include <vector>

namespace qob {

// Takes one line of text (UTF-8, without its line end).
using LineWriter = std::function<void(const std::string& line)>;

// Reads the folder's keys.reg and files.txt and checks them as a restore
// does before it changes anything (RestoreCheck.h); RestoreRefusalText gives
// the reason of a refusal. Changes nothing.
RestoreVerdict CheckBackup(const std::wstring& folder, RestorePlan& plan);

// Checks the whole folder first: a folder refused is not restored at all,
// and the reason goes to `err` (1). Then imports what is missing of the
// saved keys with the system's `reg import`: the keys that are not there,
// and below a key that is there its keys and values that are not (nothing
// that is there is overwritten; FindMissingParts), and copies the saved
// files back to their original paths (making missing folders, never
// overwriting a file that is there again). Gives one line per saved top key
// and file to `out`, and what keeps it from starting
// to `err`. Then leaves its mark in the folder (kBackupRestoreMark): restored,
// or partly restored when the status is 1. 0 when everything was restored,
// 1 when something was not. `checked`, when given, receives what the folder
// that passed holds.
int RestoreBackup(const std::wstring& folder, const LineWriter& out, const LineWriter& err,
                  RestorePlan* checked = nullptr);

// The folders below `base` (BackupBaseFolder()) as the backup list reads
// them: each one's name, keys.reg, files.txt and restore mark.
std::vector<BackupFolderFiles> ReadBackupFolders(const std::wstring& base);

}  // namespace qob
