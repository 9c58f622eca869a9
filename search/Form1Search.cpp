// The search commands of the main window.
#include "app/Form1.h"

namespace qob {

void TForm1::Find1Click(void* /*Sender*/) { FindDialog1.Execute(); }

void TForm1::FindDialog1Find(void* /*Sender*/) {}

void TForm1::tmrFindTimer(void* /*Sender*/) { tmrFind.SetEnabled(false); }

}  // namespace qob
