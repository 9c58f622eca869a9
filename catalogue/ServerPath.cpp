#include "catalogue/ServerPath.h"

#include "catalogue/Utf8.h"

#include <algorithm>

namespace qob {

namespace {

bool IsSwitchCut(const std::string& text, std::size_t pos)
{
    return text[pos] == ' ' && pos + 1 < text.size() &&
           (text[pos + 1] == '/' || text[pos + 1] == '-' || text[pos + 1] == '&');
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::vector<std::string> NormaliseServerPath(const std::string& serverPath)
{
    if (serverPath.size() >= 2 && serverPath.front() == '"') {
        const auto closing = serverPath.find('"', 1);
        if (closing != std::string::npos)
            return {serverPath.substr(1, closing - 1)};
    }
    std::vector<std::string> candidates{serverPath};
    std::vector<std::size_t> cuts;
    for (std::size_t pos = 0; pos < serverPath.size(); ++pos) {
        if (IsSwitchCut(serverPath, pos))
            cuts.push_back(pos);
    }
    for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
        candidates.push_back(serverPath.substr(0, *it));
    return candidates;
}

bool HasDirectoryPart(const std::string& path) { return path.find('\\') != std::string::npos; }

std::vector<std::string> ServerPathCheck::CandidateFiles(const std::string& serverPath, RegistryView view) const
{
    std::vector<std::string> files;
    for (const std::string& candidate : NormaliseServerPath(serverPath)) {
        // Only a text with a % can hold a reference to expand.
        const std::string path =
            candidate.find('%') == std::string::npos ? candidate : files_.ExpandEnvironment(candidate);
        if (HasDirectoryPart(path))
            files.push_back(ForView(path, view));
    }
    return files;
}

bool ServerPathCheck::ServerPathExists(const std::string& serverPath, RegistryView view) const
{
    // Each candidate is looked for until one is found.
    const std::vector<std::string> files = CandidateFiles(serverPath, view);
    return files.empty() ||
           std::any_of(files.begin(), files.end(), [this](const std::string& file) { return FileExists(file); });
}

bool ServerPathCheck::FileExists(const std::string& path) const
{
    // A pattern could match some other file; a file name never holds * or ?.
    if (path.find_first_of("*?") != std::string::npos)
        return false;
    const auto found = files_.FindFirst(path);
    return found && !found->isDirectory;
}

std::string ServerPathCheck::ForView(const std::string& path, RegistryView view) const
{
    if (view != RegistryView::Wow64_32)
        return path;
    const std::string system32 = files_.WindowsDirectory() + "\\system32\\";
    if (!StartsWithNoCase(path, system32))
        return path;
    return files_.WindowsDirectory() + "\\SysWOW64\\" + path.substr(system32.size());
}

}  // namespace qob
