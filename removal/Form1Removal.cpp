// The removal command of the main window: the removal logic with the
// program's dialogs, cursor, status bar and backup folder.
#include "app/Application.h"
#include "app/Form1.h"
#include "app/MessageDialog.h"
#include "removal/Removal.h"

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
    std::string ErrorText(long code) override
    {
        char* buffer = nullptr;
        const DWORD length = ::FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        std::string text = length ? std::string(buffer, length) : std::string();
        ::LocalFree(buffer);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return text.empty() ? "エラー " + std::to_string(code) : text + " (" + std::to_string(code) + ")";
    }
    std::unique_ptr<RemovalBackup> NewBackup(const std::string& progId) override;
    void ShowBackupFolder(const std::string& folder) override { form_.SetStatusText("バックアップ: " + folder); }

private:
    TForm1& form_;
};

std::unique_ptr<RemovalBackup> Form1RemovalHost::NewBackup(const std::string& /*progId*/)
{
    // Interim: the backup folder comes with the backup writer.
    struct Unsaved final : RemovalBackup {
        bool SaveKey(const std::string&, RegistryView, std::string&) override { return true; }
        bool SaveFile(const std::string&, std::string&) override { return true; }
        std::string Folder() const override { return {}; }
    };
    return std::make_unique<Unsaved>();
}

}  // namespace

void TForm1::Delete1Click(void* /*Sender*/)
{
    Form1RemovalHost host(*this);
    Win32KeyStore store;
    RegistrationRemoval(nodes_, store, files_, host).Run(nodes_.Selected());
}

}  // namespace qob
