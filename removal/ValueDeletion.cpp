#include "removal/ValueDeletion.h"

#include "catalogue/KeyHives.h"
#include "catalogue/OpenedKey.h"
#include "catalogue/Utf8.h"

#include <utility>

namespace qob {

namespace {

KeyDeletionOutcome Outcome(bool saved, bool gone, std::string problem = {})
{
    KeyDeletionOutcome outcome;
    outcome.saved = saved;
    outcome.gone = gone;
    outcome.problem = std::move(problem);
    return outcome;
}

}  // namespace

KeyTree WithOneValue(const KeyTree& tree, const std::u16string& name)
{
    KeyTree one;
    if (tree.keys.empty())
        return one;
    for (const SavedValue& value : tree.keys.front().values) {
        if (EqualNoCase(value.name, name)) {
            one.location = tree.location;
            one.keys.push_back({tree.keys.front().path, {value}});
            break;
        }
    }
    return one;
}

ValueDeletion::ValueDeletion(KeyStore& store, RemovalBackup& backup, KeyDeletion::ErrorText errorText)
    : store_(store), backup_(backup), errorText_(std::move(errorText))
{
}

KeyDeletionOutcome ValueDeletion::Delete(const std::string& path, RegistryView view, const std::string& name,
                                         const KeyDeletionTexts& texts) const
{
    const std::string shown = KeyNameInView(path, view);
    std::string reason;
    if (!backup_.SaveValue(path, view, name, reason))
        return Outcome(false, false, Text(texts.notSaved, {shown, reason}));
    const OpenedKey key(store_, kClassesRoot, path, kKeyRead | kKeySetValue | ViewFlags(view));
    if (key.Result() == kErrorFileNotFound)
        return Outcome(true, true);
    long result = key.Result();
    if (result == kErrorSuccess) {
        result = store_.DeleteValue(key.get(), name);
        if (result == kErrorSuccess || result == kErrorFileNotFound)
            return Outcome(true, true);
    }
    KeyDeletionOutcome outcome = Outcome(true, false, Text(texts.refused, {shown, errorText_(result)}));
    // The user's own copy, which a write through the classes root reaches
    // first, is the user's to change: only the computer's asks for more.
    const KeyHives hives = FindKeyHives(store_, path, view);
    outcome.deniedMachineKey = result == kErrorAccessDenied && hives != KeyHives::User && hives != KeyHives::Both;
    return outcome;
}

}  // namespace qob
