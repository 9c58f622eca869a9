// The tree view and the timer on real windows, under Wine.
#include "forms/Application.h"
#include "forms/FormControls.h"
#include "forms/TreeViewControl.h"
#include "tests/e2e/TreeHost.h"
#include "catalogue/TreeModel.h"
#include "catalogue/Win32Text.h"
#include "extras/frmAbout.h"
#include "sections/frmOtherBroken.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

namespace qob {
namespace {

HWND MakeHost() { return e2e::MakeHostWindow(400, 300, WS_OVERLAPPEDWINDOW); }

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.Initialize(::GetModuleHandleW(nullptr));
        host_ = std::make_unique<e2e::TreeHost>(400, 300);
        ASSERT_NE(host_->Window(), nullptr);
        nodes_.AttachView(&host_->View());
        // A: description, CLSID with its identifier; B: description, TypeLib with two values.
        nodes_.BeginUpdate();
        a_ = nodes_.AddChild(nullptr, "A");
        nodes_.AddChild(a_, "description of A");
        TTreeNode* group = nodes_.AddChild(a_, "CLSID");
        aValue_ = nodes_.AddChild(group, "{A}");
        nodes_.SetIcon(*a_, kIconFaultyEntry);
        nodes_.SetIcon(*group, kIconFaultyGroup);
        b_ = nodes_.AddChild(nullptr, "B");
        nodes_.AddChild(b_, "");
        bGroup_ = nodes_.AddChild(b_, "TypeLib");
        nodes_.AddChild(bGroup_, "{LIB}");
        bValue_ = nodes_.AddChild(bGroup_, "help");
        nodes_.EndUpdate();
    }
    void TearDown() override
    {
        nodes_.AttachView(nullptr);
    }

    HWND Tree() const { return host_->View().Handle(); }
    LRESULT Count() const { return ::SendMessageW(Tree(), TVM_GETCOUNT, 0, 0); }
    // The node's item as the control gives it; `text` gets its text as UTF-8.
    TVITEMW Item(const TTreeNode& node, std::string& text) const
    {
        wchar_t buffer[260] = {};
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
        item.stateMask = TVIS_EXPANDED;
        item.hItem = static_cast<HTREEITEM>(node.viewItem);
        item.pszText = buffer;
        item.cchTextMax = static_cast<int>(std::size(buffer));
        ::SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        text = NarrowText(buffer);
        return item;
    }
    // The text the tree's handler writes for the node into a buffer of
    // `capacity` characters, asked as the control asks it.
    std::wstring DisplayText(TTreeNode& node, int capacity)
    {
        std::wstring buffer(static_cast<std::size_t>(capacity) + 1, L'#');
        NMTVDISPINFOW info{};
        info.hdr.hwndFrom = Tree();
        info.hdr.code = TVN_GETDISPINFOW;
        info.item.mask = TVIF_TEXT;
        info.item.lParam = reinterpret_cast<LPARAM>(&node);
        info.item.pszText = buffer.data();
        info.item.cchTextMax = capacity;
        LRESULT result = 0;
        EXPECT_TRUE(host_->View().HandleNotify(info.hdr, result));
        EXPECT_EQ(buffer.back(), L'#') << "written past the buffer";
        return buffer.c_str();
    }

    std::unique_ptr<e2e::TreeHost> host_;
    TTreeNodes nodes_;
    TTreeNode* a_ = nullptr;
    TTreeNode* aValue_ = nullptr;
    TTreeNode* b_ = nullptr;
    TTreeNode* bGroup_ = nullptr;
    TTreeNode* bValue_ = nullptr;
};

