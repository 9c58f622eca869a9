#include "catalogue/NodeKey.h"

#include "catalogue/EntryRefresh.h"
#include "catalogue/Registry.h"

namespace qob {

namespace {

bool IsOneKeyName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

// The group a node is in: the node below the entry on the way to it, or
// null for the entry itself.
const TTreeNode* GroupOf(const TTreeNode& node)
{
    const TTreeNode* group = &node;
    while (group->Parent() && group->Parent()->Parent())
        group = group->Parent();
    return group->Parent() ? group : nullptr;
}

const TTreeNode& EntryOf(const TTreeNode& node)
{
    const TTreeNode* entry = &node;
    while (entry->Parent())
        entry = entry->Parent();
    return *entry;
}

}  // namespace

KeyInView KeyOfNode(const TTreeNode& node)
{
    const TTreeNode& entry = EntryOf(node);
    const KeyInView progIdKey{entry.Text(), RegistryView::Native};
    const TTreeNode* group = GroupOf(node);
    // The description has no value node below it, whatever its text.
    if (!group || !group->HasChildren())
        return progIdKey;
    const std::string& name = group->Text();
    if (name == "TypeLib") {
        const std::string& id = group->Item(0)->Text();
        return IsOneKeyName(id) ? KeyInView{"TypeLib\\" + id, RegistryView::Native} : progIdKey;
    }
    if (name == "CLSID" || name == "InprocServer32" || name == "LocalServer32") {
        const TTreeNode* id = EntryValue(entry, "CLSID");
        if (id && IsOneKeyName(id->Text()))
            return {"CLSID\\" + id->Text(), entry.ClassView()};
    }
    return progIdKey;
}

KeyInView NearestExistingKey(KeyStore& store, KeyInView key)
{
    TRegistry registry(store);
    registry.SetRootKey(kClassesRoot);
    registry.SetViewFlags(ViewFlags(key.view));
    while (!key.path.empty() && !registry.KeyExists(key.path)) {
        const std::size_t cut = key.path.rfind('\\');
        key.path.erase(cut == std::string::npos ? 0 : cut);
    }
    return key;
}

std::string ClassesRootPath(const KeyInView& key)
{
    const std::string name = KeyNameInView(key.path, key.view);
    return name.empty() ? "HKEY_CLASSES_ROOT" : "HKEY_CLASSES_ROOT\\" + name;
}

std::string RegistryEditorPath(const std::string& computer, const KeyInView& key)
{
    return computer.empty() ? ClassesRootPath(key) : computer + "\\" + ClassesRootPath(key);
}

}  // namespace qob
