#include "sections/BrokenKeyRows.h"

#include "catalogue/EntryRefresh.h"
#include "catalogue/KeyOwner.h"
#include "catalogue/Utf8.h"
#include "texts/Texts.h"

namespace qob {

std::string KindText(SectionKind kind)
{
    switch (kind) {
    case SectionKind::Class:
        return std::string(Text(TextId::OtherBrokenKindClass));
    case SectionKind::TypeLibrary:
        return std::string(Text(TextId::OtherBrokenKindTypeLibrary));
    case SectionKind::Interface:
        return std::string(Text(TextId::OtherBrokenKindInterface));
    case SectionKind::ShellExtension:
        return std::string(Text(TextId::OtherBrokenKindShellExtension));
    case SectionKind::FileType:
        return std::string(Text(TextId::OtherBrokenKindFileType));
    }
    return {};
}

namespace {

std::string BreakReasonText(const BrokenKey& key)
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
    case BreakReason::MissingClass:
        return Text(TextId::OtherBrokenReasonMissingClass, {missing});
    case BreakReason::MissingProgId:
        return Text(TextId::OtherBrokenReasonMissingProgId, {missing});
    }
    return missing;
}

}  // namespace

std::string ReasonText(const BrokenKey& key)
{
    std::string reason = BreakReasonText(key);
    if (!key.protectedByWindows)
        return reason;
    return std::string(Text(TextId::OtherBrokenProtected)) + " (" + reason + ")";
}

void MarkKeysProtectedByWindows(KeyStore& store, std::vector<BrokenKey>& keys)
{
    for (BrokenKey& key : keys)
        key.protectedByWindows = ProtectedByWindows(store, key.path, key.view);
}

std::string WhereText(KeyHives hives)
{
    switch (hives) {
    case KeyHives::User:
        return std::string(Text(TextId::OtherBrokenWhereUser));
    case KeyHives::Machine:
        return std::string(Text(TextId::OtherBrokenWhereComputer));
    case KeyHives::Both:
        return std::string(Text(TextId::OtherBrokenWhereBoth));
    case KeyHives::None:
        break;
    }
    return {};
}

ProgIdNames::ProgIdNames(const TTreeNodes& tree)
{
    for (const auto& entry : tree.TopLevel()) {
        if (const TTreeNode* id = EntryValue(*entry, "CLSID")) {
            Add(KeyNameInView("CLSID\\" + id->Text(), entry->ClassView()), entry->Text());
        }
        if (const TTreeNode* library = EntryValue(*entry, "TypeLib"))
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
