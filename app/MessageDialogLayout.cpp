#include "app/MessageDialogLayout.h"

#include <algorithm>
#include <cctype>

#include "catalogue/Utf8.h"

namespace qob {

namespace {

const ButtonInfo kButtons[kButtonCount] = {
    {"Yes", "はい(&Y)", mrYes},
    {"No", "いいえ(&N)", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "ｷｬﾝｾﾙ", mrCancel},
    {"Abort", "中止(&A)", mrAbort},
    {"Retry", "再試行(&R)", mrRetry},
    {"Ignore", "無視(&I)", mrIgnore},
    {"All", "すべて", mrAll},
    {"NoToAll", "すべていいえ(&O)", mrNoToAll},
    {"YesToAll", "すべてはい(&E)", mrYesToAll},
    {"Help", "ﾍﾙﾌﾟ(&H)", mrNone},
};

// Icon numbers: IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION.
const KindInfo kKinds[5] = {
    {"警告", 32515},
    {"ｴﾗｰ", 32513},
    {"情報", 32516},
    {"確認", 32514},
    {nullptr, 0},
};

bool Has(TMsgDlgButtons buttons, TMsgDlgBtn button) { return (buttons & ButtonBit(button)) != 0; }

int FirstPresent(TMsgDlgButtons buttons, std::initializer_list<TMsgDlgBtn> order)
{
    for (TMsgDlgBtn button : order)
        if (Has(buttons, button))
            return button;
    return -1;
}

}  // namespace

const ButtonInfo& ButtonInfoOf(TMsgDlgBtn button) { return kButtons[button]; }

const KindInfo& KindInfoOf(int kind) { return kKinds[kind >= 0 && kind < 4 ? kind : mtCustom]; }

std::vector<TMsgDlgBtn> ButtonsOf(TMsgDlgButtons buttons)
{
    std::vector<TMsgDlgBtn> result;
    for (int bit = 0; bit < kButtonCount; ++bit)
        if (Has(buttons, static_cast<TMsgDlgBtn>(bit)))
            result.push_back(static_cast<TMsgDlgBtn>(bit));
    return result;
}

int DefaultButtonOf(TMsgDlgButtons buttons) { return FirstPresent(buttons, {mbOK, mbYes, mbRetry}); }

int CancelButtonOf(TMsgDlgButtons buttons) { return FirstPresent(buttons, {mbCancel, mbNo, mbOK}); }

char AcceleratorOf(const std::string& caption)
{
    for (std::size_t i = 0; i < caption.size(); i += CharLength(caption, i)) {
        if (caption[i] != '&' || i + 1 >= caption.size())
            continue;
        ++i;  // the character after "&"
        if (caption[i] == '&')
            continue;  // "&&" is a plain "&"
        const auto c = static_cast<unsigned char>(caption[i]);
        return c < 0x80 ? static_cast<char>(std::toupper(c)) : 0;
    }
    return 0;
}

int CaptionWidths::Width(TMsgDlgBtn button, const std::function<int(const char*)>& measure)
{
    if (!measured_[button]) {
        widths_[button] = measure(kButtons[button].caption);
        measured_[button] = true;
    }
    return widths_[button];
}

DialogLayout LayoutDialog(const DialogMetrics& m, const DialogContent& c)
{
    DialogLayout layout;
    int textLeft = m.marginX;
    int textHeight = c.textHeight;
    if (c.hasIcon) {
        layout.icon = {m.marginX, m.marginY, m.iconSize, m.iconSize};
        textLeft += m.iconSize + m.iconGap;
        textHeight = std::max(textHeight, m.iconSize);
    }
    layout.text = {textLeft, m.marginY, c.textWidth, textHeight};

    const int n = c.buttonCount;
    const int buttonWidth = std::max(m.buttonMinWidth, c.widestCaption + m.captionPadding);
    const int rowWidth = n > 0 ? n * buttonWidth + (n - 1) * m.buttonGap : 0;

    const int contentWidth = std::max(textLeft - m.marginX + c.textWidth, rowWidth);
    layout.clientWidth = std::max(contentWidth + 2 * m.marginX, c.minClientWidth);

    int bottom = layout.text.top + layout.text.height;
    if (n > 0) {
        const int top = bottom + m.textButtonGap;
        int left = (layout.clientWidth - rowWidth) / 2;
        for (int i = 0; i < n; ++i, left += buttonWidth + m.buttonGap)
            layout.buttons.push_back({left, top, buttonWidth, m.buttonHeight});
        bottom = top + m.buttonHeight;
    }
    layout.clientHeight = bottom + m.marginY;
    return layout;
}

LayoutPoint CentreOnScreen(int screenWidth, int screenHeight, int width, int height)
{
    // Integer division rounds toward zero.
    return {std::max(0, (screenWidth - width) / 2), std::max(0, (screenHeight - height) / 2)};
}

}  // namespace qob
