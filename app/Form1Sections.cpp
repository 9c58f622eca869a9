// The main window's command for the other broken registrations: opens
// their window, made on first use.
#include "app/Form1.h"

#include "sections/frmOtherBroken.h"

namespace qob {

void TForm1::OtherBroken1Click(void* /*Sender*/)
{
    if (!frmOtherBroken_)
        frmOtherBroken_ = std::make_unique<TfrmOtherBroken>(nodes_);
    frmOtherBroken_->Open();
}

}  // namespace qob
