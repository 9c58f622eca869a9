#include "sections/HandlerVerdict.h"

#include "catalogue/Registry.h"
#include "catalogue/Utf8.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace qob {

namespace {

constexpr std::string_view kShellex = "shellex";
constexpr std::string_view kListSuffix = "Handlers";

// The handler keys that stand alone directly below shellex.
constexpr std::string_view kSingleHandlers[] = {"IconHandler", "DataHandler", "DropHandler", "InfoTip",
                                                "PropertyHandler"};

// The keys below the root whose shellex keys count beside the root's own.
constexpr const char* kBackground = "Directory\\Background";
constexpr const char* kAssociations = "SystemFileAssociations";

bool IsHandlerList(std::string_view name)
{
    return name.size() >= kListSuffix.size() && EqualNoCase(name.substr(name.size() - kListSuffix.size()), kListSuffix);
}

bool IsSingleHandler(std::string_view name)
{
    for (std::string_view single : kSingleHandlers) {
        if (EqualNoCase(name, single))
            return true;
    }
    return IsGuid(std::string(name));
}

std::vector<std::string_view> PathParts(std::string_view path)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = path.find('\\', start);
        parts.push_back(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A handler key's place: the name of its list (empty for a single handler
// key) and its own name.
struct HandlerPlace {
    std::string list;
    std::string name;
};

// The place of `path` when it is one handler key below one of the items.
std::optional<HandlerPlace> PlaceOf(std::string_view path)
{
    const std::vector<std::string_view> parts = PathParts(path);
    for (const std::string_view part : parts) {
        if (part.empty())
            return std::nullopt;
    }
    // The item is one key of the root, or one of the two-part keys.
    std::size_t shellex = 1;
    if (parts.size() > 2 && EqualNoCase(parts[2], kShellex) &&
        ((EqualNoCase(parts[0], "Directory") && EqualNoCase(parts[1], "Background")) ||
         EqualNoCase(parts[0], kAssociations)))
        shellex = 2;
    if (parts.size() <= shellex || !EqualNoCase(parts[shellex], kShellex))
        return std::nullopt;
    const std::size_t rest = parts.size() - shellex - 1;
    if (rest == 1 && IsSingleHandler(parts[shellex + 1]))
        return HandlerPlace{{}, std::string(parts[shellex + 1])};
    if (rest == 2 && IsHandlerList(parts[shellex + 1]))
        return HandlerPlace{std::string(parts[shellex + 1]), std::string(parts[shellex + 2])};
    return std::nullopt;
}

// The class id the handler key names, or empty.
std::string HandlerClass(KeyStore& store, KeyHandle key, const HandlerPlace& place)
{
    std::uint32_t type = 0;
    std::string text;
    const long result = store.QueryValue(key, "", type, text);
    if (result == kErrorSuccess) {
        if (type != kRegSz && type != kRegExpandSz)
            return {};  // of another type: in doubt
        text.resize(std::min(text.size(), text.find('\0')));
        if (IsGuid(text))
            return text;
        if (!text.empty())
            return {};  // switched off, or something else that is no class id
    } else if (result != kErrorFileNotFound) {
        return {};
    }
    return !place.list.empty() && IsGuid(place.name) ? place.name : std::string();
}

}  // namespace

void HandlerItems(KeyStore& store, const std::vector<std::string>& rootNames, std::vector<std::string>& items)
{
    items.insert(items.end(), rootNames.begin(), rootNames.end());
    items.emplace_back(kBackground);
    std::vector<std::string> associations;
    if (const ReadKey key{store, kClassesRoot, kAssociations, RegistryView::Native})
        ListSubkeyNames(store, key.get(), associations);
    for (const std::string& name : associations)
        items.push_back(std::string(kAssociations) + "\\" + name);
}

void HandlerKeys(KeyStore& store, KeyHandle root, const std::string& item, std::vector<std::string>& keys)
{
    const std::string shellex = item + "\\" + std::string(kShellex);
    const ReadKey key(store, root, shellex, RegistryView::Native);
    if (!key)
        return;
    std::vector<std::string> names;
    ListSubkeyNames(store, key.get(), names);
    std::vector<std::string> handlers;
    for (const std::string& name : names) {
        if (!IsHandlerList(name)) {
            if (IsSingleHandler(name))
                keys.push_back(shellex + "\\" + name);
            continue;
        }
        handlers.clear();
        if (const ReadKey list{store, key.get(), name, RegistryView::Native})
            ListSubkeyNames(store, list.get(), handlers);
        for (const std::string& handler : handlers)
            keys.push_back(shellex + "\\" + name + "\\" + handler);
    }
}

bool IsHandlerKey(const std::string& path) { return PlaceOf(path).has_value(); }

std::optional<BrokenKey> HandlerVerdict(const VerdictContext& context, KeyHandle root, const std::string& path,
                                        RegistryView view)
{
    const std::optional<HandlerPlace> place = PlaceOf(path);
    if (!place)
        return std::nullopt;
    const ReadKey key(context.store, root, path, view);
    if (!key)
        return std::nullopt;
    std::string id = HandlerClass(context.store, key.get(), *place);
    if (id.empty() || context.keys.ClassExists(id))
        return std::nullopt;
    BrokenKey broken;
    broken.reason = BreakReason::MissingClass;
    broken.missing.push_back(std::move(id));
    broken.description = place->list.empty() ? place->name : place->list;
    return broken;
}

}  // namespace qob
