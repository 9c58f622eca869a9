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
#include <string_view>
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

// A drive and folder ("C:\...") or a network path ("\\server\..."): a
// relative path names whatever lies below the current directory.
bool IsFullPath(std::string_view path);

// What the check found for a server path, or for one file.
enum class ServerFileState {
    Present,       // an existing file that is not a directory
    Missing,       // no such file or folder, or a name no file can have
    Unexaminable,  // the search failed otherwise (access denied, drive not ready, ...)
};

struct ServerFile {
    ServerFileState state = ServerFileState::Missing;
    // Present: the file found (empty when the path has no folder to look
    // in); Unexaminable: the path whose search failed.
    std::string file;
    // Unexaminable: the search's Win32 error code.
    long error = 0;
};

class ServerPathCheck {
public:
    explicit ServerPathCheck(const FileSystem& files) : files_(files) {}

    // The file a server path names, looked for through its candidate texts
    // in order: the first one found is the file; a search that fails for
    // any reason other than a missing file ends the look-up there, the path
    // unexaminable. A bare file name (no backslash) and the empty text
    // count as present, with no file.
    ServerFile Resolve(const std::string& serverPath, RegistryView view) const;
    // The same look-up over paths already worked out (CandidateFiles, or a
    // selection of them); no paths at all is missing.
    ServerFile ResolveAmong(const std::vector<std::string>& files) const;
    // The scan's verdict: false only when the server is missing; a file
    // that cannot be examined counts as present.
    bool ServerPathExists(const std::string& serverPath, RegistryView view = RegistryView::Native) const;
    // The candidate texts that hold a folder, in the order tried, each read
    // as a process of the view reads it: expanded with that process's
    // program folders (%ProgramFiles% and %CommonProgramFiles% as the (x86)
    // ones for the 32-bit view), a long-path prefix taken off ("\\?\C:\..."
    // is "C:\..."), and system32 as SysWOW64 for the 32-bit view. Empty for a
    // bare file name or the empty text.
    std::vector<std::string> CandidateFiles(const std::string& serverPath, RegistryView view) const;
    // One path: exactly one file, no pattern.
    ServerFile Examine(const std::string& path) const;

private:
    std::string Expanded(const std::string& text, RegistryView view) const;
    std::string ForView(const std::string& path, RegistryView view) const;

    const FileSystem& files_;
};

}  // namespace qob
