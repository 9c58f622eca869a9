// What the message dialog is made of, and where its parts go (portable: no
// <windows.h>). MessageDialog.cpp turns this into windows.
#pragma once

#include "interaction/Interaction.h"
#include "texts/Texts.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qob {

struct ButtonInfo {
    const char* name;
    TextId caption;
    int result;  // mrNone: the button does not close the dialog
};
const ButtonInfo& ButtonInfoOf(TMsgDlgBtn button);
// The button's caption in the selected language.
std::string_view ButtonCaption(TMsgDlgBtn button);

struct KindInfo {
    std::optional<TextId> caption;  // none: the application's title
    int icon;                       // system icon resource number, 0 for none
};
// Kinds outside 0..4 are taken as the custom kind.
const KindInfo& KindInfoOf(int kind);
// The kind's caption in the selected language; none for the application's title.
std::optional<std::string_view> KindCaption(int kind);

// The buttons of a set, in bit order (bits 11 to 15 are ignored).
std::vector<TMsgDlgBtn> ButtonsOf(TMsgDlgButtons buttons);
// The button Enter chooses when no button has the focus: OK, else Yes, else
// Retry; -1 when the set has none of them.
int DefaultButtonOf(TMsgDlgButtons buttons);
// The button Escape chooses: Cancel, else No, else OK; -1 when none.
int CancelButtonOf(TMsgDlgButtons buttons);
// The accelerator character of a caption ("はい(&Y)" gives 'Y'), upper-cased;
// 0 when it has none or it is not ASCII. "&&" is a plain "&".
char AcceleratorOf(std::string_view caption);

// Widths of the button captions, each measured the first time its button
// is used at a DPI and kept for the rest of the process (whose language is
// chosen before any dialog opens); a dialog at another DPI (on a screen of
// another scale) has it measured again.
class CaptionWidths {
public:
    int Width(TMsgDlgBtn button, int dpi, const std::function<int(std::string_view)>& measure);

private:
    std::array<int, kButtonCount> widths_{};
    std::array<int, kButtonCount> measuredAt_{};  // 0: not measured
};

// Spacing of the dialog, in pixels (derived from the font in use).
struct DialogMetrics {
    int marginX = 0, marginY = 0;  // around the content
    int iconSize = 32;
    int iconGap = 0;          // between the icon and the text
    int textButtonGap = 0;    // between the text and the button row
    int buttonHeight = 0;
    int buttonMinWidth = 0;
    int buttonGap = 0;        // between two buttons
    int captionPadding = 0;   // added to the widest caption
};

struct LayoutRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const LayoutRect&) const = default;
};

struct DialogContent {
    bool hasIcon = false;
    int textWidth = 0, textHeight = 0;  // the wrapped text as measured
    int buttonCount = 0;
    int widestCaption = 0;
    int minClientWidth = 0;  // so that the title bar's caption stays readable
};

struct DialogLayout {
    LayoutRect icon;  // empty without an icon
    LayoutRect text;
    std::vector<LayoutRect> buttons;  // left to right
    int clientWidth = 0, clientHeight = 0;
};
DialogLayout LayoutDialog(const DialogMetrics& metrics, const DialogContent& content);

// Top-left corner that centres a window of the given outer size on the
// screen: rounded toward zero, never negative.
struct LayoutPoint {
    int x = 0, y = 0;
    bool operator==(const LayoutPoint&) const = default;
};
LayoutPoint CentreOnScreen(int screenWidth, int screenHeight, int width, int height);

}  // namespace qob
