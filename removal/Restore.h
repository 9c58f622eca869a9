// Puts a removal's backup back: `QobTessavinScan.exe --restore <folder>`.
#pragma once

#include <cstdio>
#include <string>

namespace qob {

// Imports the folder's keys.reg with the system's `reg import` and copies
// its saved files back to their original paths (making missing folders,
// never overwriting a file that is there again). Writes one line per key and
// file to `out` in the system code page. 0 when everything was restored, 1
// when something was not.
int RestoreBackup(const std::wstring& folder, std::FILE* out, std::FILE* err);

}  // namespace qob
