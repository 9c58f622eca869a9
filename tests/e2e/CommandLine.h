// The command line of a test program as UTF-8 words: the system's code page
// may not hold the texts the tests pass.
#pragma once

#include "catalogue/Win32Text.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace qob::e2e {

inline std::vector<std::string> CommandLineWords()
{
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 0; words && i < count; ++i)
        out.push_back(NarrowText(words[i]));
    ::LocalFree(words);
    return out;
}

}  // namespace qob::e2e
