#include "catalogue/EntryRefresh.h"

#include "catalogue/Scan.h"
#include "catalogue/Utf8.h"

#include <algorithm>

namespace qob {

int Descendants(const TTreeNodes& tree, const TTreeNode& node)
{
    for (const TTreeNode* up = &node; up; up = up->Parent()) {
        if (const TTreeNode* next = up->NextSibling())
            return next->AbsoluteIndex() - node.AbsoluteIndex() - 1;
    }
    return static_cast<int>(tree.NodeCount()) - node.AbsoluteIndex() - 1;
}

namespace {

// The entry's nodes replaced by those of `read`, the change told; a selected
// node below the entry gives way to the entry.
void ReplaceEntry(TTreeNodes& tree, TTreeNode& entry, const TTreeNode& read, const NodesChanged& changed)
{
    const int at = entry.AbsoluteIndex() + 1;
    const int before = Descendants(tree, entry);
    const TTreeNode* selected = tree.Selected();
    const bool selectedBelow =
        selected && selected->AbsoluteIndex() >= at && selected->AbsoluteIndex() < at + before;
    tree.ReplaceChildren(entry, read);
    if (changed)
        changed(at, before, Descendants(tree, entry));
    if (selectedBelow)
        tree.Select(entry);
}

}  // namespace

bool RereadEntry(TTreeNodes& tree, TTreeNode& entry, KeyStore& store, const FileSystem& files,
                 const NodesChanged& changed)
{
    TTreeNodes fresh;
    ReadOneEntry(store, files, entry.Text(), fresh);
    if (fresh.TopLevel().empty())
        return false;
    ReplaceEntry(tree, entry, *fresh.TopLevel().front(), changed);
    return true;
}

TTreeNode* ReadEntryIntoTree(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const NameOrder& order,
                             const std::string& progId, const NodesChanged& changed)
{
    TTreeNodes fresh;
    ReadOneEntry(store, files, progId, fresh);
    if (fresh.TopLevel().empty())
        return nullptr;  // no ProgID: not an entry of the tree
    const TTreeNode& read = *fresh.TopLevel().front();
    const auto& entries = tree.TopLevel();
    const auto same = std::find_if(entries.begin(), entries.end(),
                                   [&](const auto& entry) { return EqualNoCase(entry->Text(), progId); });
    if (same != entries.end()) {
        ReplaceEntry(tree, **same, read, changed);
        return same->get();
    }
    const auto place = std::partition_point(entries.begin(), entries.end(), [&](const auto& other) {
        return order.Compare(other->Text(), read.Text()) <= 0;
    });
    TTreeNode* entry = tree.InsertChild(nullptr, static_cast<std::size_t>(place - entries.begin()), read.Text());
    tree.ReplaceChildren(*entry, read);
    if (changed)
        changed(entry->AbsoluteIndex(), 0, 1 + Descendants(tree, *entry));
    return entry;
}

const TTreeNode* EntryValue(const TTreeNode& entry, std::string_view group)
{
    for (int i = 0; i < entry.Count(); ++i) {
        const TTreeNode* node = entry.Item(i);
        if (node->Text() == group && node->HasChildren())
            return node->Item(0);
    }
    return nullptr;
}

bool EntryUsesFile(const TTreeNode& entry, const std::string& file, const ServerPathCheck& check)
{
    for (const char* kind : {"InprocServer32", "LocalServer32"}) {
        const TTreeNode* path = EntryValue(entry, kind);
        if (!path)
            continue;
        for (const std::string& candidate : check.CandidateFiles(path->Text(), entry.ClassView())) {
            if (EqualNoCase(candidate, file))
                return true;
        }
    }
    return false;
}

bool EntryNamesRemoved(const TTreeNode& entry, const RemovedNames& removed, const ServerPathCheck& check)
{
    if (const TTreeNode* id = EntryValue(entry, "CLSID")) {
        for (const auto& [classId, view] : removed.classes) {
            if (view == entry.ClassView() && EqualNoCase(id->Text(), classId))
                return true;
        }
    }
    if (const TTreeNode* id = EntryValue(entry, "TypeLib")) {
        for (const std::string& library : removed.typeLibraries) {
            if (EqualNoCase(id->Text(), library))
                return true;
        }
    }
    for (const std::string& file : removed.files) {
        if (EntryUsesFile(entry, file, check))
            return true;
    }
    return false;
}

int RereadEntriesNaming(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const RemovedNames& removed,
                        const NodesChanged& changed)
{
    if (removed.Empty())
        return 0;
    // The entries first, then the reading: reading one again replaces the
    // nodes below it, never the entry itself.
    const ServerPathCheck check(files);
    std::vector<TTreeNode*> naming;
    for (const auto& entry : tree.TopLevel()) {
        if (EntryNamesRemoved(*entry, removed, check))
            naming.push_back(entry.get());
    }
    int reread = 0;
    for (TTreeNode* entry : naming) {
        if (RereadEntry(tree, *entry, store, files, changed))
            ++reread;
    }
    return reread;
}

}  // namespace qob
