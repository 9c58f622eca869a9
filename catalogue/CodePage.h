// Byte-level helpers for text in the system's multi-byte code page (932).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qob {

// Lead byte of a two-byte character in code page 932.
constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at text[pos].
inline std::size_t CharLength(std::string_view text, std::size_t pos)
{
    return (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
}

// Start of the last character of a non-empty text (a final two-byte
// character is taken whole).
std::size_t LastCharStart(std::string_view text);

// Number of characters (a two-byte character counts once).
std::size_t CharCount(std::string_view text);

// Key-name comparison without regard to ASCII case; trail bytes of two-byte
// characters are never folded.
bool EqualNoCase(std::string_view a, std::string_view b);
std::string FoldCase(std::string_view text);

}  // namespace qob
