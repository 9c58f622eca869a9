#include "removal/ValueDeletion.h"

#include "catalogue/Utf8.h"

#include <utility>

namespace qob {

namespace {

// A key opened to have a value deleted, closed when it goes.
class SettableKey {
public:
    SettableKey(KeyStore& store, const std::string& path, RegistryView view) : store_(store)
    {
        result_ = store.OpenKey(kClassesRoot, path, kKeyRead | kKeySetValue | ViewFlags(view), key_);
        if (result_ != kErrorSuccess)
            key_ = kNoKey;
    }
    ~SettableKey()
    {
        if (key_ != kNoKey)
            store_.CloseKey(key_);
    }
    SettableKey(const SettableKey&) = delete;
    SettableKey& operator=(const SettableKey&) = delete;

    KeyHandle get() const { return key_; }
    long Result() const { return result_; }

private:
    KeyStore& store_;
    KeyHandle key_ = kNoKey;
    long result_ = kErrorSuccess;
};

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
    const SettableKey key(store_, path, view);
    if (key.Result() == kErrorFileNotFound)
        return Outcome(true, true);
    long result = key.Result();
    if (result == kErrorSuccess) {
        result = store_.DeleteValue(key.get(), name);
        if (result == kErrorSuccess || result == kErrorFileNotFound)
            return Outcome(true, true);
    }
    return Outcome(true, false, Text(texts.refused, {shown, errorText_(result)}));
}

}  // namespace qob
