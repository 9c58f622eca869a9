#include "app/MessageDialogLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace qob {
namespace {

TEST(MessageDialogButtons, TableInBitOrder)
{
    const struct {
        TMsgDlgBtn button;
        const char* caption;
        int result;
    } expected[] = {
        {mbYes, "はい(&Y)", 6},           {mbNo, "いいえ(&N)", 7},       {mbOK, "OK", 1},
        {mbCancel, "ｷｬﾝｾﾙ", 2},            {mbAbort, "中止(&A)", 3},      {mbRetry, "再試行(&R)", 4},
        {mbIgnore, "無視(&I)", 5},         {mbAll, "すべて", 8},          {mbNoToAll, "すべていいえ(&O)", 9},
        {mbYesToAll, "すべてはい(&E)", 10}, {mbHelp, "ﾍﾙﾌﾟ(&H)", 0},
    };
    for (const auto& e : expected) {
        EXPECT_STREQ(ButtonInfoOf(e.button).caption, e.caption) << e.button;
        EXPECT_EQ(ButtonInfoOf(e.button).result, e.result) << e.button;
    }
    EXPECT_EQ(mbYesNo, 3);
    EXPECT_EQ(mbOKOnly, 4);
    EXPECT_EQ(ButtonBit(mbHelp), 1024);
    // Bits 11 to 15 are not buttons.
    EXPECT_EQ(ButtonsOf(0xF800 | ButtonBit(mbNo) | ButtonBit(mbYes)), (std::vector<TMsgDlgBtn>{mbYes, mbNo}));
    EXPECT_TRUE(ButtonsOf(0).empty());
}

TEST(MessageDialogButtons, KindsCaptionsAndIcons)
{
    EXPECT_STREQ(KindInfoOf(mtWarning).caption, "警告");
    EXPECT_EQ(KindInfoOf(mtWarning).icon, 32515);
    EXPECT_STREQ(KindInfoOf(mtError).caption, "ｴﾗｰ");
    EXPECT_EQ(KindInfoOf(mtError).icon, 32513);
    EXPECT_STREQ(KindInfoOf(mtInformation).caption, "情報");
    EXPECT_EQ(KindInfoOf(mtInformation).icon, 32516);
    EXPECT_STREQ(KindInfoOf(mtConfirmation).caption, "確認");
    EXPECT_EQ(KindInfoOf(mtConfirmation).icon, 32514);
    EXPECT_EQ(KindInfoOf(mtCustom).caption, nullptr);
    EXPECT_EQ(KindInfoOf(mtCustom).icon, 0);
    EXPECT_EQ(KindInfoOf(9).icon, 0);
    EXPECT_EQ(KindInfoOf(-1).icon, 0);
}

TEST(MessageDialogButtons, DefaultAndCancelChoice)
{
    EXPECT_EQ(DefaultButtonOf(mbYesNo), mbYes);
    EXPECT_EQ(CancelButtonOf(mbYesNo), mbNo);
    EXPECT_EQ(DefaultButtonOf(mbOKOnly), mbOK);
    EXPECT_EQ(CancelButtonOf(mbOKOnly), mbOK);
    const TMsgDlgButtons all = 0x07FF;
    EXPECT_EQ(DefaultButtonOf(all), mbOK);
    EXPECT_EQ(CancelButtonOf(all), mbCancel);
    EXPECT_EQ(DefaultButtonOf(ButtonBit(mbAbort) | ButtonBit(mbRetry) | ButtonBit(mbIgnore)), mbRetry);
    EXPECT_EQ(CancelButtonOf(ButtonBit(mbAbort) | ButtonBit(mbRetry) | ButtonBit(mbIgnore)), -1);
    EXPECT_EQ(DefaultButtonOf(ButtonBit(mbYes) | ButtonBit(mbOK)), mbOK);
    EXPECT_EQ(CancelButtonOf(ButtonBit(mbNo) | ButtonBit(mbCancel)), mbCancel);
    EXPECT_EQ(DefaultButtonOf(0), -1);
    EXPECT_EQ(CancelButtonOf(0), -1);
}

TEST(MessageDialogButtons, Accelerators)
{
    EXPECT_EQ(AcceleratorOf("はい(&Y)"), 'Y');
    EXPECT_EQ(AcceleratorOf("すべていいえ(&O)"), 'O');
    EXPECT_EQ(AcceleratorOf("&yes"), 'Y');
    EXPECT_EQ(AcceleratorOf("OK"), 0);
    EXPECT_EQ(AcceleratorOf("ｷｬﾝｾﾙ"), 0);
    EXPECT_EQ(AcceleratorOf("a&&b"), 0);
    EXPECT_EQ(AcceleratorOf("a&&b&c"), 'C');
    EXPECT_EQ(AcceleratorOf("end&"), 0);
}

TEST(MessageDialogButtons, CaptionMeasuredOncePerButton)
{
    CaptionWidths widths;
    int calls = 0;
    auto measure = [&](const char* caption) {
        ++calls;
        return static_cast<int>(std::string(caption).size()) * 10;
    };
    EXPECT_EQ(widths.Width(mbYes, measure), 80);
    EXPECT_EQ(widths.Width(mbYes, [](const char*) { return 999; }), 80);  // kept
    EXPECT_EQ(widths.Width(mbOK, measure), 20);
    EXPECT_EQ(calls, 2);
}

DialogMetrics Metrics()
{
    DialogMetrics m;
    m.marginX = 12;
    m.marginY = 10;
    m.iconSize = 32;
    m.iconGap = 12;
    m.textButtonGap = 15;
    m.buttonHeight = 21;
    m.buttonMinWidth = 75;
    m.buttonGap = 6;
    m.captionPadding = 12;
    return m;
}

TEST(MessageDialogLayout, IconTextAndCentredButtonRow)
{
    DialogContent c;
    c.hasIcon = true;
    c.textWidth = 200;
    c.textHeight = 12;
    c.buttonCount = 2;
    c.widestCaption = 50;  // below the minimum with its padding
    const DialogLayout l = LayoutDialog(Metrics(), c);
    EXPECT_EQ(l.icon, (LayoutRect{12, 10, 32, 32}));
    // Never lower than the icon.
    EXPECT_EQ(l.text, (LayoutRect{56, 10, 200, 32}));
    EXPECT_EQ(l.clientWidth, 12 + 32 + 12 + 200 + 12);
    ASSERT_EQ(l.buttons.size(), 2u);
    const int row = 2 * 75 + 6;
    EXPECT_EQ(l.buttons[0], (LayoutRect{(268 - row) / 2, 10 + 32 + 15, 75, 21}));
    EXPECT_EQ(l.buttons[1].left, l.buttons[0].left + 75 + 6);
    EXPECT_EQ(l.clientHeight, 10 + 32 + 15 + 21 + 10);
}

TEST(MessageDialogLayout, WideCaptionsWidenEveryButtonAndTheDialog)
{
    DialogContent c;
    c.hasIcon = true;
    c.textWidth = 20;
    c.textHeight = 100;  // taller than the icon
    c.buttonCount = 3;
    c.widestCaption = 90;
    const DialogLayout l = LayoutDialog(Metrics(), c);
    EXPECT_EQ(l.text.height, 100);
    for (const LayoutRect& b : l.buttons)
        EXPECT_EQ(b.width, 102);
    const int row = 3 * 102 + 2 * 6;
    EXPECT_EQ(l.clientWidth, row + 24);
    EXPECT_EQ(l.buttons.front().left, 12);
    EXPECT_EQ(l.buttons.back().left + l.buttons.back().width, l.clientWidth - 12);
    EXPECT_EQ(l.buttons[0].top, 10 + 100 + 15);
}

TEST(MessageDialogLayout, CustomKindStartsAtTheMarginAndEmptySetHasNoRow)
{
    DialogContent c;
    c.textWidth = 100;
    c.textHeight = 24;
    const DialogLayout l = LayoutDialog(Metrics(), c);
    EXPECT_EQ(l.icon, LayoutRect{});
    EXPECT_EQ(l.text, (LayoutRect{12, 10, 100, 24}));
    EXPECT_TRUE(l.buttons.empty());
    EXPECT_EQ(l.clientWidth, 124);
    EXPECT_EQ(l.clientHeight, 10 + 24 + 10);

    c.minClientWidth = 300;  // a long title
    EXPECT_EQ(LayoutDialog(Metrics(), c).clientWidth, 300);
}

TEST(MessageDialogLayout, CentredOnTheScreen)
{
    EXPECT_EQ(CentreOnScreen(1024, 768, 301, 100), (LayoutPoint{361, 334}));
    EXPECT_EQ(CentreOnScreen(1024, 768, 1025, 800), (LayoutPoint{0, 0}));
}

}  // namespace
}  // namespace qob
