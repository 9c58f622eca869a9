// The removal tests' stand-in for the main window and the backup.
#pragma once

#include "removal/Removal.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace qob {

// Answers the questions from a script and records every dialog.
class ScriptedRemovalHost final : public RemovalHost, public RemovalBackup {
public:
    int ShowMessage(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) override
    {
        dialogs.push_back((kind == mtError ? "E " : kind == mtInformation ? "I " : "? ") +
                          std::string(buttons == mbYesNo ? "yn " : buttons == mbOKOnly ? "ok " : "?? ") + text);
        if (buttons == mbOKOnly || answers.empty())
            return mrOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void SetCursor(short cursor) override { cursors.push_back(cursor); }
    std::string ErrorText(long code) override { return "error " + std::to_string(code); }
    std::unique_ptr<RemovalBackup> NewBackup(const std::string& progId) override
    {
        backupFor = progId;
        struct Forward final : RemovalBackup {
            explicit Forward(ScriptedRemovalHost& host) : host(host) {}
            bool SaveKey(const std::string& p, RegistryView v, std::string& r) override { return host.SaveKey(p, v, r); }
            bool SaveValue(const std::string& p, RegistryView v, const std::string& n, std::string& r) override
            {
                return host.SaveKey(p + " @" + n, v, r);
            }
            bool SaveFile(const std::string& p, std::string& r) override { return host.SaveFile(p, r); }
            std::string Folder() const override { return host.Folder(); }
            ScriptedRemovalHost& host;
        };
        return std::make_unique<Forward>(*this);
    }
    void ShowBackupFolder(const std::string& folder) override { shownFolder = folder; }
    void NodesReplaced(int at, int oldCount, int newCount) override
    {
        replaced.push_back(std::to_string(at) + " " + std::to_string(oldCount) + " " + std::to_string(newCount));
    }

    bool CanRestartAsAdministrator() override { return canRestart; }
    void RestartAsAdministrator() override { ++restarts; }

    bool SaveKey(const std::string& path, RegistryView view, std::string& reason) override
    {
        return Save("key " + path + (view == RegistryView::Wow64_32 ? " (32)" : ""), reason);
    }
    bool SaveValue(const std::string& path, RegistryView view, const std::string& name, std::string& reason) override
    {
        return SaveKey(path + " @" + name, view, reason);
    }
    bool SaveFile(const std::string& path, std::string& reason) override { return Save("file " + path, reason); }
    bool Save(const std::string& what, std::string& reason)
    {
        if (savesLeft == 0) {
            reason = "disk full";
            return false;
        }
        --savesLeft;
        saved.push_back(what);
        return true;
    }
    std::string Folder() const override { return saved.empty() ? "" : "C:\\backup"; }

    std::deque<int> answers;
    std::vector<std::string> dialogs;
    std::vector<short> cursors;
    std::vector<std::string> saved;
    std::string backupFor;
    std::string shownFolder;
    std::vector<std::string> replaced;  // "at old new" of each other entry read again
    int savesLeft = -1;  // the saves that succeed before the disk is full; -1 all
    bool canRestart = false;  // runs without elevation on a system with UAC
    int restarts = 0;
};

}  // namespace qob
