#include "tests/support/MemoryPlatform.h"

namespace qob {

namespace {

// Wildcard match of a file name against a pattern with * and ? (which
// matches one byte here, one character in the file system).
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

std::size_t LastSeparator(const std::string& path) { return path.rfind('\\'); }

}  // namespace

int FoldedNameOrder::Compare(const std::string& a, const std::string& b) const
{
    return FoldCase(a).compare(FoldCase(b));
}

void MemoryFileSystem::AddFile(const std::string& path)
{
    const auto sep = LastSeparator(path);
    entries_[FoldCase(path)] = {path.substr(sep == std::string::npos ? 0 : sep + 1), false};
}

void MemoryFileSystem::AddDirectory(const std::string& path)
{
    const auto sep = LastSeparator(path);
    entries_[FoldCase(path)] = {path.substr(sep == std::string::npos ? 0 : sep + 1), true};
}

void MemoryFileSystem::AddReadOnlyFile(const std::string& path)
{
    AddFile(path);
    entries_[FoldCase(path)].readOnly = true;
}

long MemoryFileSystem::RemoveFile(const std::string& path)
{
    const auto it = entries_.find(FoldCase(path));
    if (it == entries_.end())
        return 2;  // ERROR_FILE_NOT_FOUND
    if (it->second.isDirectory || it->second.readOnly)
        return 5;  // ERROR_ACCESS_DENIED
    entries_.erase(it);
    return 0;
}

std::optional<FoundFile> MemoryFileSystem::FindFirst(const std::string& rawPath) const
{
    // Like FindFirstFileW: quotes are invalid, trailing spaces and dots are
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
            return FoundFile{entry.name, entry.isDirectory};
    }
    return std::nullopt;
}

MemoryFileSystem::MemoryFileSystem()
{
    SetVariable("SystemRoot", "C:\\windows");
    SetVariable("windir", "C:\\windows");
    SetVariable("ProgramFiles", "C:\\Program Files");
}

void MemoryFileSystem::SetVariable(const std::string& name, const std::string& value)
{
    variables_[FoldCase(name)] = value;
}

std::string MemoryFileSystem::ExpandEnvironment(const std::string& text) const
{
    // Like ExpandEnvironmentStringsW: %NAME% of a defined variable is
    // replaced; a reference to an undefined one stays whole, up to its
    // closing %, and a lone % stays as written.
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto open = text.find('%', pos);
        if (open == std::string::npos)
            break;
        const auto close = text.find('%', open + 1);
        if (close == std::string::npos)
            break;
        out.append(text, pos, open - pos);
        auto it = variables_.find(FoldCase(text.substr(open + 1, close - open - 1)));
        if (it != variables_.end()) {
            out += it->second;
            pos = close + 1;
        } else {
            out.append(text, open, close - open + 1);
            pos = close + 1;
        }
    }
    out.append(text, pos, std::string::npos);
    return out;
}

}  // namespace qob