TEST_F(TreeViewTest, HoldsOnlyTheEntriesUntilOneIsOpened)
{
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(aValue_->viewItem, nullptr);
    std::string text;
    TVITEMW item = Item(*a_, text);
    EXPECT_EQ(text, "A");
    EXPECT_EQ(item.iImage, kIconFaultyEntry);
    EXPECT_EQ(item.iSelectedImage, kIconFaultyEntry);
    EXPECT_EQ(item.cChildren, 1);
    EXPECT_FALSE(item.state & TVIS_EXPANDED);
    EXPECT_EQ(nodes_.Selected(), nullptr);

    ::SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a_->viewItem));
    EXPECT_EQ(Count(), 4);  // A's description and group; the group's value waits
    TTreeNode* group = a_->Item(1);
    item = Item(*group, text);
    EXPECT_EQ(text, "CLSID");
    EXPECT_EQ(item.iImage, kIconFaultyGroup);
    EXPECT_EQ(item.cChildren, 1);
    item = Item(*a_->Item(0), text);
    EXPECT_EQ(text, "description of A");
    EXPECT_EQ(item.cChildren, 0);
    EXPECT_EQ(item.iImage, kIconNormal);
}

TEST_F(TreeViewTest, SelectAndScrollOpenTheAncestorsOfADeepNode)
{
    nodes_.Select(*bValue_);
    EXPECT_EQ(nodes_.Selected(), bValue_);
    std::string text;
    EXPECT_TRUE(Item(*b_, text).state & TVIS_EXPANDED);
    EXPECT_TRUE(Item(*bGroup_, text).state & TVIS_EXPANDED);

    for (int i = 0; i < 40; ++i)  // enough lines below it for the scroll to reach it
        nodes_.AddChild(nullptr, std::to_string(i) + "Z");
    nodes_.ScrollToTop(*aValue_);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(::SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)),
              aValue_->viewItem);
    EXPECT_TRUE(Item(*a_, text).state & TVIS_EXPANDED);
    EXPECT_EQ(nodes_.Selected(), bValue_);  // scrolling does not select
}

TEST_F(TreeViewTest, DeletingAnEntryTakesItsItemsAndKeepsTheRest)
{
    nodes_.Select(*aValue_);
    nodes_.Select(*bValue_);
    ASSERT_EQ(Count(), 9);
    nodes_.Delete(a_);
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(host_->View().ItemCount(), 5u);
    EXPECT_EQ(nodes_.Selected(), bValue_);
    // An entry that was never opened goes with its whole subtree too.
    nodes_.AddChild(nullptr, "C");
    TTreeNode* c = nodes_.TopLevel().back().get();
    nodes_.AddChild(c, "description of C");
    EXPECT_EQ(Count(), 6);
    nodes_.Delete(c);
    EXPECT_EQ(Count(), 5);
    nodes_.Delete(b_);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(nodes_.Selected(), nullptr);
}

TEST_F(TreeViewTest, TextsOutsideAnyCodePageReachTheControlWhole)
{
    // Japanese, Korean, a German umlaut and a character beyond the basic plane.
    const std::string name = "表計算.文書 한국 Jürgen \xF0\x9F\x98\x80";
    TTreeNode* c = nodes_.AddChild(nullptr, name);
    std::string text;
    Item(*c, text);
    EXPECT_EQ(text, name);
}

TEST_F(TreeViewTest, ALongTextIsCutOnAWholeCharacter)
{
    TTreeNode* c = nodes_.AddChild(nullptr, "表示ab\xF0\x9F\x98\x80z");
    EXPECT_EQ(DisplayText(*c, 10), L"表示ab\U0001F600z");
    EXPECT_EQ(DisplayText(*c, 6), L"表示ab");  // not the first half of the pair
    EXPECT_EQ(DisplayText(*c, 7), L"表示ab\U0001F600");
    EXPECT_EQ(DisplayText(*c, 2), L"表");
    EXPECT_EQ(DisplayText(*c, 1), L"");
}

