// The main window's hand-offs to other programs: the registry editor at the
// selected node's key, the node's text or key path on the clipboard, the
// report of the faulty entries, and the tree's right-click menu.
#include "app/Form1.h"

#include "forms/Handoffs.h"
#include "catalogue/NodeKey.h"
#include "resources/ResourceIds.h"
#include "sections/CsvReport.h"
#include "texts/Texts.h"

#include <commctrl.h>

#include <cstring>

namespace qob {

void TForm1::HandoffCommand(unsigned command)
{
    if (command == IDM_SAVEREPORT1) {
        SaveReportAs(Handle(), CsvReport(FaultyEntryReportRows(nodes_)));
        return;
    }
    const TTreeNode* node = nodes_.Selected();
    if (!node)
        return;
    if (command == IDM_REGEDITAT1)
        OpenRegistryEditorAt(Handle(), KeyOfNode(*node));
    else if (command == IDM_COPY1)
        CopyToClipboard(Handle(), node->Text());
    else if (command == IDM_COPYKEYPATH1)
        CopyToClipboard(Handle(), ClassesRootPath(KeyOfNode(*node)));
}

void TForm1::TreeContextMenu(LPARAM position)
{
    HWND tree = trvRegKey_.Handle();
    const auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item || !nodes_.Selected())
        return;
    // TVM_GETITEMRECT is told the item in the rectangle's first bytes.
    RECT bounds{};
    std::memcpy(&bounds, &item, sizeof item);
    ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&bounds));
    const UINT command = ShowPopupMenu(Handle(), PopupPosition(tree, position, bounds),
                                       {{IDM_DELETE1, std::string(Text(TextId::ContextDelete))},
                                        {IDM_REGEDITAT1, std::string(Text(TextId::ContextRegistryEditor))},
                                        {IDM_COPY1, std::string(Text(TextId::ContextCopy)) + "\tCtrl+C"},
                                        {IDM_COPYKEYPATH1, std::string(Text(TextId::ContextCopyKeyPath))}});
    if (command != 0)
        ::PostMessageW(Handle(), WM_COMMAND, command, 0);
}

void TForm1::TreeRightClick(const NMHDR& header)
{
    if (header.hwndFrom != trvRegKey_.Handle() || header.code != static_cast<UINT>(NM_RCLICK))
        return;
    TVHITTESTINFO hit{};
    const DWORD at = ::GetMessagePos();
    hit.pt = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::ScreenToClient(header.hwndFrom, &hit.pt);
    if (::SendMessageW(header.hwndFrom, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) && hit.hItem)
        ::SendMessageW(header.hwndFrom, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hit.hItem));
}

}  // namespace qob
