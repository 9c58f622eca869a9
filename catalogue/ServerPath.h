// The server path check: is the file that a class's server path names there?
//
// A server path is often a command line rather than a file name: quoted,
// followed by switches, or holding environment-variable references. The
// check works out which texts may name the file and looks for each; the tree
// and the removal keep using the server path exactly as read.
#pragma once

#include "catalogue/Platform.h"
#include "catalogue/RegistryView.h"

#include <string>
#include <vector>

namespace qob {

// The texts that may name the server file, in the order they are tried:
// - a path that starts with a double quote and has a closing one: the
//   quoted part, whatever follows it;
// - otherwise the whole text as it stands, then the text before each
//   " /", " -" or " &" (a switch after the file name), from the last such
//   cut to the first.
// Texts are returned unexpanded.
std::vector<std::string> NormaliseServerPath(const std::string& serverPath);

// True when the text holds a backslash.
bool HasDirectoryPart(const std::string& path);

class ServerPathCheck {
public:
    explicit ServerPathCheck(const FileSystem& files) : files_(files) {}

    // True when the server is taken to be present: a bare file name (no
    // backslash) and the empty text count as present; otherwise one of the
    // candidate texts, expanded, must name an existing file that is not a
    // directory.
    bool ServerPathExists(const std::string& serverPath, RegistryView view = RegistryView::Native) const;
    // The candidate texts that hold a folder, expanded and read through the
    // view (system32 as SysWOW64 for the 32-bit view), in the order tried.
    // Empty for a bare file name or the empty text.
    std::vector<std::string> CandidateFiles(const std::string& serverPath, RegistryView view) const;
    // The file existence test of a path: exactly one file, no pattern.
    bool FileExists(const std::string& path) const;

private:
    std::string ForView(const std::string& path, RegistryView view) const;

    const FileSystem& files_;
};

}  // namespace qob