TEST_F(TreeViewTest, ANodeAddedUnderAnOpenedNodeIsShownAtOnce)
{
    nodes_.Select(*bValue_);
    const LRESULT before = Count();
    TTreeNode* added = nodes_.AddChild(bGroup_, "added");
    EXPECT_NE(added->viewItem, nullptr);
    EXPECT_EQ(Count(), before + 1);
    // Under an entry that was never opened it waits for the opening.
    TTreeNode* waiting = nodes_.AddChild(a_, "waiting");
    EXPECT_EQ(waiting->viewItem, nullptr);
    EXPECT_EQ(Count(), before + 1);
}

TEST(TimerTest, ARefusedTimerIsAnError)
{
    Application.Initialize(::GetModuleHandleW(nullptr));
    TTimer timer(1, 10);
    HWND host = MakeHost();
    ::DestroyWindow(host);  // a handle the system no longer knows
    timer.SetOwner(host);
    try {
        timer.SetEnabled(true);
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.what(), Text(TextId::ErrorNoTimer));
    }
    EXPECT_FALSE(timer.Enabled());
}

TEST(TimerTest, TicksUntilDisabled)
{
    Application.Initialize(::GetModuleHandleW(nullptr));
    HWND host = MakeHost();
    TTimer timer(7, 10);
    timer.SetOwner(host);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 3)
            timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    const ULONGLONG end = ::GetTickCount64() + 5000;
    MSG msg;
    while (timer.Enabled() && ::GetTickCount64() < end) {
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == host)
                timer.Tick(msg.wParam);
            else
                ::DispatchMessageW(&msg);
        } else {
            ::Sleep(1);
        }
    }
    EXPECT_EQ(ticks, 3);
    ::DestroyWindow(host);
}

// What the About box's timer does on each tick while the box is open.
std::function<void(int)> g_onTick;
int g_ticks = 0;
void CALLBACK AboutTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_onTick)
        g_onTick(++g_ticks);
}

// Runs the About box modally with a 10 ms timer calling `onTick`.
int ShowAbout(TfrmAbout& box, std::function<void(int)> onTick)
{
    g_ticks = 0;
    g_onTick = std::move(onTick);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, AboutTick);
    const int result = box.ShowModal();
    ::KillTimer(nullptr, timer);
    g_onTick = nullptr;
    return result;
}

