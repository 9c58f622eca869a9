// Platform services of the scan besides the registry: the locale-aware name
// order and the file system. Win32 implementations live beside the program;
// in-memory ones serve the unit tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qob {

// The order of the ProgID names: a comparison in the user's default locale
// that ignores case. Negative, zero or positive like strcmp.
class NameOrder {
public:
    virtual ~NameOrder() = default;
    virtual int Compare(const std::string& a, const std::string& b) const = 0;
};

// The first directory entry that a file search finds.
struct FoundFile {
    std::string name;
    bool isDirectory = false;
    std::uint64_t lastWriteTime = 0;  // 100 ns units since 1601-01-01 UTC
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // FindFirstFileA, closed at once; nothing when no entry matches.
    virtual std::optional<FoundFile> FindFirst(const std::string& path) const = 0;
    // FileTimeToLocalFileTime, then FileTimeToDosDateTime: false when either fails.
    virtual bool ConvertsToDosTime(std::uint64_t fileTime) const = 0;
};

}  // namespace qob
