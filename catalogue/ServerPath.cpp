#include "catalogue/ServerPath.h"

namespace qob {

namespace {

void CutAfterSpaceOf(std::string& text, const char* marker)
{
    const auto at = text.find(marker);
    if (at != std::string::npos)
        text.resize(at + 1);
}

}  // namespace

std::string NormaliseServerPath(const std::string& serverPath)
{
    std::string text = serverPath;
    if (!text.empty() && text.front() == '"' && text.back() == '"')
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string();
    CutAfterSpaceOf(text, " /");
    CutAfterSpaceOf(text, " -");
    CutAfterSpaceOf(text, " &");
    return text;
}

bool ServerPathCheck::ServerPathExists(const std::string& serverPath) const
{
    const std::string path = NormaliseServerPath(serverPath);
    if (path.find('\\') == std::string::npos)
        return true;
    return FileExists(path);
}

bool ServerPathCheck::FileExists(const std::string& path) const
{
    const auto found = files_.FindFirst(path);
    if (!found || found->isDirectory)
        return false;
    return files_.ConvertsToDosTime(found->lastWriteTime);
}

}  // namespace qob
