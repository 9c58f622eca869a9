// The undo command of the main window: the undo window, and after each
// restore the restored entries back in the tree.
#include "app/Form1.h"
#include "catalogue/Scan.h"
#include "catalogue/Utf8.h"
#include "catalogue/Win32Text.h"
#include "removal/Removal.h"
#include "removal/Win32Backup.h"
#include "removal/frmUndo.h"
#include "texts/Texts.h"

#include <algorithm>

namespace qob {

namespace {

// The ProgIDs among the keys a folder holds: keys right below a class
// root that are no container of the registry.
std::vector<std::string> RestoredProgIds(const RestorePlan& plan)
{
    std::vector<std::string> progIds;
    for (const std::u16string& key : plan.topKeys) {
        const std::u16string path = PathBelowClassRoot(key);
        const std::string name = Utf8FromUtf16(path);
        if (path != key && path.find(u'\\') == std::u16string::npos && !IsRegistryContainer(name))
            progIds.push_back(name);
    }
    return progIds;
}

// How many nodes lie below the node.
int Descendants(const TTreeNodes& tree, const TTreeNode& node)
{
    for (const TTreeNode* up = &node; up; up = up->Parent()) {
        if (const TTreeNode* next = up->NextSibling())
            return next->AbsoluteIndex() - node.AbsoluteIndex() - 1;
    }
    return static_cast<int>(tree.NodeCount()) - node.AbsoluteIndex() - 1;
}

}  // namespace

void TForm1::Undo1Click(void* /*Sender*/)
{
    TfrmUndo window(BackupBaseFolder(), [this](const std::wstring& folder, const RestorePlan& plan) {
        ShowRestoredEntries(NarrowText(folder), RestoredProgIds(plan));
    });
    window.ShowModal();
}

void TForm1::ShowRestoredEntries(const std::string& folder, const std::vector<std::string>& progIds)
{
    TTreeNode* first = nullptr;
    for (const std::string& progId : progIds) {
        TTreeNode* entry = ReadEntryIntoTree(progId);
        if (!first)
            first = entry;
    }
    if (first)
        nodes_.Select(*first);
    SetStatusText(Text(TextId::UndoStatusRestored, {folder}));
}

TTreeNode* TForm1::ReadEntryIntoTree(const std::string& progId)
{
    Win32KeyStore store;
    TTreeNodes fresh;
    // Not through the start-up's server check, which knows the restored
    // files as missing.
    ReadOneEntry(store, files_, progId, fresh);
    if (fresh.TopLevel().empty())
        return nullptr;  // no ProgID: not an entry of the tree
    const TTreeNode& read = *fresh.TopLevel().front();
    const auto& entries = nodes_.TopLevel();
    const auto same = std::find_if(entries.begin(), entries.end(),
                                   [&](const auto& entry) { return EqualNoCase(entry->Text(), progId); });
    TTreeNode* entry = nullptr;
    if (same != entries.end()) {
        // Shown already: read again in its place.
        entry = same->get();
        const int at = entry->AbsoluteIndex() + 1;
        const int before = Descendants(nodes_, *entry);
        nodes_.ReplaceChildren(*entry, read);
        search_.NodesReplaced(at, before, Descendants(nodes_, *entry));
    } else {
        // In the scan's order: after every entry that does not sort after it.
        Win32NameOrder order;
        const auto place = std::partition_point(entries.begin(), entries.end(), [&](const auto& other) {
            return order.Compare(other->Text(), read.Text()) <= 0;
        });
        entry = nodes_.InsertChild(nullptr, static_cast<std::size_t>(place - entries.begin()), read.Text());
        nodes_.ReplaceChildren(*entry, read);
        search_.NodesReplaced(entry->AbsoluteIndex(), 0, 1 + Descendants(nodes_, *entry));
    }
    return entry;
}

}  // namespace qob
