// The other broken registrations' hand-offs to other programs: the report
// of the rows as shown, the registry editor at the selected row's key, the
// row's key on the clipboard, and the list's right-click menu.
#include "sections/frmOtherBroken.h"

#include "forms/Handoffs.h"
#include "catalogue/NodeKey.h"
#include "resources/ResourceIds.h"
#include "sections/CsvReport.h"
#include "texts/Texts.h"

namespace qob {

void TfrmOtherBroken::SaveReportClick()
{
    if (stage_ != Stage::Idle)
        return;
    std::vector<ReportRow> rows;
    for (std::size_t row : list_.ShownRows())
        rows.push_back(BrokenKeyReportRow(list_.At(row).key, list_.At(row).progIds));
    SaveReportAs(Handle(), CsvReport(rows));
}

void TfrmOtherBroken::RowHandoff(unsigned command)
{
    std::size_t row = 0;
    RECT bounds{};
    if (!list_.SelectedRow(row, bounds))
        return;
    const BrokenKey& key = list_.At(row).key;
    const KeyInView inView{key.path, key.view};
    if (command == IDM_REGEDITAT1)
        OpenRegistryEditorAt(Handle(), inView);
    else if (command == IDM_COPY1)
        CopyToClipboard(Handle(), key.name);
    else if (command == IDM_COPYKEYPATH1)
        CopyToClipboard(Handle(), ClassesRootPath(inView));
}

void TfrmOtherBroken::ListContextMenu(LPARAM position)
{
    std::size_t row = 0;
    RECT bounds{};
    if (!list_.SelectedRow(row, bounds))
        return;
    const UINT command = ShowPopupMenu(Handle(), PopupPosition(list_.Handle(), position, bounds),
                                       {{IDM_REGEDITAT1, std::string(Text(TextId::ContextRegistryEditor))},
                                        {IDM_COPY1, std::string(Text(TextId::ContextCopy)) + "\tCtrl+C"},
                                        {IDM_COPYKEYPATH1, std::string(Text(TextId::ContextCopyKeyPath))}});
    if (command != 0)
        RowHandoff(command);
}

bool TfrmOtherBroken::ListShortcut(WORD key)
{
    if (::GetKeyState(VK_CONTROL) >= 0 || (key != 'E' && key != 'C'))
        return false;
    RowHandoff(key == 'E' ? IDM_REGEDITAT1 : IDM_COPY1);
    return true;
}

}  // namespace qob
