// The deletion of one key below HKEY_CLASSES_ROOT, as the removal of a
// registration and the deletion of the other broken keys both make it: the
// key is saved into the run's backup, deleted with its whole subtree in its
// own view (nothing at all when one of its keys cannot be opened for
// deletion), then looked for again. Keys are named as the system names them
// (KeyNameInView). Portable: over the key store and the backup.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"
#include "removal/Backup.h"
#include "texts/Texts.h"

#include <functional>
#include <string>

namespace qob {

// How the caller words the two ways a key is kept whole, each with the key
// (%1) and the reason (%2).
struct KeyDeletionTexts {
    TextId notSaved;  // its backup could not be made
    TextId refused;   // it, or a key below it, could not be opened for deletion
};

struct KeyDeletionOutcome {
    bool saved = false;  // the backup was made; nothing was deleted otherwise
    bool gone = false;   // the key is no longer there
    // Not gone, but not as it was: some of it was deleted, or another
    // registration of the same name now shows through. What is there must
    // be read again.
    bool changed = false;
    std::string problem;  // empty when gone; otherwise what happened, for the user
    // Access was denied to a key of the whole computer (one that is not in
    // HKEY_CURRENT_USER\Software\Classes): an administrator could delete it.
    bool deniedMachineKey = false;
};

class KeyDeletion {
public:
    // The system's description of a Win32 error code.
    using ErrorText = std::function<std::string(long)>;

    KeyDeletion(KeyStore& store, RemovalBackup& backup, ErrorText errorText);

    // Saves the key HKEY_CLASSES_ROOT\<path> of the view, then deletes it.
    KeyDeletionOutcome Delete(const std::string& path, RegistryView view, const KeyDeletionTexts& texts) const;

private:
    // The deletion itself, after the backup.
    KeyDeletionOutcome DeleteSaved(const std::string& path, RegistryView view, TextId refused) const;
    // True when the key named as TRegistry::FailedKey names it is the
    // user's own, below HKEY_CURRENT_USER\Software\Classes.
    bool UsersKey(const std::string& key, RegistryView view) const;

    KeyStore& store_;
    RemovalBackup& backup_;
    ErrorText errorText_;
};

}  // namespace qob
