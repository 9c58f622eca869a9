// Platform services of the scan besides the registry: the locale-aware name
// order and the file system. Win32 implementations live beside the program;
// in-memory ones serve the unit tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qob {

// The order of the ProgID names: a comparison in the Japanese locale that
// ignores case, the same on every system. Negative, zero or positive like
// strcmp.
class NameOrder {
public:
    virtual ~NameOrder() = default;
    virtual int Compare(const std::string& a, const std::string& b) const = 0;
};

// The first directory entry that a file search finds.
struct FoundFile {
    std::string name;
    bool isDirectory = false;
};

// Paths and names are UTF-8.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // FindFirstFileW, closed at once; nothing when no entry matches.
    virtual std::optional<FoundFile> FindFirst(const std::string& path) const = 0;
    // ExpandEnvironmentStringsW: %NAME% references replaced by the
    // variables' values; references to undefined variables stay as written.
    virtual std::string ExpandEnvironment(const std::string& text) const = 0;
    // The system's Windows directory, without a trailing backslash.
    virtual std::string WindowsDirectory() const = 0;
    // DeleteFileW: 0, or the Win32 error code (2 when there is no such file,
    // 5 for a read-only file or a directory, 32 for a file in use).
    virtual long RemoveFile(const std::string& path) = 0;
};

}  // namespace qob
