#include "removal/RestoredEntries.h"

#include "catalogue/Utf8.h"
#include "removal/Removal.h"

namespace qob {

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

TTreeNode* ReadRestoredEntries(TTreeNodes& tree, KeyStore& store, const FileSystem& files, const NameOrder& order,
                               const RestorePlan& plan, const NodesChanged& changed)
{
    TTreeNode* first = nullptr;
    for (const std::string& progId : RestoredProgIds(plan)) {
        TTreeNode* entry = ReadEntryIntoTree(tree, store, files, order, progId, changed);
        if (!first)
            first = entry;
    }
    return first;
}

}  // namespace qob
