// The removal of a registration: the questions, the backups and the
// deletions behind the Del command, over the registration tree, the key
// store and the file system. The main window supplies the dialogs, the
// cursor, the status bar and the backup folder through RemovalHost.
#pragma once

#include "catalogue/EntryRefresh.h"
#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeModel.h"
#include "interaction/Interaction.h"
#include "removal/Backup.h"
#include "removal/KeyDeletion.h"
#include "texts/Texts.h"

#include <memory>
#include <string>
#include <vector>

namespace qob {

class RemovalHost {
public:
    virtual ~RemovalHost() = default;
    // A message dialog (help context 0); the result code.
    virtual int ShowMessage(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) = 0;
    // The application-wide cursor.
    virtual void SetCursor(short cursor) = 0;
    // The system's description of a Win32 error code.
    virtual std::string ErrorText(long code) = 0;
    // The backup of one removal run, for the given ProgID.
    virtual std::unique_ptr<RemovalBackup> NewBackup(const std::string& progId) = 0;
    // Tells the user where the run's backup is (the status bar).
    virtual void ShowBackupFolder(const std::string& folder) = 0;
    // Other entries were read again: the `oldCount` nodes from absolute
    // index `at` are now `newCount` others (a search keeps its cursor on
    // its node with it).
    virtual void NodesReplaced(int /*at*/, int /*oldCount*/, int /*newCount*/) {}
    // True when the program may be started again as administrator (it runs
    // without elevation on a system with UAC): a deletion refused on a key
    // of the whole computer then offers it.
    virtual bool CanRestartAsAdministrator() { return false; }
    // Starts the program again as administrator; this one ends once the new
    // one has started, after the run.
    virtual void RestartAsAdministrator() {}
};

// True for the registry's own containers below HKEY_CLASSES_ROOT (CLSID,
// TypeLib, Interface, ...), which list as entries when they hold a CLSID
// subkey but must never be deleted whole.
bool IsRegistryContainer(const std::string& keyName);

// How many entries of the tree, other than `except`, name `file` (a
// resolved server file) as one of their servers, compared without regard to
// case after the same resolution as the server path check.
int CountOtherUsers(const TTreeNodes& tree, const TTreeNode* except, const std::string& file,
                    const ServerPathCheck& check);

// A key below HKEY_CLASSES_ROOT that entries name by an identifier in one of
// their groups, and the lines its question adds when other entries name it.
struct SharedKey {
    const char* group;  // the group, and the key's container ("CLSID", "TypeLib")
    bool inClassView;   // the key is in the view of the entry's class, not shared by both
    TextId sharedOne;
    TextId shared;      // %1 the number of other entries
};
inline constexpr SharedKey kClassKey{"CLSID", true, TextId::RemovalClassSharedOne, TextId::RemovalClassShared};
inline constexpr SharedKey kTypeLibraryKey{"TypeLib", false, TextId::RemovalTypeLibSharedOne,
                                           TextId::RemovalTypeLibShared};

// How many entries of the tree, other than `except`, name the key `id` of
// kind `key` (identifiers compared without regard to case); for a class, only
// those whose class was found in `view`.
int CountOtherNamers(const TTreeNodes& tree, const TTreeNode* except, const SharedKey& key, const std::string& id,
                     RegistryView view);

class RegistrationRemoval {
public:
    RegistrationRemoval(TTreeNodes& tree, KeyStore& store, FileSystem& files, RemovalHost& host);

    // The Del command on the node that is selected when it starts (null
    // when none is).
    void Run(TTreeNode* selected);

private:
    bool Confirm(const std::string& text, const std::string& warning = {});
    // The ProgID key: false when the run must stop with the entry kept.
    bool RemoveProgIdKey(TTreeNode& entry);
    void RemoveGroup(const TTreeNode& group);
    // The key HKEY_CLASSES_ROOT\<container>\<id> of the view, below the
    // root: asked, with the number of the other entries that name it, then
    // deleted after its backup; a problem is listed at the end. True when
    // the key went, or changed.
    bool RemoveKey(const SharedKey& key, const std::string& id, RegistryView view);
    // True when the key is there but does not open for reading.
    bool KeyUnreadable(const std::string& path, RegistryView view) const;
    // The deletion of a key of this run, into its backup.
    KeyDeletion Deletion();
    // Shows in the tree what is left of the entry's registration, read from
    // the registry again.
    void ReadEntryAgain(TTreeNode& entry);
    // Tells the host where entries were read again.
    NodesChanged NodesChangedToHost();
    void RemoveServerFile(const std::string& serverPath);
    // The lines the file question adds below itself.
    std::string FileWarning(const std::string& serverPath, const ServerFile& server) const;
    // The outcome of a file's backup made before its deletion: a failed one
    // is listed at the end in the failure's text (the file is %1, the reason
    // %2), and the file is not deleted.
    bool Saved(TextId failure, const std::string& what, bool saved, const std::string& reason);
    void ReportFailures();
    // A message of problems; after a key of the whole computer that this
    // user may not delete, it offers the restart as administrator.
    void ShowProblems(std::string text);

    TTreeNodes& tree_;
    KeyStore& store_;
    FileSystem& files_;
    RemovalHost& host_;
    ServerPathCheck check_;

    // One run's state.
    TTreeNode* entry_ = nullptr;
    std::unique_ptr<RemovalBackup> backup_;
    std::vector<std::string> failures_;
    bool deniedMachineKey_ = false;  // a deletion was refused that an administrator could make
    // What the run deleted (or changed) that other entries may name: they
    // are read again at its end.
    RemovedNames removed_;
};

}  // namespace qob
