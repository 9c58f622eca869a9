#include "app/WindowFonts.h"

#include "texts/Texts.h"

#include <cstddef>
#include <cwchar>

namespace qob {

namespace {

constexpr wchar_t kJapaneseFace[] = L"ＭＳ Ｐゴシック";

void SetFace(LOGFONTW& font, const wchar_t* face)
{
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
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

FontHandle MakeFont(int characterHeight)
{
    LOGFONTW font{};
    font.lfHeight = -characterHeight;
    font.lfWeight = FW_NORMAL;
    if (SelectedLanguage() == Language::Japanese) {
        font.lfCharSet = SHIFTJIS_CHARSET;
        SetFace(font, kJapaneseFace);
    } else {
        font.lfCharSet = DEFAULT_CHARSET;
        NONCLIENTMETRICSW metrics;
        if (SystemFontMetrics(metrics))
            SetFace(font, metrics.lfMessageFont.lfFaceName);
    }
    return FontHandle(::CreateFontIndirectW(&font));
}

}  // namespace qob
