// The search commands of the main window: the search's own commands with
// the find dialog, the progress window, the cursor and the search timer.
#include "app/Form1.h"

#include "forms/MessageDialog.h"
#include "search/SearchCommand.h"
#include "search/frmFind.h"

namespace qob {

namespace {

class Form1SearchHost final : public SearchHost {
public:
    explicit Form1SearchHost(TForm1& form) : form_(form) {}

    std::string FindText() override { return form_.FindDialog1.FindText(); }
    void OpenFindDialog() override { form_.FindDialog1.Execute(); }
    void CloseFindDialog() override { form_.FindDialog1.CloseDialog(); }
    void ShowError(const std::string& text) override { ShowMessageDialog(text, mtError, mbOKOnly, 0); }
    void SetCursor(short cursor) override { Application.SetCursor(cursor); }
    void ShowProgress(const std::string& label) override
    {
        if (frmFind) {
            frmFind->SetLabel1Caption(label);
            frmFind->Show();
        }
    }
    void HideProgress() override
    {
        if (frmFind)
            frmFind->Hide();
    }
    void SetStepping(bool on) override { form_.tmrFind.SetEnabled(on); }

private:
    TForm1& form_;
};

}  // namespace

void TForm1::Find1Click(void* /*Sender*/)
{
    Form1SearchHost host(*this);
    SearchCommand(nodes_, search_, host).Find();
}

void TForm1::FindDialog1Find(void* /*Sender*/)
{
    Form1SearchHost host(*this);
    SearchCommand(nodes_, search_, host).Start();
}

void TForm1::tmrFindTimer(void* /*Sender*/)
{
    Form1SearchHost host(*this);
    SearchCommand(nodes_, search_, host).Step(MonotonicMicroseconds);
}

}  // namespace qob
