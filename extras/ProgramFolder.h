// Where the files that ship beside the program are looked for.
#pragma once

#include <string>
#include <string_view>

namespace qob {

// The directory part of a path: everything up to and including the last "\"
// or ":"; empty when there is none.
std::string DirectoryPart(std::string_view path);

// The tutorial page beside the program file.
inline std::string TutorialPagePath(std::string_view programPath)
{
    return DirectoryPart(programPath) + "tutor.htm";
}

}  // namespace qob
