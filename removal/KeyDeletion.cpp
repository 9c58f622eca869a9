#include "removal/KeyDeletion.h"

#include "catalogue/Registry.h"

#include <utility>

namespace qob {

namespace {

constexpr const char* kRoot = "HKEY_CLASSES_ROOT\\";

KeyDeletionOutcome Kept(std::string problem, bool changed)
{
    KeyDeletionOutcome outcome;
    outcome.saved = true;
    outcome.changed = changed;
    outcome.problem = std::move(problem);
    return outcome;
}

}  // namespace

KeyDeletion::KeyDeletion(KeyStore& store, RemovalBackup& backup, ErrorText errorText)
    : store_(store), backup_(backup), errorText_(std::move(errorText))
{
}

KeyDeletionOutcome KeyDeletion::Delete(const std::string& path, RegistryView view,
                                       const KeyDeletionTexts& texts) const
{
    std::string reason;
    if (!backup_.SaveKey(path, view, reason)) {
        KeyDeletionOutcome outcome;
        outcome.problem = Text(texts.notSaved, {KeyNameInView(path, view), reason});
        return outcome;
    }
    return DeleteSaved(path, view, texts.refused);
}

KeyDeletionOutcome KeyDeletion::DeleteSaved(const std::string& path, RegistryView view, TextId refused) const
{
    const auto shown = [view](const std::string& key) { return KeyNameInView(key, view); };
    TRegistry registry(store_);
    registry.SetRootKey(kClassesRoot);
    registry.SetViewFlags(ViewFlags(view));
    if (registry.DeleteKey(path) || registry.LastError() == kErrorFileNotFound) {
        // HKEY_CLASSES_ROOT shows the user's classes over the machine's: the
        // deletion takes one, and the other then shows through.
        if (registry.KeyExists(path))
            return Kept(Text(TextId::RemovalSameNameRemains, {kRoot + shown(path)}), true);
        KeyDeletionOutcome outcome;
        outcome.saved = true;
        outcome.gone = true;
        return outcome;
    }
    const std::string reason = errorText_(registry.LastError());
    KeyDeletionOutcome outcome;
    if (!registry.PartlyDeleted()) {
        outcome = Kept(Text(refused, {shown(registry.FailedKey()), reason}), false);
    } else {
        std::string left;
        for (const std::string& key : registry.KeysOf(path)) {
            left.append(left.empty() ? kRoot : std::string(", ") + kRoot);
            left.append(shown(key));
        }
        outcome = Kept(Text(TextId::RemovalKeyPartlyDeleted, {shown(path), reason, left, backup_.Folder()}), true);
    }
    outcome.deniedMachineKey =
        registry.LastError() == kErrorAccessDenied && !UsersKey(registry.FailedKey(), view);
    return outcome;
}

bool KeyDeletion::UsersKey(const std::string& key, RegistryView view) const
{
    // The user's classes are those HKEY_CLASSES_ROOT shows over the
    // machine's; this user may always delete them.
    TRegistry user(store_);
    user.SetRootKey(kCurrentUser);
    user.SetViewFlags(ViewFlags(view));
    return user.KeyExists("\\Software\\Classes\\" + key);
}

}  // namespace qob
