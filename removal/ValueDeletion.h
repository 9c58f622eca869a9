// The deletion of one value of a key below HKEY_CLASSES_ROOT, the key and
// everything else in it kept: a file type whose default value names a
// ProgID that is gone loses that value alone, and keeps its OpenWithProgids,
// ShellNew and PerceivedType. The value is saved into the run's backup first
// (RemovalBackup::SaveValue): the key line with that one value, which a
// restore puts back only where it is absent. Portable: over the key store and
// the backup.
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/RegistryView.h"
#include "removal/Backup.h"
#include "removal/KeyDeletion.h"
#include "removal/KeyTree.h"

#include <string>

namespace qob {

// The tree's top key with only its value `name` (compared without regard to
// case), no subkeys: what the backup of that one value writes. No keys at
// all when the key or the value is not there.
KeyTree WithOneValue(const KeyTree& tree, const std::u16string& name);

class ValueDeletion {
public:
    ValueDeletion(KeyStore& store, RemovalBackup& backup, KeyDeletion::ErrorText errorText);

    // Saves the value `name` of the key HKEY_CLASSES_ROOT\<path> of the view,
    // then deletes it. Gone when the value is no longer there, the key
    // included (a value that was not there, or a key that went, counts as
    // gone); nothing is deleted when the save failed.
    KeyDeletionOutcome Delete(const std::string& path, RegistryView view, const std::string& name,
                              const KeyDeletionTexts& texts) const;

private:
    KeyStore& store_;
    RemovalBackup& backup_;
    KeyDeletion::ErrorText errorText_;
};

}  // namespace qob
