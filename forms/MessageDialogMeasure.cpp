#include "forms/MessageDialogMeasure.h"

#include "forms/WindowDpi.h"
#include "forms/WindowFonts.h"
#include "catalogue/Win32Text.h"

#include <algorithm>

namespace qob {

namespace {

// Measured once per button and DPI for the whole process.
CaptionWidths g_captionWidths;

// The system's message font for `dpi`, or null when the system does not
// supply it.
HFONT CreateMessageFont(int dpi, LOGFONTW* captionFont)
{
    NONCLIENTMETRICSW metrics;
    if (!SystemFontMetrics(metrics, dpi))
        return nullptr;
    if (captionFont)
        *captionFont = metrics.lfCaptionFont;
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

// A screen DC with a font selected, for measuring.
class MeasureDC {
public:
    explicit MeasureDC(HFONT font) : dc_(::GetDC(nullptr)), old_(::SelectObject(dc_, font)) {}
    ~MeasureDC()
    {
        ::SelectObject(dc_, old_);
        ::ReleaseDC(nullptr, dc_);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

SIZE MeasureText(HDC dc, const std::wstring& text, UINT format, int width)
{
    RECT rc{0, 0, width, 0};
    if (text.empty())
        return {0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_CALCRECT);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

// Spacing from the font: horizontal units of a quarter of the average
// character width, vertical units of an eighth of the character height.
DialogMetrics MetricsFor(HDC dc, int dpi)
{
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ::GetTextExtentPoint32W(dc, kAlphabet, 52, &size);
    const int cx = std::max(1, static_cast<int>((size.cx / 26 + 1) / 2));
    const int cy = std::max(1, static_cast<int>(tm.tmHeight));
    auto x = [cx](int units) { return ::MulDiv(units, cx, 4); };
    auto y = [cy](int units) { return ::MulDiv(units, cy, 8); };
    DialogMetrics m;
    m.marginX = x(8);
    m.marginY = y(8);
    m.iconSize = DpiScale(dpi)(32);
    m.iconGap = x(8);
    m.textButtonGap = y(10);
    m.buttonHeight = y(14);
    m.buttonMinWidth = x(50);
    m.buttonGap = x(4);
    m.captionPadding = x(8);
    return m;
}

// The width the title bar's caption needs, its buttons and the margins
// included; 0 when the caption font cannot be made.
int CaptionMinWidth(const LOGFONTW& captionLogFont, const std::wstring& caption, int marginX, int dpi)
{
    HFONT captionFont = ::CreateFontIndirectW(&captionLogFont);
    if (!captionFont)
        return 0;
    FontHandle owned(captionFont);
    MeasureDC dc(captionFont);
    return MeasureText(dc.Get(), caption, DT_SINGLELINE | DT_NOPREFIX, 0).cx + SystemMetricForDpi(SM_CXSIZE, dpi) +
           2 * marginX;
}

// Measures the text, the button captions and the title with the dialog's
// fonts: the content without its icon and button count; `metrics` gets the
// spacing for `font`.
DialogContent MeasureContent(HFONT font, int dpi, const LOGFONTW& captionLogFont, const std::string& caption,
                             const std::string& text, const std::vector<TMsgDlgBtn>& ids, DialogMetrics& metrics)
{
    DialogContent content;
    MeasureDC dc(font);
    metrics = MetricsFor(dc.Get(), dpi);
    const SIZE size = MeasureText(dc.Get(), WidenText(text), kMessageTextFormat, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    content.textWidth = size.cx;
    content.textHeight = size.cy;
    for (TMsgDlgBtn id : ids) {
        const int width = g_captionWidths.Width(id, dpi, [&](std::string_view label) {
            return static_cast<int>(MeasureText(dc.Get(), WidenText(std::string(label)), DT_SINGLELINE, 0).cx);
        });
        content.widestCaption = std::max(content.widestCaption, width);
    }
    content.minClientWidth = CaptionMinWidth(captionLogFont, WidenText(caption), metrics.marginX, dpi);
    return content;
}

}  // namespace

MeasuredDialog MeasureDialog(int dpi, const std::string& caption, const std::string& text,
                             const std::vector<TMsgDlgBtn>& ids, bool hasIcon)
{
    MeasuredDialog measured;
    LOGFONTW captionLogFont{};
    measured.font.reset(CreateMessageFont(dpi, &captionLogFont));
    HFONT font = measured.font ? measured.font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    DialogMetrics metrics;
    DialogContent content = MeasureContent(font, dpi, captionLogFont, caption, text, ids, metrics);
    content.hasIcon = hasIcon;
    content.buttonCount = static_cast<int>(ids.size());
    measured.layout = LayoutDialog(metrics, content);
    return measured;
}

}  // namespace qob
