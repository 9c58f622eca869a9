#include "sections/InterfaceVerdict.h"

#include "catalogue/Registry.h"
#include "catalogue/Utf8.h"

#include <utility>

namespace qob {

namespace {

// The proxies that marshal an interface by its type library, and so need it.
constexpr const char* kTypeLibraryMarshallers[] = {"{00020424-0000-0000-C000-000000000046}",
                                                   "{00020420-0000-0000-C000-000000000046}"};

// The interface is marshalled by a proxy of its own: its ProxyStubClsid32
// names a class with a key in either view other than the type library
// marshallers (a subkey that cannot be read may name one).
bool HasOwnProxy(const VerdictContext& context, KeyHandle section, const std::string& name, RegistryView view)
{
    const ReadKey proxy(context.store, section, name + "\\ProxyStubClsid32", view);
    if (!proxy)
        return !proxy.Absent();
    const std::string id = ReadIdValue(context.store, proxy.get(), "");
    if (id.empty())
        return false;
    for (const char* marshaller : kTypeLibraryMarshallers) {
        if (EqualNoCase(id, marshaller))
            return false;
    }
    return context.keys.ClassExists(id);
}

// The verdict from the subkeys alone, without the description.
std::optional<BrokenKey> MissingKey(const VerdictContext& context, KeyHandle section, const std::string& name,
                                    RegistryView view)
{
    BrokenKey broken;
    {
        const ReadKey library(context.store, section, name + "\\TypeLib", view);
        if (library) {
            std::string id = ReadStringValue(context.store, library.get(), "");
            if (!IsGuid(id) || context.keys.LibraryExists(id) || HasOwnProxy(context, section, name, view))
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
