// The auxiliary commands of the main window: registry editor, tutorial page
// and About box.
#include "app/Form1.h"
#include "extras/ShellCommands.h"
#include "extras/frmAbout.h"

namespace qob {

void TForm1::About1Click(void* /*Sender*/)
{
    if (frmAbout)
        frmAbout->ShowModal();
}

void TForm1::Tutorial1Click(void* /*Sender*/) { OpenTutorialPage(Handle()); }

void TForm1::btnRegeditClick(void* /*Sender*/) { OpenRegistryEditor(Handle()); }

}  // namespace qob
