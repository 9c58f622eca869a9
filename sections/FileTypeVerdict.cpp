#include "sections/FileTypeVerdict.h"

#include <utility>

namespace qob {

void FileTypeItems(KeyStore&, const std::vector<std::string>& rootNames, std::vector<std::string>& items)
{
    for (const std::string& name : rootNames) {
        if (IsFileTypeKey(name))
            items.push_back(name);
    }
}

bool IsFileTypeKey(const std::string& path)
{
    return path.size() > 1 && path.front() == '.' && path.find('\\') == std::string::npos;
}

std::optional<BrokenKey> FileTypeVerdict(const VerdictContext& context, KeyHandle root, const std::string& name,
                                         RegistryView view)
{
    const ReadKey key(context.store, root, name, view);
    if (!key)
        return std::nullopt;
    std::optional<std::string> progId = ReadTextValue(context.store, key.get(), "");
    if (!progId || progId->empty() || context.keys.RootKeyExists(*progId))
        return std::nullopt;
    BrokenKey broken;
    broken.reason = BreakReason::MissingProgId;
    broken.missing.push_back(std::move(*progId));
    broken.description = ReadTextValue(context.store, key.get(), "Content Type").value_or(std::string());
    return broken;
}

}  // namespace qob
