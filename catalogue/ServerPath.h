// The server path check: is the file that a class's server path names there?
#pragma once

#include "catalogue/Platform.h"

#include <string>

namespace qob {

// The server path reduced to the text handed to the file search: surrounding
// quotes dropped, then cut after the space of " /", " -" and " &".
std::string NormaliseServerPath(const std::string& serverPath);

class ServerPathCheck {
public:
    explicit ServerPathCheck(const FileSystem& files) : files_(files) {}
    // True when the server is taken to be present.
    bool ServerPathExists(const std::string& serverPath) const;
    // The file existence test of a path.
    bool FileExists(const std::string& path) const;

private:
    const FileSystem& files_;
};

}  // namespace qob
