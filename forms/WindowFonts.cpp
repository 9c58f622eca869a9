#include "forms/WindowFonts.h"

#include "texts/Texts.h"

#include <cstddef>
#include <cwchar>

namespace qob {

namespace {

constexpr wchar_t kJapaneseFace[] = L"ＭＳ Ｐゴシック";
constexpr int kTextHeight = 12;
constexpr int kTitleHeight = 16;

LOGFONTW JapaneseFont(FontSize size)
{
    LOGFONTW font{};
    font.lfHeight = -(size == FontSize::Title ? kTitleHeight : kTextHeight);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    std::wcsncpy(font.lfFaceName, kJapaneseFace, LF_FACESIZE - 1);
    return font;
}

LOGFONTW EnglishFont(FontSize size)
{
    LOGFONTW font{};
    NONCLIENTMETRICSW metrics;
    if (SystemFontMetrics(metrics))
        font = metrics.lfMessageFont;
    else
        font.lfHeight = -kTextHeight;
    if (size == FontSize::Title) {
        font.lfHeight = -kTitleHeight;
        font.lfWidth = 0;
        font.lfWeight = FW_NORMAL;
    }
    // Whatever script the system's own language has.
    font.lfCharSet = DEFAULT_CHARSET;
    return font;
}

}  // namespace

bool SystemFontMetrics(NONCLIENTMETRICSW& metrics)
{
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return true;
    // Systems that do not know the last field.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != FALSE;
}

FontHandle MakeFont(FontSize size)
{
    const LOGFONTW font = SelectedLanguage() == Language::Japanese ? JapaneseFont(size) : EnglishFont(size);
    return FontHandle(::CreateFontIndirectW(&font));
}

}  // namespace qob
