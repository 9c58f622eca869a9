// The shell extension handlers that the shellex keys of the root's keys
// register (txtfile\shellex\ContextMenuHandlers\Foo, .png\shellex\{...}),
// and the verdict on one: Explorer loads each handler's class on every
// right-click, property sheet or thumbnail, and a class that nobody
// registered fails there every time.
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace qob {

// The keys whose shellex keys are looked at: every key of the root (given),
// Directory\Background, and every key below SystemFileAssociations.
void HandlerItems(KeyStore& store, const std::vector<std::string>& rootNames, std::vector<std::string>& items);

// The handler keys below `<item>\shellex` (`root` the root's key), as paths
// below the root: each key of a handler list (a key whose name ends in
// "Handlers", such as ContextMenuHandlers), and each single handler key
// (IconHandler, DataHandler, DropHandler, InfoTip, PropertyHandler, or a key
// named by an interface id). Any other key there is no handler. Nothing when
// the item has no shellex key, the common case: one open.
void HandlerKeys(KeyStore& store, KeyHandle root, const std::string& item, std::vector<std::string>& keys);

// Whether `path` is one handler key as HandlerKeys gives them, below one of
// the items HandlerItems gives: never a shellex key or a handler list.
bool IsHandlerKey(const std::string& path);

// Broken when the class the handler names has no key in either view. The
// class is the key's default value when that is a class id; when the value
// is empty or absent, a handler of a list is named by its key's own name
// when that is a class id. Any other value (such as "--{...}", a handler
// switched off), a value of another type or one that cannot be read names
// no class: healthy. A single handler key is named by its value alone (its
// name may be an interface's id, never the handler's class). The
// description is the handler list's name, or the single key's own.
std::optional<BrokenKey> HandlerVerdict(const VerdictContext& context, KeyHandle root, const std::string& path,
                                        RegistryView view);

}  // namespace qob
