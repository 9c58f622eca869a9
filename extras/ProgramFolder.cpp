#include "extras/ProgramFolder.h"

namespace qob {

std::string DirectoryPart(std::string_view path)
{
    const std::size_t last = path.find_last_of("\\:");
    return std::string(path.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

}  // namespace qob
