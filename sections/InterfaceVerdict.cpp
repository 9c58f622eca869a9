#include "sections/InterfaceVerdict.h"

#include "catalogue/Registry.h"

#include <utility>

namespace qob {

namespace {

// The verdict from the subkeys alone, without the description.
std::optional<BrokenKey> MissingKey(const VerdictContext& context, KeyHandle section, const std::string& name,
                                    RegistryView view)
{
    BrokenKey broken;
    {
        const ReadKey library(context.store, section, name + "\\TypeLib", view);
        if (library) {
            std::string id = ReadStringValue(context.store, library.get(), "");
            if (!IsGuid(id) || context.keys.LibraryExists(id))
                return std::nullopt;
            broken.reason = BreakReason::UnregisteredTypeLib;
            broken.missing.push_back(std::move(id));
            return broken;
        }
        if (!library.Absent())
            return std::nullopt;
    }
    const ReadKey proxy(context.store, section, name + "\\ProxyStubClsid32", view);
    if (!proxy)
        return std::nullopt;
    std::string id = ReadStringValue(context.store, proxy.get(), "");
    if (!IsGuid(id) || context.keys.ClassExists(id))
        return std::nullopt;
    broken.reason = BreakReason::UnregisteredClass;
    broken.missing.push_back(std::move(id));
    return broken;
}

}  // namespace

std::optional<BrokenKey> InterfaceVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                          RegistryView view)
{
    std::optional<BrokenKey> broken = MissingKey(context, section, name, view);
    if (broken)
        broken->description = ReadDescription(context.store, section, name, view);
    return broken;
}

}  // namespace qob
