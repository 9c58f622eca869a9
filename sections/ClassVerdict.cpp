#include "sections/ClassVerdict.h"

#include "catalogue/Registry.h"
#include "catalogue/Utf8.h"

#include <utility>
#include <vector>

namespace qob {

namespace {

// The AppID section below HKEY_CLASSES_ROOT: one key for both views.
constexpr const char* kAppIdSection = "AppID";

// The paths of the class's servers when every one names no file; nothing
// when a server is there, or a server subkey cannot be examined.
std::optional<std::vector<std::string>> MissingServers(const VerdictContext& context, KeyHandle section,
                                                       const std::string& name, RegistryView view)
{
    std::vector<std::string> missing;
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
        missing.push_back(std::move(path));
    }
    return missing;
}

// COM hands the activation on to the class that TreatAs names, when that
// class has a key in either view; one naming the class itself hands it on
// to nothing. A TreatAs subkey that cannot be read may name one.
bool TreatedAsAnother(const VerdictContext& context, KeyHandle own, const std::string& name, RegistryView view)
{
    const ReadKey treatAs(context.store, own, "TreatAs", view);
    if (!treatAs)
        return !treatAs.Absent();
    const std::string id = ReadIdValue(context.store, treatAs.get(), "");
    return !id.empty() && !EqualNoCase(id, name) && context.keys.ClassExists(id);
}

// A service hosts the class when its AppID value names an AppID key with a
// LocalService value (one that cannot be read may be there).
bool HostedByService(const VerdictContext& context, KeyHandle own)
{
    const std::string id = ReadIdValue(context.store, own, "AppID");
    if (id.empty())
        return false;
    const ReadKey app(context.store, kClassesRoot, std::string(kAppIdSection) + "\\" + id, RegistryView::Native);
    if (!app)
        return !app.Absent();
    std::uint32_t type = 0;
    std::string data;
    return context.store.QueryValue(app.get(), "LocalService", type, data) != kErrorFileNotFound;
}

}  // namespace

std::optional<BrokenKey> ClassVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                      RegistryView view)
{
    // The servers first: most classes have one that is there, and are
    // settled by it.
    std::optional<std::vector<std::string>> missing = MissingServers(context, section, name, view);
    if (!missing || missing->empty())
        return std::nullopt;
    const ReadKey own(context.store, section, name, view);
    if (!own || TreatedAsAnother(context, own.get(), name, view) || HostedByService(context, own.get()))
        return std::nullopt;
    BrokenKey broken;
    broken.reason = BreakReason::MissingServer;
    broken.missing = std::move(*missing);
    broken.description = ReadStringValue(context.store, own.get(), "");
    return broken;
}

}  // namespace qob
