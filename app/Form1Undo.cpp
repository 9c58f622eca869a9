// The undo command of the main window: the undo window, and after each
// restore the restored entries back in the tree.
#include "app/Form1.h"
#include "catalogue/Win32Text.h"
#include "removal/RestoredEntries.h"
#include "removal/Win32Backup.h"
#include "removal/frmUndo.h"
#include "texts/Texts.h"

namespace qob {

void TForm1::Undo1Click(void* /*Sender*/)
{
    TfrmUndo window(BackupBaseFolder(), [this](const std::wstring& folder, const RestorePlan& plan) {
        // Not through the start-up's server check, which knows the restored
        // files as missing.
        Win32KeyStore store;
        Win32NameOrder order;
        const auto changed = [this](int at, int before, int after) { NodesReplaced(at, before, after); };
        if (TTreeNode* first = ReadRestoredEntries(nodes_, store, files_, order, plan, changed))
            nodes_.Select(*first);
        SetStatusText(Text(TextId::UndoStatusRestored, {NarrowText(folder)}));
    });
    window.ShowModal();
}

}  // namespace qob
