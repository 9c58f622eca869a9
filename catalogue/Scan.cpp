#include "catalogue/Scan.h"

#include "catalogue/Registry.h"

namespace qob {

namespace {

void QuickSort(std::vector<std::string>& names, const NameOrder& order, long left, long right)
{
    long i = 0;
    do {
        i = left;
        long j = right;
        long pivot = (left + right) / 2;
        do {
            while (order.Compare(names[i], names[pivot]) < 0)
                ++i;
            while (order.Compare(names[j], names[pivot]) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(names[i], names[j]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSort(names, order, left, j);
        left = i;
    } while (i < right);
}

// Builds one ProgID entry. Returns early where the scan goes on with the next name.
class EntryBuilder {
public:
    EntryBuilder(TTreeNodes& tree, TRegistry& registry, ServerPresence& servers)
        : tree_(tree), reg_(registry), servers_(servers)
    {
    }

    void Build(const std::string& name)
    {
        UseView(RegistryView::Native);
        if (!reg_.OpenKey("\\" + name))
            return;
        const std::string description = reg_.ReadString("");
        if (!reg_.OpenKey("\\" + name + "\\CLSID"))
            return;
        TTreeNode* entry = tree_.AddChild(nullptr, name);
        tree_.SetIcon(*entry, kIconNormal);
        tree_.AddChild(entry, description);
        if (!reg_.OpenKey("\\" + name + "\\CLSID"))
            return;
        const std::string classId = reg_.ReadString("");
        TTreeNode* group = tree_.AddChild(entry, "CLSID");
        tree_.AddChild(group, classId);
        const std::string classKey = "\\CLSID\\" + classId;
        if (!OpenClassKey(classKey)) {
            MarkFault(*entry, *group);
            return;
        }
        entry->SetClassView(view_);
        AddServer(*entry, classKey, "InprocServer32");
        AddServer(*entry, classKey, "LocalServer32");
        AddTypeLibrary(*entry, classKey);
    }

private:
    void UseView(RegistryView view)
    {
        view_ = view;
        reg_.SetViewFlags(view == RegistryView::Wow64_32 ? kKeyWow64_32Key : 0);
    }

    // Opens the class key in the registry's own view, else in the 32-bit
    // view; the view it was found in stays selected for its subkeys.
    bool OpenClassKey(const std::string& classKey)
    {
        if (reg_.OpenKey(classKey))
            return true;
        UseView(RegistryView::Wow64_32);
        if (reg_.OpenKey(classKey))
            return true;
        UseView(RegistryView::Native);
        return false;
    }

    void MarkFault(TTreeNode& entry, TTreeNode& group)
    {
        tree_.SetIcon(entry, kIconFaultyEntry);
        tree_.SetIcon(group, kIconFaultyGroup);
    }

    void AddServer(TTreeNode& entry, const std::string& classKey, const char* kind)
    {
        if (!reg_.OpenKey(classKey + "\\" + kind))
            return;
        TTreeNode* group = tree_.AddChild(&entry, kind);
        const std::string serverPath = reg_.ReadString("");
        tree_.AddChild(group, serverPath);
        if (!servers_.ServerPathExists(serverPath, view_))
            MarkFault(entry, *group);
    }

    void AddTypeLibrary(TTreeNode& entry, const std::string& classKey)
    {
        if (!reg_.OpenKey(classKey + "\\TypeLib"))
            return;
        const std::string typeLibId = reg_.ReadString("");
        TTreeNode* group = tree_.AddChild(&entry, "TypeLib");
        tree_.AddChild(group, typeLibId);
        const RegistryView classView = view_;
        UseView(RegistryView::Native);
        const std::string libraryKey = "\\TypeLib\\" + typeLibId;
        if (!reg_.OpenKey(libraryKey)) {
            MarkFault(entry, *group);
            return;
        }
        UseView(classView);
        const std::string version = reg_.OpenKey(classKey + "\\Version") ? reg_.ReadString("") : "1.0";
        UseView(RegistryView::Native);
        const std::string versionKey = libraryKey + "\\" + version;
        for (const char* suffix : {"", "\\HELPDIR", "\\0\\HELPDIR"}) {
            if (reg_.OpenKey(versionKey + suffix))
                tree_.AddChild(group, reg_.ReadString(""));
        }
    }

    TTreeNodes& tree_;
    TRegistry& reg_;
    ServerPresence& servers_;
    RegistryView view_ = RegistryView::Native;
};

}  // namespace

bool CheckedServers::ServerPathExists(const std::string& serverPath, RegistryView view)
{
    const auto [it, added] = known_.try_emplace({serverPath, view}, false);
    if (added)
        it->second = check_.ServerPathExists(serverPath, view);
    return it->second;
}

void SortNames(std::vector<std::string>& names, const NameOrder& order)
{
    if (names.size() > 1)
        QuickSort(names, order, 0, static_cast<long>(names.size()) - 1);
}

void RunRegistrationScan(TTreeNodes& tree, KeyStore& store, const NameOrder& order, ServerPresence& servers)
{
    TRegistry registry(store);
    registry.SetRootKey(kClassesRoot);
    std::vector<std::string> names;
    registry.OpenKey("\\");
    registry.GetKeyNames(names);
    registry.CloseKey();
    SortNames(names, order);
    tree.BeginUpdate();
    EntryBuilder builder(tree, registry, servers);
    const std::size_t count = names.size();
    for (std::size_t index = 0; index < count; ++index)
        builder.Build(names[index]);
    names.clear();
    registry.CloseKey();
    tree.EndUpdate();
}

}  // namespace qob
