#include "forms/WindowFonts.h"
#include "forms/WindowDpi.h"

#include "texts/Texts.h"

#include <cstddef>
#include <cwchar>

namespace qob {

namespace {

constexpr wchar_t kJapaneseFace[] = L"ＭＳ Ｐゴシック";
constexpr int kTextHeight = 12;
constexpr int kTitleHeight = 16;

LOGFONTW JapaneseFont(FontSize size, DpiScale scale)
{
    LOGFONTW font{};
    font.lfHeight = -scale(size == FontSize::Title ? kTitleHeight : kTextHeight);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    std::wcsncpy(font.lfFaceName, kJapaneseFace, LF_FACESIZE - 1);
    return font;
}

LOGFONTW EnglishFont(FontSize size, DpiScale scale)
{
    LOGFONTW font{};
    NONCLIENTMETRICSW metrics;
    if (SystemFontMetrics(metrics, scale.Dpi()))
        font = metrics.lfMessageFont;
    else
        font.lfHeight = -scale(kTextHeight);
    if (size == FontSize::Title) {
        font.lfHeight = -scale(kTitleHeight);
        font.lfWidth = 0;
        font.lfWeight = FW_NORMAL;
    }
    // Whatever script the system's own language has.
    font.lfCharSet = DEFAULT_CHARSET;
    return font;
}

}  // namespace

bool SystemFontMetrics(NONCLIENTMETRICSW& metrics, int dpi)
{
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof metrics;
    bool got = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != FALSE;
    if (!got) {
        // Systems that do not know the last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        got = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != FALSE;
    }
    if (!got)
        return false;
    // The system gives its fonts for its own DPI; a window on a screen of
    // another scale has them grown or shrunk to its own.
    const DpiScale scale(dpi);
    const int systemDpi = SystemDpi();
    for (LOGFONTW* font : {&metrics.lfMessageFont, &metrics.lfCaptionFont, &metrics.lfStatusFont}) {
        font->lfHeight = scale.From(font->lfHeight, systemDpi);
        font->lfWidth = scale.From(font->lfWidth, systemDpi);
    }
    return true;
}

FontHandle MakeFont(FontSize size, int dpi)
{
    const DpiScale scale(dpi);
    const LOGFONTW font =
        SelectedLanguage() == Language::Japanese ? JapaneseFont(size, scale) : EnglishFont(size, scale);
    return FontHandle(::CreateFontIndirectW(&font));
}

}  // namespace qob
