// The removal command of the main window.
#include "app/Form1.h"

namespace qob {

void TForm1::Delete1Click(void* /*Sender*/) {}

}  // namespace qob
