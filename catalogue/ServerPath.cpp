#include "catalogue/ServerPath.h"

#include "catalogue/KeyStore.h"
#include "catalogue/Utf8.h"

namespace qob {

namespace {

bool IsSwitchCut(const std::string& text, std::size_t pos)
{
    return text[pos] == ' ' && pos + 1 < text.size() &&
           (text[pos + 1] == '/' || text[pos + 1] == '-' || text[pos + 1] == '&');
}

// The search errors that say the file is not there: no such file or
// folder, or a name that no file can have. Any other leaves it unknown.
bool MeansNoFile(long error)
{
    return error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorInvalidName ||
           error == kErrorBadPathname;
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

ServerFile ServerPathCheck::Resolve(const std::string& serverPath, RegistryView view) const
{
    const std::vector<std::string> files = CandidateFiles(serverPath, view);
    if (files.empty())
        return {ServerFileState::Present, {}, 0};
    return ResolveAmong(files);
}

ServerFile ServerPathCheck::ResolveAmong(const std::vector<std::string>& files) const
{
    // A later candidate is a shorter text of the same path: when an earlier
    // one cannot be examined, a find further on could be some other file.
    for (const std::string& file : files) {
        ServerFile result = Examine(file);
        if (result.state != ServerFileState::Missing)
            return result;
    }
    return {};
}

bool ServerPathCheck::ServerPathExists(const std::string& serverPath, RegistryView view) const
{
    return Resolve(serverPath, view).state != ServerFileState::Missing;
}

ServerFile ServerPathCheck::Examine(const std::string& path) const
{
    // A pattern could match some other file; a file name never holds * or ?.
    if (path.find_first_of("*?") != std::string::npos)
        return {};
    const FileSearch search = files_.FindFirst(path);
    if (search.found)
        return search.found->isDirectory ? ServerFile{} : ServerFile{ServerFileState::Present, path, 0};
    if (MeansNoFile(search.error))
        return {};
    return {ServerFileState::Unexaminable, path, search.error};
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
