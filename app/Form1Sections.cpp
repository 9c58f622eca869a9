// The main window's command for the other broken registrations: opens
// their window, made on first use.
#include "app/Form1.h"

#include "sections/frmOtherBroken.h"

namespace qob {

void TForm1::OtherBroken1Click(void* /*Sender*/)
{
    if (!frmOtherBroken_)
        frmOtherBroken_ = std::make_unique<TfrmOtherBroken>(
            nodes_, [this](const RemovedNames& removed) { RereadEntriesNaming(removed); },
            offersRestart_ ? std::function<void()>([this] { RestartAsAdministrator1Click(this); })
                           : std::function<void()>());
    frmOtherBroken_->Open();
}

void TForm1::RereadEntriesNaming(const RemovedNames& removed)
{
    Win32KeyStore store;
    qob::RereadEntriesNaming(nodes_, store, files_, removed,
                             [this](int at, int before, int after) { NodesReplaced(at, before, after); });
}

}  // namespace qob
