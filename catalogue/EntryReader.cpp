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
    if (!reg_.OpenKey("\\" + name, RegistryView::Native))
        return;
    const std::string description = reg_.ReadString("");
    if (!reg_.OpenKey("\\" + name + "\\CLSID", RegistryView::Native))
        return;
    out.Add(EntryRecord::kTopLevel, name);
    out.Add(kEntry, description);
    const std::string classId = reg_.ReadString("");
    const int group = out.Add(kEntry, "CLSID");
    out.Add(group, classId);
    const std::string classKey = "\\CLSID\\" + classId;
    const std::optional<FoundClass> found = FindClassKey(classKey);
    if (!found) {
        // A class key that is there but may not be read is no missing one;
        // only its subkeys go unread.
        if (reg_.LastError() == kErrorFileNotFound)
            out.steps.emplace_back(EntryRecord::FaultyGroup{group});
        return;
    }
    out.steps.emplace_back(EntryRecord::ClassView{found->view});
    // In this order, a server subkey the search opened is still the current
    // key when it is read.
    ReadServer(out, classKey, "InprocServer32", found->inproc, found->view);
    ReadServer(out, classKey, "LocalServer32", found->local, found->view);
    ReadTypeLibrary(out, classKey, found->view);
}

// Looks for the class key in the registry's own view, then in the 32-bit
// view. In the registry's own view a server subkey that opens proves the
// class key; the class key is opened only when neither does, and then its
// server subkeys are known to be absent. In the 32-bit view they are still
// to be looked for. A class key of the registry's own view that does not
// open for another reason than its absence hides the 32-bit view's as one
// that opens would.
std::optional<EntryReader::FoundClass> EntryReader::FindClassKey(const std::string& classKey)
{
    constexpr RegistryView native = RegistryView::Native;
    if (reg_.OpenKey(classKey + "\\InprocServer32", native))
        return FoundClass{native, ServerKey::Open, ServerKey::ToLookFor};
    if (reg_.OpenKey(classKey + "\\LocalServer32", native))
        return FoundClass{native, ServerKey::Absent, ServerKey::Open};
    if (reg_.OpenKey(classKey, native))
        return FoundClass{native, ServerKey::Absent, ServerKey::Absent};
    if (reg_.LastError() != kErrorFileNotFound)
        return std::nullopt;
    if (reg_.OpenKey(classKey, RegistryView::Wow64_32))
        return FoundClass{RegistryView::Wow64_32, ServerKey::ToLookFor, ServerKey::ToLookFor};
    return std::nullopt;
}

// The server subkey `kind` of the class key in `view`, when it is there, as
// a group and its path.
void EntryReader::ReadServer(EntryRecord& out, const std::string& classKey, const char* kind, ServerKey key,
                             RegistryView view)
{
    if (key == ServerKey::Absent || (key == ServerKey::ToLookFor && !reg_.OpenKey(classKey + "\\" + kind, view)))
        return;
    const int group = out.Add(kEntry, kind);
    std::string serverPath = reg_.ReadString("");
    out.Add(group, serverPath);
    out.steps.emplace_back(EntryRecord::ServerToCheck{group, std::move(serverPath), view});
}

// The class key names its type library and version in its own view; the
// library is read in the native view, as type libraries are shared by both.
void EntryReader::ReadTypeLibrary(EntryRecord& out, const std::string& classKey, RegistryView classView)
{
    if (!reg_.OpenKey(classKey + "\\TypeLib", classView))
        return;
    const std::string typeLibId = reg_.ReadString("");
    const int group = out.Add(kEntry, "TypeLib");
    out.Add(group, typeLibId);
    // The version is read first: the library's key for that version, when it
    // opens, proves the library key. A version that cannot be read counts
    // only where the library key exists, as only then is it needed.
    std::string version = "1.0";
    std::exception_ptr versionError;
    if (reg_.OpenKey(classKey + "\\Version", classView)) {
        try {
            version = reg_.ReadString("");
        } catch (const ERegistryException&) {
            versionError = std::current_exception();
        }
    }
    constexpr RegistryView shared = RegistryView::Native;
    const std::string libraryKey = "\\TypeLib\\" + typeLibId;
    const std::string versionKey = libraryKey + "\\" + version;
    if (!versionError && reg_.OpenKey(versionKey, shared)) {
        out.Add(group, reg_.ReadString(""));
    } else {
        if (!reg_.OpenKey(libraryKey, shared)) {
            // Only a library key that is not there is missing; one that may
            // not be read is there, and nothing more of it can be read.
            if (reg_.LastError() == kErrorFileNotFound) {
                out.steps.emplace_back(EntryRecord::FaultyGroup{group});
                return;
            }
            if (!versionError)
                return;
        }
        if (versionError)
            std::rethrow_exception(versionError);
    }
    for (const char* suffix : {"\\HELPDIR", "\\0\\HELPDIR"}) {
        if (reg_.OpenKey(versionKey + suffix, shared))
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
