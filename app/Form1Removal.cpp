// The removal command of the main window: the removal logic with the
// program's dialogs, cursor, status bar and backup folder.
#include "forms/Application.h"
#include "app/Form1.h"
#include "forms/MessageDialog.h"
#include "catalogue/Win32Text.h"
#include "removal/Removal.h"
#include "removal/Win32Backup.h"
#include "texts/Texts.h"

namespace qob {

namespace {

class Form1RemovalHost final : public RemovalHost {
public:
    explicit Form1RemovalHost(TForm1& form) : form_(form) {}

    int ShowMessage(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) override
    {
        return ShowMessageDialog(text, kind, buttons, 0);
    }
    void SetCursor(short cursor) override { Application.SetCursor(cursor); }
    std::string ErrorText(long code) override { return SystemErrorText(static_cast<unsigned long>(code)); }
    std::unique_ptr<RemovalBackup> NewBackup(const std::string& progId) override
    {
        return std::make_unique<Win32RemovalBackup>(progId);
    }
    void ShowBackupFolder(const std::string& folder) override { form_.SetStatusText(Text(TextId::StatusBackupFolder, {folder})); }
    void NodesReplaced(int at, int oldCount, int newCount) override { form_.NodesReplaced(at, oldCount, newCount); }
    bool CanRestartAsAdministrator() override { return form_.OffersRestart(); }
    void RestartAsAdministrator() override { form_.RestartAsAdministrator1Click(&form_); }

private:
    TForm1& form_;
};

}  // namespace

void TForm1::Delete1Click(void* /*Sender*/)
{
    Form1RemovalHost host(*this);
    Win32KeyStore store;
    RegistrationRemoval(nodes_, store, files_, host).Run(nodes_.Selected());
}

}  // namespace qob
