// TForm1: the main window. Toolbar, caption strip, the registration tree,
// status bar, the wait panel over the tree, the main menu with its
// shortcuts, the two timers and the find dialog.
#pragma once

#include "forms/FormControls.h"
#include "forms/FormHandles.h"
#include "forms/TForm.h"
#include "forms/TreeViewControl.h"
#include "catalogue/EntryRefresh.h"
#include "catalogue/Platform.h"
#include "catalogue/Scan.h"
#include "catalogue/TreeModel.h"
#include "catalogue/Win32Platform.h"
#include "extras/Win32Elevation.h"
#include "search/TreeSearch.h"

#include <memory>
#include <string>
#include <vector>

namespace qob {

class TfrmOtherBroken;

class TForm1 final : public TForm, private ServerPresence {
public:
    // Creates the window from its layout and runs FormCreate.
    TForm1();
    ~TForm1() override;

    // Components offered to the other windows and commands.
    TTreeNodes& Nodes() { return nodes_; }
    TTreeViewControl& trvRegKey() { return trvRegKey_; }
    TTimer tmrDefault{1, 10};
    TTimer tmrFind{2, 1};
    TFindDialog FindDialog1;
    TPanel Panel2;
    // The text of the status bar.
    void SetStatusText(const std::string& text);
    // Nodes of the tree were read again: the `oldCount` nodes from absolute
    // index `at` are now `newCount` others; a running search keeps its
    // cursor on its node.
    void NodesReplaced(int at, int oldCount, int newCount) { search_.NodesReplaced(at, oldCount, newCount); }

    // Handlers.
    void FormCreate(void* Sender);
    void tmrDefaultTimer(void* Sender);
    void About1Click(void* Sender);
    void Tutorial1Click(void* Sender);
    void Delete1Click(void* Sender);
    void Undo1Click(void* Sender);
    void btnRegeditClick(void* Sender);
    void Find1Click(void* Sender);
    void FindDialog1Find(void* Sender);
    void tmrFindTimer(void* Sender);
    void Close1Click(void* Sender);
    void OtherBroken1Click(void* Sender);
    void RestartAsAdministrator1Click(void* Sender);
    // Runs without elevation on a system with UAC: the restart as
    // administrator is offered.
    bool OffersRestart() const { return offersRestart_; }
    // The hand-offs of the selected node's key or text (IDM_REGEDITAT1,
    // IDM_COPY1, IDM_COPYKEYPATH1) and of the report of the faulty entries
    // (IDM_SAVEREPORT1).
    void HandoffCommand(unsigned command);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DpiChanged(int previousDpi) override;

private:
    // The parts of the window, in the order they are made (later siblings
    // lie above earlier ones).
    void CreateComponents();
    void ConnectHandlers();
    void LoadNodeIcons();
    void CreateStatusBar(RECT bounds);
    void CreateTreeArea(int width, int height);
    void CreateToolbar(int width);
    void CreateWaitPanel();
    // The window's scale (Form1Scale.cpp): the fonts and the icon for it, the
    // heights of the bars (at least what their text needs), and the places of
    // the toolbar's parts and of the wait panel's.
    void MakeFontsAndIcon();
    int ToolbarHeight() const;
    int CaptionStripHeight() const;
    int StatusBarHeight() const;
    int TreeIndent() const;
    int TextHeight() const;
    void PlaceToolbar(int width);
    void PlaceWaitPanel();
    void AlignControls();
    void AlignPanel3();
    // The end of the scan: the tree drawn, the wait panel hidden, the cursor
    // back to the default.
    void ShowScanResult();
    // The Registry menu's restart as administrator, when it is offered.
    void AddRestartItem();
    // The restart item's shield drawn again for the window's scale.
    void RedrawShield();

    // The entries that name what a deletion of the other broken keys took,
    // read again.
    void RereadEntriesNaming(const RemovedNames& removed);

    // The tree's right-click menu, at `position` (WM_CONTEXTMENU's).
    void TreeContextMenu(LPARAM position);
    // On the tree's NM_RCLICK, the node under the pointer is selected
    // before the control goes on to WM_CONTEXTMENU.
    void TreeRightClick(const NMHDR& header);

    // The server path check of the scan.
    bool ServerPathExists(const std::string& serverPath, RegistryView view) override;

    FontHandle font_;
    FontHandle titleFont_;
    IconHandle icon_;
    ImageListHandle ImageList1_;
    AcceleratorHandle shortcuts_;

    HWND StatusBar1_ = nullptr;
    TPanel Panel3_;
    TPanel Panel4_;
    TTreeViewControl trvRegKey_;
    TPanel Panel1_;
    std::unique_ptr<TBevel> Bevel1_, Bevel2_, Bevel3_;
    std::unique_ptr<TSpeedButton> btnFind_, btnRegedit_, btnDelete_, btnHelp_;
    std::unique_ptr<TImage> Image1_;
    std::unique_ptr<TLabel> Label1_, Label2_;

    TTreeNodes nodes_;
    Win32FileSystem files_;
    Win32KeyStore keyStore_;
    // The token, read at start.
    Win32Elevation elevation_;
    bool offersRestart_ = false;
    BitmapHandle shield_;  // the restart item's, for as long as the menu
    CheckedServers servers_{files_};
    // The search cursor, with the search-active flag held in tmrFind's Tag.
    TreeSearch search_{nodes_, tmrFind.Tag};
    // The window of the other broken registrations, made on first use; it
    // reads the nodes, so it goes before them.
    std::unique_ptr<TfrmOtherBroken> frmOtherBroken_;
};

}  // namespace qob
