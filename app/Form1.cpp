#include "app/Form1.h"

#include "forms/WindowFonts.h"
#include "catalogue/ServerPath.h"
#include "catalogue/Win32Platform.h"
#include "catalogue/Win32Text.h"
#include "resources/ResourceIds.h"
#include "sections/frmOtherBroken.h"
#include "texts/Texts.h"

#include <commctrl.h>

#include <string>

namespace qob {

namespace {

RECT Box(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

// True for the window itself and for a window that holds it.
bool IsWithin(HWND holder, HWND window) { return holder == window || ::IsChild(holder, window); }

// An item of the main menu: its command, its text and the name of its
// shortcut after a tab; command 0 is a separator.
struct MenuItem {
    UINT command;
    TextId text;
    const char* shortcut;
};

constexpr MenuItem kRegistryMenu[] = {
    {IDM_FIND1, TextId::MenuFind, "\tF3"},
    {IDM_DELETE1, TextId::MenuDelete, "\tDel"},
    {IDM_REGEDITAT1, TextId::MenuRegistryEditorAt, "\tCtrl+E"},
    {IDM_UNDO1, TextId::MenuUndo, ""},
    {IDM_OTHERBROKEN1, TextId::MenuOtherBroken, ""},
    {IDM_SAVEREPORT1, TextId::MenuSaveReport, ""},
    {0, TextId::Count, ""},
    {IDM_CLOSE1, TextId::MenuClose, ""},
};
constexpr MenuItem kHelpMenu[] = {
    {IDM_TUTORIAL1, TextId::MenuTutorial, ""},
    {0, TextId::Count, ""},
    {IDM_ABOUT1, TextId::MenuAbout, ""},
};

template <std::size_t N>
void AddPopup(HMENU bar, TextId title, const MenuItem (&items)[N])
{
    MenuHandle popup(::CreatePopupMenu());
    for (const MenuItem& item : items) {
        if (item.command == 0)
            ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuW(popup.get(), MF_STRING, item.command,
                          WidenText(std::string(Text(item.text)) + item.shortcut).c_str());
    }
    if (::AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.get()),
                      WidenText(std::string(Text(title))).c_str()))
        popup.release();  // the bar owns it now
}

// The main menu in the selected language.
MenuHandle MakeMainMenu()
{
    MenuHandle bar(::CreateMenu());
    AddPopup(bar.get(), TextId::MenuRegistry, kRegistryMenu);
    AddPopup(bar.get(), TextId::MenuHelp, kHelpMenu);
    return bar;
}

}  // namespace

