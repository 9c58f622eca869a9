// The search commands of the main window: the find dialog, the start of a
// search and its steps on the ticks of tmrFind.
#include "app/Form1.h"

#include "forms/MessageDialog.h"
#include "search/frmFind.h"
#include "texts/Texts.h"

namespace qob {

namespace {

void HideProgress()
{
    if (frmFind)
        frmFind->Hide();
}

}  // namespace

void TForm1::Find1Click(void* /*Sender*/)
{
    if (tmrFind.Tag == 1) {
        ShowMessageDialog(Text(TextId::SearchBusy, {FindDialog1.FindText()}), mtError, mbOKOnly, 0);
        return;
    }
    FindDialog1.Execute();
}

void TForm1::FindDialog1Find(void* /*Sender*/)
{
    Application.SetCursor(crAppStart);
    const TTreeNode* selected = nodes_.Selected();
    FindDialog1.CloseDialog();
    if (frmFind) {
        frmFind->SetLabel1Caption(Text(TextId::SearchProgressLabel, {FindDialog1.FindText()}));
        frmFind->Show();
    }
    search_.Start(selected);
    tmrFind.SetEnabled(true);
}

void TForm1::tmrFindTimer(void* /*Sender*/)
{
    tmrFind.SetEnabled(false);
    const std::string text = FindDialog1.FindText();
    // Nodes are examined until a match, the end of the tree or the step's
    // time budget; then the message loop runs again.
    const TreeSearch::Outcome outcome = search_.StepFor(text, MonotonicMicroseconds);
    switch (outcome.result) {
    case TreeSearch::Result::NotFound:
        HideProgress();
        ShowMessageDialog(Text(TextId::SearchNotFound, {text}), mtError, mbOKOnly, 0);
        search_.Stop();
        Application.SetCursor(crDefault);
        break;
    case TreeSearch::Result::Found:
        HideProgress();
        nodes_.ScrollToTop(*outcome.node);
        nodes_.Select(*outcome.node);
        nodes_.Focus();
        FindDialog1.CloseDialog();
        search_.Stop();
        Application.SetCursor(crDefault);
        break;
    case TreeSearch::Result::Continue:
        tmrFind.SetEnabled(true);
        break;
    }
}

}  // namespace qob
