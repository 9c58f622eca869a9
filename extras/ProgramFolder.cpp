#include "extras/ProgramFolder.h"

#include "catalogue/CodePage.h"

namespace qob {

std::string DirectoryPart(std::string_view path)
{
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
        if (path[pos] == '\\' || path[pos] == ':')
            end = pos + 1;
    }
    return std::string(path.substr(0, end));
}

}  // namespace qob