TForm1::TForm1()
{
    MenuHandle menu = MakeMainMenu();
    CreateHandle({QOB_CLASS_FORM1, Application.Title(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 556, 407,
                  menu.get(), ::LoadIconW(Application.Instance(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON))});
    menu.release();  // the window owns it now
    if (!Application.MainWindow())
        Application.SetMainWindow(Handle());
    shortcuts_.reset(::LoadAcceleratorsW(Application.Instance(), MAKEINTRESOURCEW(IDR_SHORTCUTS)));
    Application.SetAccelerators(shortcuts_.get());
    AddRestartItem();
    MakeFontsAndIcon();
    CreateComponents();
    Call([this] { FormCreate(this); });
}

TForm1::~TForm1()
{
    if (Application.MainWindow() == Handle())
        Application.SetAccelerators(nullptr);
    // The window goes first: its tree still asks the nodes while it is destroyed.
    DestroyHandle();
}

void TForm1::CreateComponents()
{
    HFONT font = font_.get();
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ConnectHandlers();
    LoadNodeIcons();

    RECT client;
    ::GetClientRect(Handle(), &client);
    const int width = client.right;
    const int panel3Height = client.bottom - StatusBarHeight();
    CreateStatusBar(Box(0, panel3Height, width, StatusBarHeight()));
    CreateTreeArea(width, panel3Height);
    CreateToolbar(width);
    CreateWaitPanel();
}

void TForm1::ConnectHandlers()
{
    tmrDefault.SetOwner(Handle());
    tmrDefault.OnTimer = [this] { tmrDefaultTimer(&tmrDefault); };
    tmrFind.SetOwner(Handle());
    tmrFind.OnTimer = [this] { tmrFindTimer(&tmrFind); };
    FindDialog1.SetOwner(Handle());
    FindDialog1.OnFind = [this] { FindDialog1Find(&FindDialog1); };
}

void TForm1::LoadNodeIcons()
{
    // The strip drawn for the window's scale.
    const int side = PictureSide(16, Dpi());
    ImageList1_.reset(::ImageList_Create(side, side, ILC_COLOR16 | ILC_MASK, 3, 0));
    BitmapHandle strip(static_cast<HBITMAP>(::LoadImageW(
        Application.Instance(), MAKEINTRESOURCEW(PictureResource(IDB_NODE_ICONS, Dpi())), IMAGE_BITMAP, 0, 0, 0)));
    if (ImageList1_ && strip)
        ::ImageList_AddMasked(ImageList1_.get(), strip.get(), RGB(255, 0, 255));
}

void TForm1::CreateStatusBar(RECT bounds)
{
    StatusBar1_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_NORESIZE |
                                        CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                    bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                    Handle(), reinterpret_cast<HMENU>(IDC_STATUSBAR1), Application.Instance(),
                                    nullptr);
    ::SendMessageW(StatusBar1_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void TForm1::CreateTreeArea(int width, int height)
{
    HFONT font = font_.get();
    Panel3_.Create(Handle(), IDC_PANEL3, Box(0, 0, width, height), TPanel::Bevel::None, "", font);
    Panel3_.OnResize = [this] { AlignPanel3(); };

    Panel4_.Create(Panel3_.Handle(), IDC_PANEL4, Box(0, ToolbarHeight(), width, CaptionStripHeight()),
                   TPanel::Bevel::Lowered, " HKEY_CLASSES_ROOT", font);

    const int treeTop = ToolbarHeight() + CaptionStripHeight();
    trvRegKey_.Create(Panel3_.Handle(), IDC_TRVREGKEY, Box(0, treeTop, width, height - treeTop), TreeIndent(),
                      ImageList1_.get());
    ::SendMessageW(trvRegKey_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    nodes_.AttachView(&trvRegKey_);
}

void TForm1::CreateToolbar(int width)
{
    Panel1_.Create(Panel3_.Handle(), IDC_PANEL1, Box(0, 0, width, ToolbarHeight()), TPanel::Bevel::None, "",
                   font_.get());
    // Placed by PlaceToolbar.
    Bevel1_ = std::make_unique<TBevel>(RECT{}, TBevel::Edge::Top);
    auto button = [this](int glyph, TextId hint) {
        return std::make_unique<TSpeedButton>(RECT{}, glyph, std::string(Text(hint)), Dpi());
    };
    btnRegedit_ = button(IDB_GLYPH_REGEDIT, TextId::HintRegedit);
    btnDelete_ = button(IDB_GLYPH_DELETE, TextId::HintDelete);
    Bevel2_ = std::make_unique<TBevel>(RECT{}, TBevel::Edge::Left);
    btnHelp_ = button(IDB_GLYPH_HELP, TextId::HintAbout);
    btnFind_ = button(IDB_GLYPH_FIND, TextId::HintFind);
    PlaceToolbar(width);
    btnRegedit_->OnClick = [this] { btnRegeditClick(btnRegedit_.get()); };
    btnDelete_->OnClick = [this] { Delete1Click(btnDelete_.get()); };
    btnHelp_->OnClick = [this] { About1Click(btnHelp_.get()); };
    btnFind_->OnClick = [this] { Find1Click(btnFind_.get()); };
    Panel1_.Add(*Bevel1_);
    Panel1_.Add(*btnRegedit_);
    Panel1_.Add(*btnDelete_);
    Panel1_.Add(*Bevel2_);
    Panel1_.Add(*btnHelp_);
    Panel1_.Add(*btnFind_);
}

void TForm1::CreateWaitPanel()
{
    HFONT font = font_.get();
    // Placed by PlaceWaitPanel.
    Panel2.Create(Panel3_.Handle(), IDC_PANEL2, RECT{}, TPanel::Bevel::Raised, "", font);
    Image1_ = std::make_unique<TImage>(RECT{}, icon_.get());
    Label1_ = std::make_unique<TLabel>(0, 0, std::string(Text(TextId::AppTitle)), titleFont_.get());
    Label2_ = std::make_unique<TLabel>(0, 0, std::string(Text(TextId::WaitMessage)), font);
    Bevel3_ = std::make_unique<TBevel>(RECT{}, TBevel::Edge::Bottom);
    PlaceWaitPanel();
    Panel2.Add(*Image1_);
    Panel2.Add(*Label1_);
    Panel2.Add(*Label2_);
    Panel2.Add(*Bevel3_);
}

void TForm1::AlignControls()
{
    if (!StatusBar1_)
        return;
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int statusHeight = StatusBarHeight();
    ::MoveWindow(StatusBar1_, 0, client.bottom - statusHeight, client.right, statusHeight, TRUE);
    Panel3_.SetBounds(0, 0, client.right, std::max(0, static_cast<int>(client.bottom) - statusHeight));
}

void TForm1::AlignPanel3()
{
    if (!trvRegKey_.Handle())
        return;
    RECT client;
    ::GetClientRect(Panel3_.Handle(), &client);
    const int width = client.right;
    Panel1_.SetBounds(0, 0, width, ToolbarHeight());
    Panel4_.SetBounds(0, ToolbarHeight(), width, CaptionStripHeight());
    const int treeTop = ToolbarHeight() + CaptionStripHeight();
    ::MoveWindow(trvRegKey_.Handle(), 0, treeTop, width, std::max(0, static_cast<int>(client.bottom) - treeTop), TRUE);
    // The wait panel keeps its place.
}

LRESULT TForm1::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        AlignControls();
        return 0;
    case WM_SETFOCUS:
        // The tree is the only control that takes the focus.
        if (trvRegKey_.Handle())
            ::SetFocus(trvRegKey_.Handle());
        return 0;
    case WM_TIMER:
        if (tmrDefault.Tick(wParam) || tmrFind.Tick(wParam))
            return 0;
        break;
    case WM_CONTEXTMENU:
        // Passed up from the tree through its panel, which may name itself.
        if (IsWithin(reinterpret_cast<HWND>(wParam), trvRegKey_.Handle())) {
            Call([this, lParam] { TreeContextMenu(lParam); });
            return 0;
        }
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        TreeRightClick(*reinterpret_cast<const NMHDR*>(lParam));
        if (trvRegKey_.HandleNotify(*reinterpret_cast<const NMHDR*>(lParam), result))
            return result;
        break;
    }
    case WM_COMMAND:
        if (lParam == 0) {  // a menu item or a shortcut
            switch (LOWORD(wParam)) {
            case IDM_FIND1:
                Call([this] { Find1Click(this); });
                return 0;
            case IDM_DELETE1:
                Call([this] { Delete1Click(this); });
                return 0;
            case IDM_UNDO1:
                Call([this] { Undo1Click(this); });
                return 0;
            case IDM_OTHERBROKEN1:
                Call([this] { OtherBroken1Click(this); });
                return 0;
            case IDM_REGEDITAT1:
            case IDM_SAVEREPORT1:
            case IDM_COPY1:
            case IDM_COPYKEYPATH1:
                Call([this, command = LOWORD(wParam)] { HandoffCommand(command); });
                return 0;
            case IDM_CLOSE1:
                Call([this] { Close1Click(this); });
                return 0;
            case IDM_RESTARTADMIN1:  // also without the menu item, for the tests under Wine
                Call([this] { RestartAsAdministrator1Click(this); });
                return 0;
            case IDM_TUTORIAL1:
                Call([this] { Tutorial1Click(this); });
                return 0;
            case IDM_ABOUT1:
                Call([this] { About1Click(this); });
                return 0;
            default:
                break;
            }
        }
        break;
    default:
        if (FindDialog1.HandleMessage(message, lParam))
            return 0;
        break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

void TForm1::FormCreate(void* /*Sender*/) { tmrDefault.SetEnabled(true); }

void TForm1::tmrDefaultTimer(void* /*Sender*/)
{
    tmrDefault.SetEnabled(false);
    Application.SetCursor(crHourGlass);
    Win32KeyStore store;
    Win32NameOrder order;
    try {
        // The pointer may come over the window only while the scan runs.
        RunRegistrationScan(nodes_, store, order, *this, 0, {MonotonicMicroseconds},
                            [](std::size_t, std::size_t) { Application.KeepCursorShown(); });
    } catch (...) {
        // An error ends the scan: the entries found so far are still shown and
        // the window stays usable; the error goes on to the report.
        ShowScanResult();
        throw;
    }
    ShowScanResult();
}

void TForm1::ShowScanResult()
{
    while (nodes_.UpdateCount() > 0)
        nodes_.EndUpdate();
    Panel2.SetVisible(false);
    Application.SetCursor(crDefault);
    if (offersRestart_)
        SetStatusText(std::string(Text(TextId::StatusNotAdministrator)));
}

void TForm1::Close1Click(void* /*Sender*/) { Close(); }

void TForm1::SetStatusText(const std::string& text)
{
    ::SendMessageW(StatusBar1_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(WidenText(text).c_str()));
}

bool TForm1::ServerPathExists(const std::string& serverPath, RegistryView view)
{
    return servers_.ServerPathExists(serverPath, view);
}

}  // namespace qob
