// In-memory stand-ins for the name order and the file system. The contract
// suite runs the same expectations against the Win32 ones under Wine.
#pragma once

#include "catalogue/Platform.h"

#include <map>
#include <string>

namespace qob {

// Case-insensitive byte order: agrees with the locale order for names made of
// letters and digits only, which is what the tests that use it feed it.
class FoldedNameOrder final : public NameOrder {
public:
    int Compare(const std::string& a, const std::string& b) const override;
};

class MemoryFileSystem final : public FileSystem {
public:
    // FILETIME of a local (= UTC here) date.
    static std::uint64_t FileTimeOf(int year, int month, int day);

    void AddFile(const std::string& path, std::uint64_t lastWriteTime = FileTimeOf(2020, 1, 1));
    void AddDirectory(const std::string& path);

    std::optional<FoundFile> FindFirst(const std::string& path) const override;
    bool ConvertsToDosTime(std::uint64_t fileTime) const override;

private:
    struct Entry {
        std::string name;
        bool isDirectory;
        std::uint64_t lastWriteTime;
    };
    std::map<std::string, Entry> entries_;  // by folded full path
};

}  // namespace qob
