// Sizes at a display's scale (portable: no <windows.h>). Every size the
// windows set is written for 96 dots per inch, the 100% scale; a DpiScale
// turns it into pixels of a window at its own DPI.
#pragma once

namespace qob {

// The dots per inch of the 100% scale, which the windows' sizes are written for.
constexpr int kBaseDpi = 96;

// value * numerator / denominator, rounded to the nearest integer, halves away
// from zero (as MulDiv rounds); `value` when the denominator is not positive.
constexpr int ScaleRounded(int value, int numerator, int denominator)
{
    if (denominator <= 0)
        return value;
    const long long scaled = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator : -((-scaled + half) / denominator));
}

class DpiScale {
public:
    // A DPI of 0 or less (a system that does not say) is taken as 100%.
    constexpr explicit DpiScale(int dpi = kBaseDpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

    constexpr int Dpi() const { return dpi_; }
    // A 96-DPI size in pixels at this DPI, rounded to the nearest pixel,
    // halves away from zero (as MulDiv rounds).
    constexpr int operator()(int px96) const { return ScaleRounded(px96, dpi_, kBaseDpi); }
    // A size made for another DPI, at this one (a column's width when the
    // window moves to a screen of another scale).
    constexpr int From(int px, int fromDpi) const { return fromDpi > 0 ? ScaleRounded(px, dpi_, fromDpi) : px; }
    constexpr bool operator==(const DpiScale&) const = default;

private:
    int dpi_;
};

// The pictures come drawn for 100%, 150% and 200%: a 16-pixel picture also as
// 24 and 32 pixels. Their resources are numbered `kPictureSizeStep` apart.
constexpr int kPictureSizeStep = 1000;
constexpr int kPictureSizes = 3;

// Which of the drawn sizes suits the DPI: the nearest of 100%, 150% and 200%,
// below 125% the smallest, from 175% the largest.
constexpr int PictureSizeIndex(int dpi)
{
    if (dpi < 120)
        return 0;
    if (dpi < 168)
        return 1;
    return 2;
}

// The resource of the picture drawn for the DPI, from that of its 100% form.
constexpr int PictureResource(int resource96, int dpi)
{
    return resource96 + kPictureSizeStep * PictureSizeIndex(dpi);
}

// A picture's 100% side, in pixels, at the drawn size that suits the DPI.
constexpr int PictureSide(int side96, int dpi) { return side96 * (2 + PictureSizeIndex(dpi)) / 2; }

}  // namespace qob
