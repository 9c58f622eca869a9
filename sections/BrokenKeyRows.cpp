#include "sections/BrokenKeyRows.h"

#include "catalogue/Utf8.h"
#include "texts/Texts.h"

namespace qob {

namespace {

// The value node of an entry's group of that name; null when the entry has
// no such group. A description that reads like a group name has no value
// node, and is passed over.
const TTreeNode* ValueOf(const TTreeNode& entry, const char* group)
{
    for (int i = 0; i < entry.Count(); ++i) {
        const TTreeNode* node = entry.Item(i);
        if (node->Text() == group && node->HasChildren())
            return node->Item(0);
    }
    return nullptr;
}

}  // namespace

std::string KindText(SectionKind kind)
{
    switch (kind) {
    case SectionKind::Class:
        return std::string(Text(TextId::OtherBrokenKindClass));
    case SectionKind::TypeLibrary:
        return std::string(Text(TextId::OtherBrokenKindTypeLibrary));
    case SectionKind::Interface:
        return std::string(Text(TextId::OtherBrokenKindInterface));
    }
    return {};
}

std::string ReasonText(const BrokenKey& key)
{
    std::string missing;
    for (const std::string& item : key.missing)
        missing += (missing.empty() ? "" : " | ") + item;
    switch (key.reason) {
    case BreakReason::MissingServer:
        return Text(TextId::OtherBrokenReasonMissingServer, {missing});
    case BreakReason::MissingFile:
        return Text(TextId::OtherBrokenReasonMissingFile, {missing});
    case BreakReason::UnregisteredTypeLib:
        return Text(TextId::OtherBrokenReasonUnregisteredTypeLib, {missing});
    case BreakReason::UnregisteredClass:
        return Text(TextId::OtherBrokenReasonUnregisteredClass, {missing});
    }
    return missing;
}

ProgIdNames::ProgIdNames(const TTreeNodes& tree)
{
    for (const auto& entry : tree.TopLevel()) {
        if (const TTreeNode* id = ValueOf(*entry, "CLSID")) {
            Add(KeyNameInView("CLSID\\" + id->Text(), entry->ClassView()), entry->Text());
        }
        if (const TTreeNode* library = ValueOf(*entry, "TypeLib"))
            Add("TypeLib\\" + library->Text(), entry->Text());
    }
}

void ProgIdNames::Add(const std::string& keyName, const std::string& progId)
{
    std::vector<std::string>& names = byKey_[FoldCase(keyName)];
    names.push_back(progId);
}

std::string ProgIdNames::For(const BrokenKey& key) const
{
    const auto found = byKey_.find(FoldCase(key.name));
    if (found == byKey_.end())
        return {};
    std::string joined;
    for (const std::string& name : found->second)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

}  // namespace qob
