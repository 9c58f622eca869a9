#include "forms/DpiScale.h"
#include "forms/MessageDialogLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace qob {
namespace {

// A message dialog as the user meets it.
struct SeenDialog {
    std::string title;  // "" for the program's own title
    bool icon = false;
    std::vector<std::string> buttons;  // captions, left to right
    std::vector<int> answers;          // what each button returns
    std::string keys;                  // each button's accelerator, '-' for none
    std::string enter, escape;         // the buttons these keys press, "" for none
    bool operator==(const SeenDialog&) const = default;
};

void PrintTo(const SeenDialog& d, std::ostream* os)
{
    *os << "title '" << d.title << "' icon " << d.icon << " buttons";
    for (const std::string& b : d.buttons)
        *os << " '" << b << "'";
    *os << " answers";
    for (int a : d.answers)
        *os << ' ' << a;
    *os << " keys '" << d.keys << "' enter '" << d.enter << "' escape '" << d.escape << "'";
}

std::string CaptionOf(int button)
{
    return button < 0 ? std::string() : std::string(ButtonCaption(static_cast<TMsgDlgBtn>(button)));
}

SeenDialog Seen(int kind, TMsgDlgButtons set)
{
    SeenDialog d;
    d.title = KindCaption(kind).value_or("");
    d.icon = KindInfoOf(kind).icon != 0;
    for (TMsgDlgBtn button : ButtonsOf(set)) {
        d.buttons.push_back(CaptionOf(button));
        d.answers.push_back(ButtonInfoOf(button).result);
        const char key = AcceleratorOf(CaptionOf(button));
        d.keys += key ? key : '-';
    }
    d.enter = CaptionOf(DefaultButtonOf(set));
    d.escape = CaptionOf(CancelButtonOf(set));
    return d;
}

TEST(MessageDialogSeen, YesNoQuestion)
{
    EXPECT_EQ(Seen(mtInformation, mbYesNo),
              (SeenDialog{"情報", true, {"はい(&Y)", "いいえ(&N)"}, {mrYes, mrNo}, "YN", "はい(&Y)", "いいえ(&N)"}));
    // The same question put as an error.
    EXPECT_EQ(Seen(mtError, mbYesNo).title, "ｴﾗｰ");
}

TEST(MessageDialogSeen, ErrorWithOK)
{
    // Enter and Escape both close it with OK.
    EXPECT_EQ(Seen(mtError, mbOKOnly), (SeenDialog{"ｴﾗｰ", true, {"OK"}, {mrOk}, "-", "OK", "OK"}));
}

TEST(MessageDialogSeen, YesNoCancelConfirmation)
{
    const TMsgDlgButtons set = mbYesNo | ButtonBit(mbCancel);
    EXPECT_EQ(Seen(mtConfirmation, set), (SeenDialog{"確認", true, {"はい(&Y)", "いいえ(&N)", "ｷｬﾝｾﾙ"},
                                                     {mrYes, mrNo, mrCancel}, "YN-", "はい(&Y)", "ｷｬﾝｾﾙ"}));
}

TEST(MessageDialogSeen, WarningWithOKAndCancel)
{
    const TMsgDlgButtons set = ButtonBit(mbCancel) | mbOKOnly;  // shown in their own order
    EXPECT_EQ(Seen(mtWarning, set),
              (SeenDialog{"警告", true, {"OK", "ｷｬﾝｾﾙ"}, {mrOk, mrCancel}, "--", "OK", "ｷｬﾝｾﾙ"}));
}

TEST(MessageDialogSeen, RetryIsEnterEscapeNothingAndHelpLeavesItOpen)
{
    const TMsgDlgButtons set = ButtonBit(mbAbort) | ButtonBit(mbRetry) | ButtonBit(mbIgnore) | ButtonBit(mbHelp);
    EXPECT_EQ(Seen(mtError, set), (SeenDialog{"ｴﾗｰ", true, {"中止(&A)", "再試行(&R)", "無視(&I)", "ﾍﾙﾌﾟ(&H)"},
                                              {mrAbort, mrRetry, mrIgnore, mrNone}, "ARIH", "再試行(&R)", ""}));
}

TEST(MessageDialogSeen, CustomKindHasTheProgramTitleAndNoIcon)
{
    for (int kind : {static_cast<int>(mtCustom), 9, -1}) {
        EXPECT_EQ(Seen(kind, mbOKOnly).title, "") << kind;
        EXPECT_FALSE(Seen(kind, mbOKOnly).icon) << kind;
    }
    // Bits above the buttons show nothing; no buttons, no keys.
    EXPECT_EQ(Seen(mtCustom, 0xF800 | mbOKOnly).buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(Seen(mtCustom, 0), (SeenDialog{"", false, {}, {}, "", "", ""}));
}

// The same dialogs for a user whose language is not Japanese.
class MessageDialogSeenInEnglish : public ::testing::Test {
protected:
    void SetUp() override { SelectLanguage(Language::English); }
    void TearDown() override { SelectLanguage(Language::Japanese); }
};

TEST_F(MessageDialogSeenInEnglish, CaptionsAndAccessKeys)
{
    EXPECT_EQ(Seen(mtConfirmation, mbYesNo | ButtonBit(mbCancel)),
              (SeenDialog{"Confirm", true, {"&Yes", "&No", "Cancel"}, {mrYes, mrNo, mrCancel}, "YN-", "&Yes",
                          "Cancel"}));
    EXPECT_EQ(Seen(mtError, mbOKOnly).title, "Error");
    EXPECT_EQ(Seen(mtInformation, mbOKOnly).title, "Information");
    EXPECT_EQ(Seen(mtWarning, mbOKOnly).title, "Warning");
    EXPECT_EQ(Seen(mtCustom, mbOKOnly).title, "");
}

TEST(MessageDialogLayout, CaptionMeasuredOncePerButton)
{
    CaptionWidths widths;
    int calls = 0;
    std::vector<std::string> measured;
    auto measure = [&](std::string_view caption) {
        ++calls;
        measured.emplace_back(caption);
        return static_cast<int>(caption.size()) * 10;
    };
    EXPECT_EQ(widths.Width(mbYes, 96, measure), 100);
    EXPECT_EQ(widths.Width(mbYes, 96, [](std::string_view) { return 999; }), 100);  // kept
    EXPECT_EQ(widths.Width(mbOK, 96, measure), 20);
    EXPECT_EQ(measured, (std::vector<std::string>{"はい(&Y)", "OK"}));
    EXPECT_EQ(calls, 2);
}

TEST(MessageDialogLayout, CaptionMeasuredAgainAtAnotherScale)
{
    CaptionWidths widths;
    EXPECT_EQ(widths.Width(mbYes, 96, [](std::string_view) { return 100; }), 100);
    // A dialog on a screen at 150% has its captions measured in its larger font.
    EXPECT_EQ(widths.Width(mbYes, 144, [](std::string_view) { return 150; }), 150);
    EXPECT_EQ(widths.Width(mbYes, 144, [](std::string_view) { return 999; }), 150);  // kept at 144
    EXPECT_EQ(widths.Width(mbYes, 96, [](std::string_view) { return 101; }), 101);
    // Another button is not measured at any scale yet.
    EXPECT_EQ(widths.Width(mbNo, 144, [](std::string_view) { return 7; }), 7);
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

int Right(const LayoutRect& r) { return r.left + r.width; }
int Bottom(const LayoutRect& r) { return r.top + r.height; }

// The buttons stand in one row below the text, left to right, equally wide
// and spaced, centred in the dialog.
void ExpectCentredRow(const DialogLayout& l, const DialogMetrics& m)
{
    ASSERT_FALSE(l.buttons.empty());
    for (std::size_t i = 0; i < l.buttons.size(); ++i) {
        EXPECT_EQ(l.buttons[i].top, Bottom(l.text) + m.textButtonGap) << i;
        EXPECT_EQ(l.buttons[i].width, l.buttons[0].width) << i;
        EXPECT_EQ(l.buttons[i].height, m.buttonHeight) << i;
        if (i > 0) {
            EXPECT_EQ(l.buttons[i].left, Right(l.buttons[i - 1]) + m.buttonGap) << i;
        }
    }
    const int leftSpace = l.buttons.front().left, rightSpace = l.clientWidth - Right(l.buttons.back());
    EXPECT_LE(std::abs(leftSpace - rightSpace), 1);
    EXPECT_GE(leftSpace, m.marginX);
    EXPECT_EQ(l.clientHeight, Bottom(l.buttons.front()) + m.marginY);
}

TEST(MessageDialogLayout, IconBesideTheTextAndTheButtonsBelow)
{
    const DialogMetrics m = Metrics();
    DialogContent c;
    c.hasIcon = true;
    c.textWidth = 200;
    c.textHeight = 12;  // one line, lower than the icon
    c.buttonCount = 2;
    c.widestCaption = 50;
    const DialogLayout l = LayoutDialog(m, c);
    EXPECT_EQ(l.icon, (LayoutRect{m.marginX, m.marginY, 32, 32}));
    EXPECT_EQ(l.text.left, Right(l.icon) + m.iconGap);
    EXPECT_EQ(l.text.top, l.icon.top);
    EXPECT_EQ(l.text.width, 200);
    EXPECT_EQ(Bottom(l.text), Bottom(l.icon));  // the row comes below the icon
    EXPECT_EQ(l.clientWidth, Right(l.text) + m.marginX);
    EXPECT_EQ(l.buttons[0].width, m.buttonMinWidth);  // short captions: the least width
    ExpectCentredRow(l, m);
}

TEST(MessageDialogLayout, WideCaptionsOrALongTitleWidenTheDialog)
{
    const DialogMetrics m = Metrics();
    DialogContent c;
    c.hasIcon = true;
    c.textWidth = 20;
    c.textHeight = 100;  // taller than the icon
    c.buttonCount = 3;
    c.widestCaption = 90;
    DialogLayout l = LayoutDialog(m, c);
    EXPECT_EQ(l.text.height, 100);
    EXPECT_EQ(l.buttons[0].width, 90 + m.captionPadding);
    EXPECT_EQ(l.buttons.front().left, m.marginX);
    EXPECT_EQ(Right(l.buttons.back()), l.clientWidth - m.marginX);
    ExpectCentredRow(l, m);

    c.minClientWidth = 600;
    l = LayoutDialog(m, c);
    EXPECT_EQ(l.clientWidth, 600);
    ExpectCentredRow(l, m);
}

TEST(MessageDialogLayout, WithoutIconOrButtonsOnlyTheText)
{
    DialogContent c;
    c.textWidth = 100;
    c.textHeight = 24;
    const DialogLayout l = LayoutDialog(Metrics(), c);
    EXPECT_EQ(l.icon, LayoutRect{});
    EXPECT_EQ(l.text, (LayoutRect{12, 10, 100, 24}));
    EXPECT_TRUE(l.buttons.empty());
    EXPECT_EQ(l.clientWidth, 12 + 100 + 12);
    EXPECT_EQ(l.clientHeight, 10 + 24 + 10);
}

TEST(MessageDialogLayout, CentredOnTheScreen)
{
    EXPECT_EQ(CentreOnScreen(1024, 768, 301, 100), (LayoutPoint{361, 334}));
    EXPECT_EQ(CentreOnScreen(1024, 768, 1025, 800), (LayoutPoint{0, 0}));
}

// The sizes of the dialog and of every window are written for 96 DPI and
// scaled to the window's DPI, rounded as MulDiv rounds.
TEST(DpiScale, SizesAtEachScale)
{
    struct Case {
        int dpi, px96, expected;
    };
    const Case cases[] = {
        {96, 17, 17},   {144, 17, 26},  {192, 17, 34},  // the caption strip
        {120, 25, 31},  {144, 25, 38},  {168, 25, 44},  // a toolbar button: 31.25, 37.5 and 43.75
        {144, 1, 2},    {144, -3, -5},  {144, 0, 0},    // halves away from zero, both ways
        {0, 33, 33},    {-5, 33, 33},                   // a DPI the system does not give: 100%
    };
    for (const Case& c : cases)
        EXPECT_EQ(DpiScale(c.dpi)(c.px96), c.expected) << c.dpi << " dpi, " << c.px96 << " px";
    EXPECT_EQ(DpiScale(0).Dpi(), 96);
}

TEST(DpiScale, SizesFromAnotherScale)
{
    // A column 150 wide at 144 DPI, its window moved to a 192-DPI screen and back.
    EXPECT_EQ(DpiScale(192).From(150, 144), 200);
    EXPECT_EQ(DpiScale(144).From(200, 192), 150);
    EXPECT_EQ(DpiScale(120).From(-17, 96), -21);  // a font's height, negative as LOGFONT has it
    EXPECT_EQ(DpiScale(144).From(150, 0), 150);   // from no DPI: kept
    // No overflow for a large size at a large DPI.
    EXPECT_EQ(DpiScale(480)(400000000), 2000000000);
}

TEST(DpiScale, PictureDrawnNearestTheScale)
{
    struct Case {
        int dpi, resource, side;
    };
    const Case cases[] = {
        {96, 200, 16},   {119, 200, 16},  {120, 1200, 24}, {144, 1200, 24},
        {167, 1200, 24}, {168, 2200, 32}, {192, 2200, 32}, {288, 2200, 32},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureResource(200, c.dpi), c.resource) << c.dpi;
        EXPECT_EQ(PictureSide(16, c.dpi), c.side) << c.dpi;
    }
}

}  // namespace
}  // namespace qob
