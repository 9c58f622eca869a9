#include "catalogue/Utf8.h"

namespace qob {

namespace {

// The length a lead byte announces; 0 for a byte that cannot start a character.
std::size_t AnnouncedLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos)
{
    const std::size_t length = AnnouncedLength(static_cast<unsigned char>(text[pos]));
    if (length < 2 || pos + length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(text[pos + i]))
            return 1;
    }
    return length;
}

std::size_t LastCharStart(std::string_view text)
{
    std::size_t pos = 0;
    std::size_t last = 0;
    while (pos < text.size()) {
        last = pos;
        pos += CharLength(text, pos);
    }
    return last;
}

std::string FoldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = FoldAscii(c);
    return folded;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

}  // namespace qob
