// The auxiliary commands of the main window: registry editor, tutorial page
// and About box.
#include "app/Form1.h"

namespace qob {

void TForm1::About1Click(void* /*Sender*/) {}

void TForm1::Tutorial1Click(void* /*Sender*/) {}

void TForm1::btnRegeditClick(void* /*Sender*/) {}

}  // namespace qob
