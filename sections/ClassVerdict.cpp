#include "sections/ClassVerdict.h"

#include "catalogue/Registry.h"

#include <utility>

namespace qob {

std::optional<BrokenKey> ClassVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                      RegistryView view)
{
    BrokenKey broken;
    broken.reason = BreakReason::MissingServer;
    for (const char* server : {"\\InprocServer32", "\\LocalServer32"}) {
        const ReadKey subkey(context.store, section, name + server, view);
        if (!subkey) {
            if (subkey.Absent())
                continue;
            return std::nullopt;
        }
        std::string path = ReadStringValue(context.store, subkey.get(), "");
        if (context.files.Resolve(path, view) != ServerFileState::Missing)
            return std::nullopt;
        broken.missing.push_back(std::move(path));
    }
    if (broken.missing.empty())
        return std::nullopt;
    broken.description = ReadDescription(context.store, section, name, view);
    return broken;
}

}  // namespace qob
