// One ProgID entry of HKEY_CLASSES_ROOT: reading it, and adding what was read
// to the registration tree. Reading needs only the registry, so it may run on
// any thread; adding is done on the tree's own thread.
#pragma once

#include "catalogue/Registry.h"
#include "catalogue/RegistryView.h"
#include "catalogue/TreeModel.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qob {

// How the tree is told whether a server file is there.
class ServerPresence {
public:
    virtual ~ServerPresence() = default;
    // `view` is the registry view the class key was found in.
    virtual bool ServerPathExists(const std::string& serverPath, RegistryView view) = 0;
};

// What reading one entry found: the steps that build its nodes, in the order
// the reading took them. The entry's nodes are numbered in the order their
// steps add them; the entry's own top-level node is number 0.
struct EntryRecord {
    static constexpr int kTopLevel = -1;  // the parent of the entry's own node
    static constexpr int kEntryNode = 0;

    // A node `text` under the node numbered `parent`.
    struct NewNode {
        int parent;
        std::string text;
    };
    // The group numbered `group` is faulty, and so the entry.
    struct FaultyGroup {
        int group;
    };
    // The server path of the group numbered `group`, read in `view`: the
    // group and the entry are faulty unless the file is there.
    struct ServerToCheck {
        int group;
        std::string serverPath;
        RegistryView view;
    };
    // The entry's class key was found in `view`.
    struct ClassView {
        RegistryView view;
    };
    using Step = std::variant<NewNode, FaultyGroup, ServerToCheck, ClassView>;

    std::vector<Step> steps;
    // The error that ended the reading after the steps above, if any.
    std::exception_ptr error;
    int nodes = 0;  // nodes added so far: the next one's number

    // Adds a NewNode step; returns the new node's number.
    int Add(int parent, std::string text)
    {
        steps.emplace_back(NewNode{parent, std::move(text)});
        return nodes++;
    }
};

// Reads ProgID entries through one registry access object, whose root key is
// HKEY_CLASSES_ROOT.
class EntryReader {
public:
    explicit EntryReader(TRegistry& registry) : reg_(registry) {}

    // The entry under the direct subkey `name`; no steps when it is no ProgID
    // (no CLSID subkey). An error of the registry ends the reading and is kept
    // in the record, after the steps taken before it.
    EntryRecord Read(const std::string& name);

private:
    // A server subkey of the class key, as finding the class key left it.
    enum class ServerKey {
        Open,       // opened on the way: the current key until the next open
        Absent,     // not there in the class key's view
        ToLookFor,  // still to be opened in the class key's view
    };
    // Where the class key was found, and its server subkeys.
    struct FoundClass {
        RegistryView view;
        ServerKey inproc;
        ServerKey local;
    };

    void Build(EntryRecord& out, const std::string& name);
    // None when the class key does not open: the registry's LastError()
    // then tells a key that is not there (2) from one that may not be read.
    std::optional<FoundClass> FindClassKey(const std::string& classKey);
    void ReadServer(EntryRecord& out, const std::string& classKey, const char* kind, ServerKey key,
                    RegistryView view);
    void ReadTypeLibrary(EntryRecord& out, const std::string& classKey, RegistryView classView);

    TRegistry& reg_;
};

// Adds the entry `record` holds as the last top-level node of `tree`, its
// server paths checked with `servers`, then raises the error that ended its
// reading, if any: an entry whose reading failed keeps the nodes read before.
void AddEntryToTree(EntryRecord record, TTreeNodes& tree, ServerPresence& servers);

}  // namespace qob
