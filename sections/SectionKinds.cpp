#include "sections/SectionKinds.h"

#include "sections/ClassVerdict.h"
#include "sections/FileTypeVerdict.h"
#include "sections/HandlerVerdict.h"
#include "sections/InterfaceVerdict.h"
#include "sections/TypeLibraryVerdict.h"

#include <algorithm>

namespace qob {

const std::vector<SectionKindRow>& SectionKinds()
{
    static const std::vector<SectionKindRow> rows{
        {SectionKind::Class, kClassSection, {RegistryView::Native, RegistryView::Wow64_32}, "class", ClassVerdict},
        {SectionKind::TypeLibrary, kLibrarySection, {RegistryView::Native}, "typelib", TypeLibraryVerdict},
        {SectionKind::Interface, kInterfaceSection, {RegistryView::Native, RegistryView::Wow64_32}, "interface",
         InterfaceVerdict},
        // Below the root's own keys: the root is listed once for both.
        {SectionKind::ShellExtension, "", {RegistryView::Native}, "shellex", HandlerVerdict, HandlerItems, HandlerKeys,
         IsHandlerKey},
        {SectionKind::FileType, "", {RegistryView::Native}, "filetype", FileTypeVerdict, FileTypeItems, nullptr,
         IsFileTypeKey},
    };
    return rows;
}

const SectionKindRow& KindRow(SectionKind kind)
{
    const std::vector<SectionKindRow>& rows = SectionKinds();
    return *std::find_if(rows.begin(), rows.end(), [kind](const SectionKindRow& row) { return row.kind == kind; });
}

}  // namespace qob
