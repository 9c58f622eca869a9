#include "removal/Removal.h"

#include "catalogue/KeyOwner.h"
#include "catalogue/Registry.h"
#include "catalogue/Utf8.h"
#include "removal/KeyQuestion.h"

#include <algorithm>
#include <array>

namespace qob {

namespace {

// Keys below HKEY_CLASSES_ROOT that hold other registrations or the
// system's own settings.
constexpr std::array kContainers = {
    "CLSID",       "TypeLib",    "Interface",   "AppID",     "Wow6432Node",          "Component Categories",
    "Record",      "Installer",  "MIME",        "Media Type", "Protocols",           "FileType",
    "SystemFileAssociations",    "Applications", "DirectShow", "MediaFoundation",    "Licenses",
    "CID",         "Extensions", "Folder",      "Directory", "Drive",                "AllFilesystemObjects",
    "Unknown",     "*",
};

bool IsGroup(const std::string& text, const char* name) { return text == name; }

std::string ProtectedKeyLine(const std::string& path, RegistryView view)
{
    return Text(TextId::RemovalProtectedKey, {"HKEY_CLASSES_ROOT\\" + KeyNameInView(path, view)});
}

// A class or type library identifier names one key below its container
// only when it is a non-empty name without a backslash: "" or "\" would name
// the container itself, "{x}\sub" a key inside another registration.
bool IsSingleKeyName(const std::string& id) { return !id.empty() && !HasDirectoryPart(id); }

std::string WithoutQuotes(std::string text)
{
    std::erase(text, '"');
    return text;
}

// Adds a line after a question.
void AddLine(std::string& lines, std::string_view line)
{
    lines += '\r';
    lines += line;
}

// Adds the line that says how many other entries use what is to go, when
// any do.
void AddSharedLine(std::string& lines, int others, TextId one, TextId many)
{
    if (others == 1)
        AddLine(lines, Text(one));
    else if (others > 1)
        AddLine(lines, Text(many, {std::to_string(others)}));
}

}  // namespace

bool IsRegistryContainer(const std::string& keyName)
{
    for (const char* container : kContainers) {
        if (EqualNoCase(keyName, container))
            return true;
    }
    return false;
}

int CountOtherUsers(const TTreeNodes& tree, const TTreeNode* except, const std::string& file,
                    const ServerPathCheck& check)
{
    int count = 0;
    for (const auto& entry : tree.TopLevel()) {
        if (entry.get() != except && EntryUsesFile(*entry, file, check))
            ++count;
    }
    return count;
}

int CountOtherNamers(const TTreeNodes& tree, const TTreeNode* except, const SharedKey& key, const std::string& id,
                     RegistryView view)
{
    int count = 0;
    for (const auto& entry : tree.TopLevel()) {
        if (entry.get() == except || (key.inClassView && entry->ClassView() != view))
            continue;
        const TTreeNode* value = EntryValue(*entry, key.group);
        if (value && EqualNoCase(value->Text(), id))
            ++count;
    }
    return count;
}

RegistrationRemoval::RegistrationRemoval(TTreeNodes& tree, KeyStore& store, FileSystem& files, RemovalHost& host)
    : tree_(tree), store_(store), files_(files), host_(host), check_(files)
{
}

void RegistrationRemoval::Run(TTreeNode* selected)
{
    host_.SetCursor(crHourGlass);
    entry_ = selected;
    backup_.reset();
    failures_.clear();
    deniedMachineKey_ = false;
    removed_ = {};
    struct CursorBack {
        RemovalHost& host;
        ~CursorBack() { host.SetCursor(crDefault); }
    } cursorBack{host_};

    if (!selected)
        return;
    if (selected->Level() > 0) {
        host_.ShowMessage(std::string(Text(TextId::RemovalSubkey)), mtError, mbOKOnly);
        return;
    }
    const std::string progId = selected->Text();
    if (IsRegistryContainer(progId) || !IsSingleKeyName(progId)) {
        host_.ShowMessage(Text(TextId::RemovalSystemKey, {progId}), mtError, mbOKOnly);
        return;
    }
    // Windows keeps its own keys and writes them back: none is offered.
    if (ProtectedByWindows(store_, progId, RegistryView::Native)) {
        host_.ShowMessage(ProtectedKeyLine(progId, RegistryView::Native), mtError, mbOKOnly);
        return;
    }
    if (selected->ImageIndex() == kIconNormal &&
        host_.ShowMessage(std::string(Text(TextId::RemovalFaultFree)), mtError, mbYesNo) == mrNo)
        return;
    if (!Confirm(DeleteKeyQuestion(store_, progId, RegistryView::Native)))
        return;
    if (!RemoveProgIdKey(*selected))
        return;

    const int count = selected->Count();
    for (int position = 0; position < count; ++position)
        RemoveGroup(*selected->Item(position));

    tree_.Delete(selected);
    entry_ = nullptr;
    // The other entries that name what went show it at once.
    RereadEntriesNaming(tree_, store_, files_, removed_, NodesChangedToHost());
    if (backup_ && !backup_->Folder().empty())
        host_.ShowBackupFolder(backup_->Folder());
    ReportFailures();
}

bool RegistrationRemoval::Confirm(const std::string& text, const std::string& warning)
{
    return host_.ShowMessage(text + warning, mtInformation, mbYesNo) == mrYes;
}

bool RegistrationRemoval::RemoveProgIdKey(TTreeNode& entry)
{
    const std::string& progId = entry.Text();
    backup_ = host_.NewBackup(progId);
    // The run stops at any problem with the ProgID key: what follows
    // belongs to a registration that is still there.
    const KeyDeletionTexts texts{TextId::RemovalProgIdNotBackedUp, TextId::RemovalProgIdNotDeleted};
    const KeyDeletionOutcome deletion = Deletion().Delete(progId, RegistryView::Native, texts);
    if (deletion.gone)
        return true;
    deniedMachineKey_ = deletion.deniedMachineKey;
    ShowProblems(deletion.problem);
    if (!deletion.saved)
        return false;
    if (deletion.changed)
        ReadEntryAgain(entry);
    if (!backup_->Folder().empty())
        host_.ShowBackupFolder(backup_->Folder());
    return false;
}

void RegistrationRemoval::RemoveGroup(const TTreeNode& group)
{
    // A description that reads like a group name has no value node.
    if (!group.HasChildren())
        return;
    const std::string& value = group.Item(0)->Text();
    if (IsGroup(group.Text(), kClassKey.group)) {
        if (IsSingleKeyName(value) && RemoveKey(kClassKey, value, entry_->ClassView()))
            removed_.classes.emplace_back(value, entry_->ClassView());
    } else if (IsGroup(group.Text(), kTypeLibraryKey.group)) {
        // Type libraries are shared by both registry views.
        if (IsSingleKeyName(value) && RemoveKey(kTypeLibraryKey, value, RegistryView::Native))
            removed_.typeLibraries.push_back(value);
    } else if (IsGroup(group.Text(), "InprocServer32") || IsGroup(group.Text(), "LocalServer32")) {
        RemoveServerFile(value);
    }
}

bool RegistrationRemoval::RemoveKey(const SharedKey& key, const std::string& id, RegistryView view)
{
    const std::string path = std::string(key.group) + "\\" + id;
    if (ProtectedByWindows(store_, path, view)) {
        failures_.push_back(ProtectedKeyLine(path, view));
        return false;
    }
    // A key that is there but cannot be read cannot be saved either: the
    // question says so, and there is nothing to delete.
    const bool unreadable = KeyUnreadable(path, view);
    std::string warning;
    if (unreadable)
        AddLine(warning, Text(TextId::RemovalKeyUnreadable));
    else
        AddSharedLine(warning, CountOtherNamers(tree_, entry_, key, id, view), key.sharedOne, key.shared);
    if (!Confirm(DeleteKeyQuestion(store_, path, view), warning) || unreadable)
        return false;
    const KeyDeletionTexts texts{TextId::RemovalKeyNotBackedUp, TextId::RemovalKeyFailed};
    KeyDeletionOutcome deletion = Deletion().Delete(path, view, texts);
    if (!deletion.gone)
        failures_.push_back(std::move(deletion.problem));
    deniedMachineKey_ = deniedMachineKey_ || deletion.deniedMachineKey;
    return deletion.gone || deletion.changed;
}

bool RegistrationRemoval::KeyUnreadable(const std::string& path, RegistryView view) const
{
    TRegistry registry(store_);
    registry.SetRootKey(kClassesRoot);
    return !registry.OpenKey("\\" + path, view) && registry.LastError() != kErrorFileNotFound;
}

KeyDeletion RegistrationRemoval::Deletion()
{
    return KeyDeletion(store_, *backup_, [this](long code) { return host_.ErrorText(code); });
}

void RegistrationRemoval::ReadEntryAgain(TTreeNode& entry)
{
    if (RereadEntry(tree_, entry, store_, files_, NodesChangedToHost()))
        return;
    // A key left without its CLSID subkey is no registration any more, but
    // it is still there.
    TTreeNodes fresh;
    fresh.SetIcon(*fresh.AddChild(nullptr, entry.Text()), kIconFaultyEntry);
    tree_.ReplaceChildren(entry, *fresh.TopLevel().front());
}

NodesChanged RegistrationRemoval::NodesChangedToHost()
{
    return [this](int at, int before, int after) { host_.NodesReplaced(at, before, after); };
}

void RegistrationRemoval::RemoveServerFile(const std::string& serverPath)
{
    // The file the server check finds, never one named relative to the
    // current directory.
    std::vector<std::string> candidates = check_.CandidateFiles(serverPath, entry_->ClassView());
    std::erase_if(candidates, [](const std::string& path) { return !IsFullPath(path); });
    if (candidates.empty())
        return;
    const ServerFile server = check_.ResolveAmong(candidates);
    if (!Confirm(Text(TextId::RemovalConfirmDeleteFile, {serverPath}), FileWarning(serverPath, server)) ||
        server.state != ServerFileState::Present)
        return;  // no file there, or none known: nothing to delete
    const std::string& file = server.file;
    std::string reason;
    if (!Saved(TextId::RemovalFileNotBackedUp, serverPath, backup_->SaveFile(file, reason), reason))
        return;
    const long result = files_.RemoveFile(file);
    if (result == 0)
        removed_.files.push_back(file);
    else if (result != kErrorFileNotFound)
        failures_.push_back(Text(TextId::RemovalFileFailed, {serverPath, host_.ErrorText(result)}));
}

std::string RegistrationRemoval::FileWarning(const std::string& serverPath, const ServerFile& server) const
{
    // Each on a line of its own after the question: first what is there to
    // delete, then why it may matter.
    std::string warning;
    if (server.state == ServerFileState::Missing) {
        AddLine(warning, Text(TextId::RemovalFileAbsent));
        return warning;
    }
    if (server.state == ServerFileState::Unexaminable) {
        AddLine(warning, Text(TextId::RemovalFileNotExamined));
        return warning;
    }
    const std::string& file = server.file;
    // The question names the registered text; the file is named too when
    // it reads otherwise (a switch cut off, a variable expanded, a long-path
    // prefix taken off, system32 read as SysWOW64). Names differing only in
    // case are the same file.
    if (!EqualNoCase(file, WithoutQuotes(serverPath)))
        AddLine(warning, Text(TextId::RemovalFileToDelete, {file}));
    AddSharedLine(warning, CountOtherUsers(tree_, entry_, file, check_), TextId::RemovalFileSharedOne,
                  TextId::RemovalFileShared);
    if (IsPathBelow(file, files_.WindowsDirectory()))
        AddLine(warning, Text(TextId::RemovalFileInWindowsFolder));
    return warning;
}

bool RegistrationRemoval::Saved(TextId failure, const std::string& what, bool saved, const std::string& reason)
{
    if (!saved)
        failures_.push_back(Text(failure, {what, reason}));
    return saved;
}

void RegistrationRemoval::ReportFailures()
{
    if (failures_.empty())
        return;
    std::string text(Text(TextId::RemovalFailuresHeading));
    for (const std::string& failure : failures_)
        text += "\r" + failure;
    ShowProblems(std::move(text));
}

void RegistrationRemoval::ShowProblems(std::string text)
{
    if (!deniedMachineKey_ || !host_.CanRestartAsAdministrator()) {
        host_.ShowMessage(text, mtError, mbOKOnly);
        return;
    }
    AddLine(text, Text(TextId::RemovalRestartOffer));
    if (host_.ShowMessage(text, mtError, mbYesNo) == mrYes)
        host_.RestartAsAdministrator();
}

}  // namespace qob