TEST(AboutBoxTest, OkFromAFieldTwoFromTheTitleBarOrTheEnd)
{
    Application.Initialize(::GetModuleHandleW(nullptr));
    HWND host = MakeHost();
    ::ShowWindow(host, SW_SHOW);
    Application.SetMainWindow(host);
    {
        TfrmAbout box;
        HWND edit2 = ::GetDlgItem(box.Handle(), IDC_ABOUT_EDIT2);
        ASSERT_NE(edit2, nullptr);
        auto key = [](HWND to, WPARAM vk) { ::PostMessageW(to, WM_KEYDOWN, vk, 1); };

        // Escape is ignored, Enter in a field is OK; timers tick, the main
        // window is disabled and the program's cursor is the default meanwhile.
        Application.SetCursor(crAppStart);
        bool disabled = false, arrow = false;
        int result = ShowAbout(box, [&](int tick) {
            if (tick == 2) {
                disabled = !::IsWindowEnabled(host) && box.Visible();
                arrow = Application.Cursor() == crDefault;
                key(edit2, VK_ESCAPE);
            } else if (tick == 4) {
                key(edit2, VK_RETURN);
            }
        });
        EXPECT_EQ(result, 1);
        EXPECT_GE(g_ticks, 4);
        EXPECT_TRUE(disabled && arrow);
        EXPECT_FALSE(box.Visible());
        EXPECT_TRUE(::IsWindowEnabled(host));
        EXPECT_EQ(Application.Cursor(), crAppStart);
        Application.SetCursor(crDefault);

        // The close box (WM_CLOSE) gives 2 and only hides the box.
        result = ShowAbout(box, [&](int tick) {
            if (tick == 2)
                ::PostMessageW(box.Handle(), WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(result, 2);
        EXPECT_NE(box.Handle(), nullptr);

        // The program ending under the box: 2, and the main loop is told too.
        result = ShowAbout(box, [&](int tick) {
            if (tick == 2)
                ::PostQuitMessage(0);
        });
        EXPECT_EQ(result, 2);
        MSG msg;
        EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    Application.SetMainWindow(nullptr);
    ::DestroyWindow(host);
}

// Runs the message loop until the condition holds or the seconds pass.
bool PumpUntil(const std::function<bool()>& condition, int seconds)
{
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    MSG msg;
    while (!condition() && ::GetTickCount64() < end) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
    return condition();
}

TEST(OtherBrokenWindowTest, ClosingStopsTheExaminationAndOpeningStartsAFreshOne)
{
    Application.Initialize(::GetModuleHandleW(nullptr));
    TTreeNodes nodes;
    auto status = [](const TfrmOtherBroken& form) {
        HWND bar = ::FindWindowExW(form.Handle(), nullptr, STATUSCLASSNAMEW, nullptr);
        wchar_t text[512] = {};
        ::SendMessageW(bar, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        return NarrowText(text);
    };
    const std::string pattern(Text(TextId::OtherBrokenFound));
    const std::string found = pattern.substr(0, pattern.find("%1"));
    {
        TfrmOtherBroken form(nodes, nullptr);
        // Closed at once, while it examines: hidden, its thread joined.
        form.Open();
        form.Close();
        EXPECT_TRUE(PumpUntil([&] { return !form.Visible(); }, 10));

        form.Open();
        EXPECT_TRUE(PumpUntil([&] { return status(form).rfind(found, 0) == 0; }, 60)) << status(form);
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(form.Handle(), IDC_OTHER_DELETE)));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(form.Handle(), IDC_OTHER_CANCEL)));

        // Gone while it examines: the destructor waits for the thread.
        form.Close();
        PumpUntil([&] { return !form.Visible(); }, 10);
        form.Open();
    }
}

// A window moved to a screen of another scale: it takes the rectangle the
// system suggests and lays itself out again there, with its fonts and
// pictures made again (here for the same DPI, the one this screen has).
TEST(DpiChangeTest, WindowsTakeTheSuggestedRectangleAndLayThemselvesOut)
{
    Application.Initialize(::GetModuleHandleW(nullptr));
    auto moveToAnotherScreen = [](HWND window, RECT suggested) {
        const UINT dpi = ::GetDpiForWindow(window);
        ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT now{};
        ::GetWindowRect(window, &now);
        return now.left == suggested.left && now.top == suggested.top && now.right == suggested.right &&
               now.bottom == suggested.bottom;
    };
    auto box = [](HWND parent, int id) {
        RECT r{};
        HWND control = ::GetDlgItem(parent, id);
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    TTreeNodes nodes;
    TfrmOtherBroken other(nodes, nullptr);
    ASSERT_TRUE(moveToAnotherScreen(other.Handle(), RECT{10, 20, 910, 520}));
    // The Close button keeps to the lower right corner of the new size.
    RECT client{};
    ::GetClientRect(other.Handle(), &client);
    const RECT close = box(other.Handle(), IDC_OTHER_CLOSE);
    const int scale = static_cast<int>(::GetDpiForWindow(other.Handle()));
    EXPECT_EQ(close.right, client.right - MulDiv(8, scale, 96));
    EXPECT_LT(close.bottom, client.bottom);

    TfrmAbout about;
    ASSERT_TRUE(moveToAnotherScreen(about.Handle(), RECT{30, 40, 400, 260}));
    // The OK button at its place of 100%, scaled.
    const RECT ok = box(about.Handle(), IDC_ABOUT_BITBTN1);
    EXPECT_EQ(ok.left, MulDiv(144, scale, 96));
    EXPECT_EQ(ok.right - ok.left, MulDiv(75, scale, 96));
}

}  // namespace
}  // namespace qob
