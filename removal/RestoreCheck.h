// The check of a backup folder before a restore changes anything. A restore
// puts back only what a removal's backup writes: a keys.reg as the backup
// writes it, with class keys only and no deletion, and a files.txt whose
// copies lie inside the folder's files\ and whose targets are full paths.
// Pure functions over the files' bytes, no platform calls.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace qob {

// One of the folder's files as the caller found it.
struct BackupFileRead {
    enum class State { Absent, Unreadable, Read };
    State state = State::Absent;
    std::string bytes;  // the file's bytes when Read
};

// Why a folder is not restored; None when it may be.
enum class RestoreRefusal {
    None,
    NoBackup,           // neither keys.reg nor files.txt is there
    Unreadable,         // `file` is there but cannot be read
    NotBackupFormat,    // `line` of `file` is not as the backup writes it
    Deletion,           // `line` of keys.reg deletes a key or a value
    KeyOutsideClasses,  // the key `item` lies below none of the class roots
    WholeKey,           // the key `item` is a class root or a container of registrations
    CopyNameNotPlain,   // the copy name `item` of files.txt is not a plain file name
    TargetNotFullPath,  // the target `item` of files.txt is not a full path without . or ..
};

enum class BackupFile { Keys, FileList };

struct RestoreVerdict {
    RestoreRefusal refusal = RestoreRefusal::None;
    BackupFile file = BackupFile::Keys;
    std::size_t line = 0;  // counted from 1
    std::string item;      // UTF-8
};

// What a folder that passed the check holds.
struct RestorePlan {
    bool hasKeys = false;  // keys.reg is there, for `reg import`
    std::vector<std::u16string> topKeys;  // the saved keys, without their subkeys
    std::vector<std::pair<std::u16string, std::u16string>> files;  // copy name, target
};

// Checks the two files of a backup folder; the plan is filled only when
// nothing is refused.
RestoreVerdict CheckBackupFolder(const BackupFileRead& keys, const BackupFileRead& fileList, RestorePlan& plan);

// What the registry holds now, as a restore asks it: keys named as a .reg
// key line names them, values by name ("" for the default value).
class RegistryPresence {
public:
    virtual ~RegistryPresence() = default;
    virtual bool KeyExists(const std::u16string& key) const = 0;
    virtual bool ValueExists(const std::u16string& key, const std::u16string& name) const = 0;
};

// What is missing of one saved top key and the keys below it.
struct MissingBelowTop {
    std::u16string key;
    bool there = false;             // the top key is there
    std::size_t missingKeys = 0;    // keys of its tree that are not there (the top key's own absence included)
    std::size_t missingValues = 0;  // values not there of keys that are there
    bool NothingMissing() const { return missingKeys == 0 && missingValues == 0; }
};

// What a checked keys.reg text holds that the registry does not.
struct MissingParts {
    std::vector<MissingBelowTop> tops;  // one for each top key, in the text's order
    // A .reg text of only what is missing: the sections of the keys that are
    // not there, whole, and of the keys that are there only their key line
    // and the values that are not there; empty when nothing is missing. An
    // import of it adds and never rewrites, since it names nothing that is
    // there but keys, whose lines alone change nothing.
    std::u16string importText;
};

// Compares the checked text (CheckBackupFolder passed it) with the registry.
MissingParts FindMissingParts(const std::u16string& keysText, const RegistryPresence& registry);

// The refusal as one line for the user, in the selected language; `folder`
// (UTF-8) is named when there is no backup in it.
std::string RestoreRefusalText(const RestoreVerdict& verdict, const std::string& folder);
// Its reason alone, without the line's opening words.
std::string RestoreRefusalReason(const RestoreVerdict& verdict, const std::string& folder);

// The key's path below the class root it lies in ("Qob.Name" for
// "HKEY_CLASSES_ROOT\Qob.Name" or "HKEY_CURRENT_USER\Software\Classes\Qob.Name");
// the key as it is when it lies below none.
std::u16string PathBelowClassRoot(const std::u16string& key);

// Whether a registry key, as a .reg key line names it, lies below one of the
// roots a backup saves keys from (HKEY_CLASSES_ROOT, and Software\Classes of
// HKEY_CURRENT_USER and of HKEY_LOCAL_MACHINE), and is neither such a root
// nor a container of registrations (CLSID, Wow6432Node\CLSID, ...):
// KeyOutsideClasses, WholeKey, NotBackupFormat for an empty part, or None.
RestoreRefusal CheckClassKey(const std::u16string& key);

}  // namespace qob
