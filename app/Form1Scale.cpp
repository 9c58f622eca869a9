// The main window at its screen's scale: its fonts and icon, the heights of
// its bars, the places of the toolbar's and the wait panel's parts, all
// written for 100% and scaled; and all of it made again when the window
// comes to a screen of another scale.
#include "app/Form1.h"

#include "forms/WindowFonts.h"
#include "resources/ResourceIds.h"

#include <algorithm>

namespace qob {

namespace {

static_assert(QOB_PICTURE_150(0) == kPictureSizeStep && QOB_PICTURE_200(0) == 2 * kPictureSizeStep,
              "the resource script numbers the larger pictures as the windows look for them");

constexpr int kToolbarHeight = 33;
constexpr int kCaptionStripHeight = 17;
constexpr int kStatusBarHeight = 19;
constexpr int kTreeIndent = 19;
constexpr int kIconSide = 32;

RECT Box(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

}  // namespace

void TForm1::MakeFontsAndIcon()
{
    font_ = MakeFont(FontSize::Text, Dpi());
    titleFont_ = MakeFont(FontSize::Title, Dpi());
    icon_ = LoadProgramIcon(IDI_APPLICATION_ICON, Scale(kIconSide));
}

int TForm1::TextHeight() const
{
    HDC dc = ::GetDC(Handle());
    if (!dc)
        return 0;
    TEXTMETRICW metrics{};
    {
        SelectedObject font(dc, font_.get());
        ::GetTextMetricsW(dc, &metrics);
    }
    ::ReleaseDC(Handle(), dc);
    return metrics.tmHeight;
}

int TForm1::ToolbarHeight() const { return Scale(kToolbarHeight); }

int TForm1::TreeIndent() const { return Scale(kTreeIndent); }

// The strips are as high as their text needs where a system's font is
// larger than the scale makes them.
int TForm1::CaptionStripHeight() const { return std::max(Scale(kCaptionStripHeight), TextHeight() + Scale(3)); }

int TForm1::StatusBarHeight() const { return std::max(Scale(kStatusBarHeight), TextHeight() + Scale(5)); }

void TForm1::PlaceToolbar(int width)
{
    Bevel1_->SetBounds(RECT{0, 0, width, Scale(12)});
    Bevel2_->SetBounds(Scale(Box(119, 1, 10, 33)));
    btnFind_->SetBounds(Scale(Box(6, 5, 25, 25)));
    btnRegedit_->SetBounds(Scale(Box(31, 5, 25, 25)));
    btnDelete_->SetBounds(Scale(Box(56, 5, 25, 25)));
    btnHelp_->SetBounds(Scale(Box(88, 5, 25, 25)));
    Panel1_.ControlsMoved();
}

void TForm1::PlaceWaitPanel()
{
    const RECT panel = Scale(Box(136, 128, 265, 81));
    Panel2.SetBounds(panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top);
    Image1_->SetBounds(Scale(Box(48, 16, kIconSide, kIconSide)));
    Label1_->SetBounds(Scale(Box(88, 16, 0, 0)));
    Label2_->SetBounds(Scale(Box(96, 64, 0, 0)));
    Bevel3_->SetBounds(Scale(Box(0, 41, 265, 15)));
    Panel2.ControlsMoved();
}

void TForm1::DpiChanged(int /*previousDpi*/)
{
    if (!trvRegKey_.Handle())
        return;
    // What the controls still use goes only once they have the new ones.
    const FontHandle oldFont = std::move(font_), oldTitleFont = std::move(titleFont_);
    const IconHandle oldIcon = std::move(icon_);
    MakeFontsAndIcon();
    const auto font = reinterpret_cast<WPARAM>(font_.get());
    ::SendMessageW(Handle(), WM_SETFONT, font, FALSE);
    ::SendMessageW(StatusBar1_, WM_SETFONT, font, TRUE);
    Panel4_.SetFont(font_.get());
    Label1_->SetFont(titleFont_.get());
    Label2_->SetFont(font_.get());
    Image1_->SetIcon(icon_.get());

    HWND tree = trvRegKey_.Handle();
    ::SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    LoadNodeIcons();
    ::SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(ImageList1_.get()));
    ::SendMessageW(tree, TVM_SETINDENT, static_cast<WPARAM>(TreeIndent()), 0);
    ::SendMessageW(tree, WM_SETFONT, font, TRUE);

    for (TSpeedButton* button : {btnFind_.get(), btnRegedit_.get(), btnDelete_.get(), btnHelp_.get()})
        button->LoadGlyph(Dpi());
    RedrawShield();
    RECT client;
    ::GetClientRect(Handle(), &client);
    PlaceToolbar(client.right);
    PlaceWaitPanel();
    AlignControls();
    AlignPanel3();
}

}  // namespace qob
