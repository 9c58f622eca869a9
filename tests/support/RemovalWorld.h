// What the removal tests work on: an in-memory registry and file system, the
// tree a scan of them fills, and the scripted main window.
#pragma once

#include "catalogue/EntryReader.h"
#include "catalogue/NameSort.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeModel.h"
#include "tests/support/MemoryKeyStore.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/ScriptedRemovalHost.h"

#include <string>

namespace qob {

class RemovalWorld : public ServerPresence {
public:
    bool ServerPathExists(const std::string& path, RegistryView view) override
    {
        return ServerPathCheck(files).ServerPathExists(path, view);
    }
    // Seeds a key of the classes root with a default string value.
    void Text(const std::string& path, const std::string& value)
    {
        store.SetValue(kClassesRoot, path, "", kRegSz, value + '\0');
    }
    // The tree's entry of that name, or null.
    TTreeNode* Entry(const std::string& name)
    {
        for (const auto& entry : tree.TopLevel()) {
            if (entry->Text() == name)
                return entry.get();
        }
        return nullptr;
    }

    MemoryKeyStore store;
    MemoryFileSystem files;
    FoldedNameOrder order;
    TTreeNodes tree;
    ScriptedRemovalHost host;
};

}  // namespace qob
