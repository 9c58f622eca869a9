#include "removal/Removal.h"

#include "catalogue/Utf8.h"
#include "catalogue/Registry.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qob {

namespace {

using namespace removal_text;

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

// A class or type library identifier names one key below its container
// only when it is a non-empty name without a backslash: "" or "\" would name
// the container itself, "{x}\sub" a key inside another registration.
bool IsSingleKeyName(const std::string& id) { return !id.empty() && !HasDirectoryPart(id); }

// A drive and folder ("C:\...") or a network path ("\\server\..."): a
// relative path names whatever lies below the current directory.
bool IsFullPath(const std::string& path)
{
    const auto letter = static_cast<unsigned char>(path.empty() ? 0 : path[0]);
    return (path.size() > 3 && std::isalpha(letter) && path[1] == ':' && path[2] == '\\') ||
           (path.size() > 2 && path[0] == '\\' && path[1] == '\\');
}

bool StartsWithFolder(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() + 1 && EqualNoCase(path.substr(0, folder.size()), folder) &&
           path[folder.size()] == '\\';
}

bool UsesFile(const TTreeNode& entry, const std::string& file, const ServerPathCheck& check)
{
    for (int i = 0; i < entry.Count(); ++i) {
        const TTreeNode* group = entry.Item(i);
        if ((group->Text() != "InprocServer32" && group->Text() != "LocalServer32") || !group->HasChildren())
            continue;
        for (const std::string& candidate : check.CandidateFiles(group->Item(0)->Text(), entry.ClassView())) {
            if (EqualNoCase(candidate, file))
                return true;
        }
    }
    return false;
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
        if (entry.get() != except && UsesFile(*entry, file, check))
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
    struct CursorBack {
        RemovalHost& host;
        ~CursorBack() { host.SetCursor(crDefault); }
    } cursorBack{host_};

    if (!selected)
        return;
    if (selected->Level() > 0) {
        host_.ShowMessage(kSubkey, mtError, mbOKOnly);
        return;
    }
    const std::string progId = selected->Text();
    if (IsRegistryContainer(progId) || !IsSingleKeyName(progId)) {
        host_.ShowMessage(kRoot + progId + "\rはレジストリのシステム キーのため削除できません。", mtError, mbOKOnly);
        return;
    }
    if (selected->ImageIndex() == kIconNormal && host_.ShowMessage(kFaultFree, mtError, mbYesNo) == mrNo)
        return;
    if (!Confirm(kRoot + progId + kConfirm))
        return;
    if (!RemoveProgIdKey(progId))
        return;

    const int count = selected->Count();
    for (int position = 0; position < count; ++position)
        RemoveGroup(*selected->Item(position));

    tree_.Delete(selected);
    entry_ = nullptr;
    if (backup_ && !backup_->Folder().empty())
        host_.ShowBackupFolder(backup_->Folder());
    ReportFailures();
}

bool RegistrationRemoval::Confirm(const std::string& text, const std::string& warning)
{
    return host_.ShowMessage(text + warning, mtInformation, mbYesNo) == mrYes;
}

bool RegistrationRemoval::RemoveProgIdKey(const std::string& progId)
{
    backup_ = host_.NewBackup(progId);
    const std::string shown = kRoot + progId;
    std::string reason;
    if (!backup_->SaveKey(progId, RegistryView::Native, reason)) {
        host_.ShowMessage(shown + "\rは削除しませんでした。バックアップを作成できません。\r" + reason, mtError, mbOKOnly);
        return false;
    }
    TRegistry registry(store_);
    registry.SetRootKey(kClassesRoot);
    if (registry.DeleteKey(progId) || registry.LastError() == kErrorFileNotFound)
        return true;
    host_.ShowMessage(shown + "\rを削除できませんでした。\r" + host_.ErrorText(registry.LastError()), mtError,
                      mbOKOnly);
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
    if (IsGroup(group.Text(), "CLSID")) {
        if (IsSingleKeyName(value))
            RemoveKey(std::string(kRoot) + "CLSID\\" + value, "CLSID\\" + value, entry_->ClassView());
    } else if (IsGroup(group.Text(), "TypeLib")) {
        // Type libraries are shared by both registry views.
        if (IsSingleKeyName(value))
            RemoveKey(std::string(kRoot) + "TypeLib\\" + value, "TypeLib\\" + value, RegistryView::Native);
    } else if (IsGroup(group.Text(), "InprocServer32") || IsGroup(group.Text(), "LocalServer32")) {
        RemoveServerFile(value);
    }
}

void RegistrationRemoval::RemoveKey(const std::string& shown, const std::string& path, RegistryView view)
{
    std::string reason;
    if (!Confirm(shown + kConfirm) || !Saved(shown, backup_->SaveKey(path, view, reason), reason))
        return;
    TRegistry registry(store_);
    registry.SetRootKey(kClassesRoot);
    registry.SetViewFlags(view == RegistryView::Wow64_32 ? kKeyWow64_32Key : 0);
    if (!registry.DeleteKey(path) && registry.LastError() != kErrorFileNotFound)
        failures_.push_back(shown + ": " + host_.ErrorText(registry.LastError()));
}

void RegistrationRemoval::RemoveServerFile(const std::string& serverPath)
{
    // The file the server check finds, never one named relative to the
    // current directory.
    std::vector<std::string> candidates = check_.CandidateFiles(serverPath, entry_->ClassView());
    std::erase_if(candidates, [](const std::string& path) { return !IsFullPath(path); });
    if (candidates.empty())
        return;
    const auto found = std::find_if(candidates.begin(), candidates.end(),
                                    [this](const std::string& path) { return check_.FileExists(path); });
    const std::string file = found == candidates.end() ? std::string() : *found;
    const std::string shown = kFile + serverPath;
    if (!Confirm(shown + kConfirm, file.empty() ? std::string() : FileWarning(file)))
        return;
    if (file.empty())
        return;  // no file there: nothing to delete
    std::string reason;
    if (!Saved(shown, backup_->SaveFile(file, reason), reason))
        return;
    const long result = files_.RemoveFile(file);
    if (result != 0 && result != kErrorFileNotFound)
        failures_.push_back(shown + ": " + host_.ErrorText(result));
}

std::string RegistrationRemoval::FileWarning(const std::string& file) const
{
    std::string warning;
    const int others = CountOtherUsers(tree_, entry_, file, check_);
    if (others > 0)
        warning += "\rこのファイルは他の " + std::to_string(others) + " 個の登録でも使われています。";
    if (StartsWithFolder(file, files_.WindowsDirectory()))
        warning += "\rこのファイルは Windows フォルダーにあるシステムのファイルです。";
    return warning;
}

bool RegistrationRemoval::Saved(const std::string& shown, bool saved, const std::string& reason)
{
    if (!saved)
        failures_.push_back(shown + ": バックアップを作成できないため削除しませんでした (" + reason + ")");
    return saved;
}

void RegistrationRemoval::ReportFailures()
{
    if (failures_.empty())
        return;
    std::string text = "次の削除はできませんでした。";
    for (const std::string& failure : failures_)
        text += "\r" + failure;
    host_.ShowMessage(text, mtError, mbOKOnly);
}

}  // namespace qob
