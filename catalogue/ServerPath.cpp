#include "catalogue/ServerPath.h"

#include "catalogue/KeyStore.h"
#include "catalogue/Utf8.h"

#include <utility>

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

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A drive and folder: "C:\" and at least one character more.
bool IsDrivePath(std::string_view path)
{
    return path.size() > 3 && IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

// The program folders that a 32-bit process of a 64-bit system reads
// otherwise: its %ProgramFiles% is the (x86) folder, as is its
// %CommonProgramFiles%. %ProgramW6432% and %CommonProgramW6432% name the
// 64-bit folders in every process.
constexpr std::pair<std::string_view, std::string_view> kFoldersOf32BitProcess[] = {
    {"ProgramFiles", "ProgramFiles(x86)"},
    {"CommonProgramFiles", "CommonProgramFiles(x86)"},
};

// Whether the environment has the variable: the expansion keeps a reference
// to an undefined one as written.
bool IsDefined(const FileSystem& files, std::string_view name)
{
    std::string reference(1, '%');
    reference.append(name).push_back('%');
    return files.ExpandEnvironment(reference) != reference;
}

// The variable that a 32-bit process's reference to `name` reads: the (x86)
// one for a program folder, when the system has it (a 32-bit system has
// not), otherwise `name` itself.
std::string_view VariableOf32BitProcess(const FileSystem& files, std::string_view name)
{
    for (const auto& [native, x86] : kFoldersOf32BitProcess) {
        if (EqualNoCase(name, native))
            return IsDefined(files, x86) ? x86 : name;
    }
    return name;
}

// The text with each reference renamed to the variable that a 32-bit
// process reads there. References are found as the expansion finds them:
// from a % to the next one, then on after it.
std::string WithReferencesOf32BitProcess(const FileSystem& files, const std::string& text)
{
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto open = text.find('%', pos);
        const auto close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
        if (close == std::string::npos)
            break;
        out.append(text, pos, open + 1 - pos);
        out += VariableOf32BitProcess(files, std::string_view(text).substr(open + 1, close - open - 1));
        out += '%';
        pos = close + 1;
    }
    out.append(text, pos, std::string::npos);
    return out;
}

// The path without a long-path prefix, which names the file the rest names:
// "\\?\C:\..." is "C:\...", "\\?\UNC\server\..." is "\\server\...". The
// prefix is taken off only where a full path is left; any other text keeps
// it, and the ? in it then matches no file.
std::string WithoutLongPathPrefix(const std::string& path)
{
    constexpr std::string_view prefix = "\\\\?\\";
    if (!path.starts_with(prefix))
        return path;
    const std::string_view rest = std::string_view(path).substr(prefix.size());
    if (IsDrivePath(rest))
        return std::string(rest);
    constexpr std::string_view network = "UNC\\";
    if (StartsWithNoCase(rest, network)) {
        std::string plain(2, '\\');
        plain.append(rest.substr(network.size()));
        if (IsFullPath(plain))
            return plain;
    }
    return path;
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

bool IsFullPath(std::string_view path)
{
    return IsDrivePath(path) || (path.size() > 2 && path[0] == '\\' && path[1] == '\\');
}

std::vector<std::string> ServerPathCheck::CandidateFiles(const std::string& serverPath, RegistryView view) const
{
    std::vector<std::string> files;
    for (const std::string& candidate : NormaliseServerPath(serverPath)) {
        const std::string path = WithoutLongPathPrefix(Expanded(candidate, view));
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

std::string ServerPathCheck::Expanded(const std::string& text, RegistryView view) const
{
    // Only a text with a % can hold a reference to expand.
    if (text.find('%') == std::string::npos)
        return text;
    return files_.ExpandEnvironment(view == RegistryView::Wow64_32 ? WithReferencesOf32BitProcess(files_, text)
                                                                   : text);
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
