// The benchmarks' clean-up of the folders they write into.
#pragma once

#include "catalogue/Win32Handles.h"

#include <windows.h>

#include <string>

namespace qob::bench {

// Deletes the folder with everything in it; what cannot be deleted stays.
inline void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    if (FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &found)); search.valid()) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + L'\\' + name);
            else
                ::DeleteFileW((folder + L'\\' + name).c_str());
        } while (::FindNextFileW(search.get(), &found));
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace qob::bench
