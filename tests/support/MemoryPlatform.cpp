#include "tests/support/MemoryPlatform.h"

#include "catalogue/CodePage.h"

#include <ctime>

namespace qob {

namespace {

// Wildcard match of a file name against a pattern with * and ?.
bool Matches(const char* pattern, const char* name)
{
    if (*pattern == '\0')
        return *name == '\0';
    if (*pattern == '*')
        return Matches(pattern + 1, name) || (*name != '\0' && Matches(pattern, name + 1));
    if (*name == '\0')
        return false;
    return (*pattern == '?' || *pattern == *name) && Matches(pattern + 1, name + 1);
}

std::size_t LastSeparator(const std::string& path)
{
    std::size_t last = std::string::npos;
    for (std::size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
        if (path[pos] == '\\')
            last = pos;
    }
    return last;
}

}  // namespace

int FoldedNameOrder::Compare(const std::string& a, const std::string& b) const
{
    return FoldCase(a).compare(FoldCase(b));
}

std::uint64_t MemoryFileSystem::FileTimeOf(int year, int month, int day)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    const auto seconds = static_cast<std::int64_t>(timegm(&tm));
    return static_cast<std::uint64_t>((seconds + 11644473600LL) * 10000000LL);
}

void MemoryFileSystem::AddFile(const std::string& path, std::uint64_t lastWriteTime)
{
    const auto sep = LastSeparator(path);
    entries_[FoldCase(path)] = {path.substr(sep == std::string::npos ? 0 : sep + 1), false, lastWriteTime};
}

void MemoryFileSystem::AddDirectory(const std::string& path)
{
    const auto sep = LastSeparator(path);
    entries_[FoldCase(path)] = {path.substr(sep == std::string::npos ? 0 : sep + 1), true, FileTimeOf(2020, 1, 1)};
}

std::optional<FoundFile> MemoryFileSystem::FindFirst(const std::string& rawPath) const
{
    // Like FindFirstFileA: quotes are invalid, trailing spaces and dots are
    // ignored, and * and ? in the last component match as a pattern.
    if (rawPath.find('"') != std::string::npos)
        return std::nullopt;
    std::string path = rawPath;
    while (!path.empty() && (path.back() == ' ' || path.back() == '.'))
        path.pop_back();
    const auto sep = LastSeparator(path);
    const std::string dir = FoldCase(path.substr(0, sep == std::string::npos ? 0 : sep + 1));
    const std::string pattern = FoldCase(path.substr(sep == std::string::npos ? 0 : sep + 1));
    for (const auto& [key, entry] : entries_) {
        if (key.size() > dir.size() && key.compare(0, dir.size(), dir) == 0 &&
            LastSeparator(key) + 1 == dir.size() && Matches(pattern.c_str(), key.c_str() + dir.size()))
            return FoundFile{entry.name, entry.isDirectory, entry.lastWriteTime};
    }
    return std::nullopt;
}

bool MemoryFileSystem::ConvertsToDosTime(std::uint64_t fileTime) const
{
    const auto seconds = static_cast<std::time_t>(static_cast<std::int64_t>(fileTime / 10000000ULL) - 11644473600LL);
    std::tm tm{};
    if (!gmtime_r(&seconds, &tm))
        return false;
    const int year = tm.tm_year + 1900;
    return year >= 1980 && year <= 2107;
}

}  // namespace qob
