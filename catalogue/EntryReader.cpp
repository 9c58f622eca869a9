#include "catalogue/EntryReader.h"

#include <cstddef>
#include <utility>

namespace qob {

namespace {

using Step = EntryRecord::Step;
constexpr int kEntry = EntryRecord::kEntryNode;

// Takes the steps of one record to the tree, in their order.
class TreeSteps {
public:
    TreeSteps(TTreeNodes& tree, ServerPresence& servers) : tree_(tree), servers_(servers) {}

    void operator()(EntryRecord::NewNode& step)
    {
        if (step.parent == EntryRecord::kTopLevel) {
            nodes_.push_back(tree_.AddChild(nullptr, std::move(step.text)));
            tree_.SetIcon(*nodes_.back(), kIconNormal);
        } else {
            nodes_.push_back(tree_.AddChild(&Node(step.parent), std::move(step.text)));
        }
    }
    void operator()(const EntryRecord::FaultyGroup& step) { MarkFaulty(step.group); }
    void operator()(const EntryRecord::ServerToCheck& step)
    {
        if (!servers_.ServerPathExists(step.serverPath, step.view))
            MarkFaulty(step.group);
    }
    void operator()(const EntryRecord::ClassView& step) { Node(kEntry).SetClassView(step.view); }

private:
    TTreeNode& Node(int number) { return *nodes_[static_cast<std::size_t>(number)]; }

    void MarkFaulty(int group)
    {
        tree_.SetIcon(Node(kEntry), kIconFaultyEntry);
        tree_.SetIcon(Node(group), kIconFaultyGroup);
    }

    TTreeNodes& tree_;
    ServerPresence& servers_;
    std::vector<TTreeNode*> nodes_;  // by number
};

}  // namespace

EntryRecord EntryReader::Read(const std::string& name)
{
    EntryRecord record;
    try {
        Build(record, name);
    } catch (...) {
        record.error = std::current_exception();
    }
    return record;
}

// The opens below are the registry's round trips, and under Wine each one
// (with the close of the key it replaces) is most of the scan's time. So a
// key is opened once per entry, and a key whose subkey opens is taken to
// exist without an open of its own. The tree, the verdicts and the errors
// are those of opening every key on the way.
void EntryReader::Build(EntryRecord& out, const std::string& name)
{
    UseView(RegistryView::Native);
    if (!reg_.OpenKey("\\" + name))
        return;
    const std::string description = reg_.ReadString("");
    if (!reg_.OpenKey("\\" + name + "\\CLSID"))
        return;
    out.Add(EntryRecord::kTopLevel, name);
    out.Add(kEntry, description);
    const std::string classId = reg_.ReadString("");
    const int group = out.Add(kEntry, "CLSID");
    out.Add(group, classId);
    const std::string classKey = "\\CLSID\\" + classId;
    const std::string inprocKey = classKey + "\\InprocServer32";
    const std::string localKey = classKey + "\\LocalServer32";
    // In the registry's own view a server subkey that opens proves the
    // class key; the class key is opened only when neither does.
    const bool inprocOpen = reg_.OpenKey(inprocKey);
    const bool localOpen = !inprocOpen && reg_.OpenKey(localKey);
    // The server subkeys still to be looked for in the class key's view.
    bool lookForInproc = false;
    bool lookForLocal = inprocOpen;
    if (!inprocOpen && !localOpen) {
        if (!OpenClassKey(classKey)) {
            out.steps.emplace_back(EntryRecord::FaultyGroup{group});
            return;
        }
        lookForInproc = lookForLocal = view_ == RegistryView::Wow64_32;
    }
    out.steps.emplace_back(EntryRecord::ClassView{view_});
    if (inprocOpen || (lookForInproc && reg_.OpenKey(inprocKey)))
        AddServer(out, "InprocServer32");
    if (localOpen || (lookForLocal && reg_.OpenKey(localKey)))
        AddServer(out, "LocalServer32");
    AddTypeLibrary(out, classKey);
}

void EntryReader::UseView(RegistryView view)
{
    view_ = view;
    reg_.SetViewFlags(view == RegistryView::Wow64_32 ? kKeyWow64_32Key : 0);
}

// Opens the class key in the registry's own view, else in the 32-bit view;
// the view it was found in stays selected for its subkeys.
bool EntryReader::OpenClassKey(const std::string& classKey)
{
    if (reg_.OpenKey(classKey))
        return true;
    UseView(RegistryView::Wow64_32);
    if (reg_.OpenKey(classKey))
        return true;
    UseView(RegistryView::Native);
    return false;
}

// The server subkey just opened (the current key) as a group and its path.
void EntryReader::AddServer(EntryRecord& out, const char* kind)
{
    const int group = out.Add(kEntry, kind);
    std::string serverPath = reg_.ReadString("");
    out.Add(group, serverPath);
    out.steps.emplace_back(EntryRecord::ServerToCheck{group, std::move(serverPath), view_});
}

void EntryReader::AddTypeLibrary(EntryRecord& out, const std::string& classKey)
{
    if (!reg_.OpenKey(classKey + "\\TypeLib"))
        return;
    const std::string typeLibId = reg_.ReadString("");
    const int group = out.Add(kEntry, "TypeLib");
    out.Add(group, typeLibId);
    // The version is read first: the library's key for that version, when it
    // opens, proves the library key. A version that cannot be read counts
    // only where the library key exists, as only then is it needed.
    std::string version = "1.0";
    std::exception_ptr versionError;
    if (reg_.OpenKey(classKey + "\\Version")) {
        try {
            version = reg_.ReadString("");
        } catch (const ERegistryException&) {
            versionError = std::current_exception();
        }
    }
    UseView(RegistryView::Native);
    const std::string libraryKey = "\\TypeLib\\" + typeLibId;
    const std::string versionKey = libraryKey + "\\" + version;
    if (!versionError && reg_.OpenKey(versionKey)) {
        out.Add(group, reg_.ReadString(""));
    } else {
        if (!reg_.OpenKey(libraryKey)) {
            out.steps.emplace_back(EntryRecord::FaultyGroup{group});
            return;
        }
        if (versionError)
            std::rethrow_exception(versionError);
    }
    for (const char* suffix : {"\\HELPDIR", "\\0\\HELPDIR"}) {
        if (reg_.OpenKey(versionKey + suffix))
            out.Add(group, reg_.ReadString(""));
    }
}

void AddEntryToTree(EntryRecord record, TTreeNodes& tree, ServerPresence& servers)
{
    TreeSteps steps(tree, servers);
    for (Step& step : record.steps)
        std::visit(steps, step);
    if (record.error)
        std::rethrow_exception(record.error);
}

}  // namespace qob
