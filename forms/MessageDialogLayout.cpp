#include "forms/MessageDialogLayout.h"

#include <algorithm>
#include <cctype>

namespace qob {

namespace {

const ButtonInfo kButtons[kButtonCount] = {
    {"Yes", TextId::ButtonYes, mrYes},
    {"No", TextId::ButtonNo, mrNo},
    {"OK", TextId::ButtonOk, mrOk},
    {"Cancel", TextId::ButtonCancel, mrCancel},
    {"Abort", TextId::ButtonAbort, mrAbort},
    {"Retry", TextId::ButtonRetry, mrRetry},
    {"Ignore", TextId::ButtonIgnore, mrIgnore},
    {"All", TextId::ButtonAll, mrAll},
    {"NoToAll", TextId::ButtonNoToAll, mrNoToAll},
    {"YesToAll", TextId::ButtonYesToAll, mrYesToAll},
    {"Help", TextId::ButtonHelp, mrNone},
};

// Icon numbers: IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION.
const KindInfo kKinds[5] = {
    {TextId::DialogCaptionWarning, 32515},
    {TextId::DialogCaptionError, 32513},
    {TextId::DialogCaptionInformation, 32516},
    {TextId::DialogCaptionConfirm, 32514},
    {std::nullopt, 0},
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

std::string_view ButtonCaption(TMsgDlgBtn button) { return Text(kButtons[button].caption); }

const KindInfo& KindInfoOf(int kind) { return kKinds[kind >= 0 && kind < 4 ? kind : mtCustom]; }

std::optional<std::string_view> KindCaption(int kind)
{
    const KindInfo& info = KindInfoOf(kind);
    if (!info.caption)
        return std::nullopt;
    return Text(*info.caption);
}

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

char AcceleratorOf(std::string_view caption)
{
    // In UTF-8 no byte of a character of more than one byte is ASCII.
    for (std::size_t i = 0; i < caption.size(); ++i) {
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

int CaptionWidths::Width(TMsgDlgBtn button, int dpi, const std::function<int(std::string_view)>& measure)
{
    if (measuredAt_[button] == 0 || measuredAt_[button] != dpi) {
        widths_[button] = measure(ButtonCaption(button));
        measuredAt_[button] = dpi;
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
