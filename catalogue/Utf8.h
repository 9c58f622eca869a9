// Byte-level helpers for the program's UTF-8 text. No byte of a character of
// several bytes is below 0x80, so a search for an ASCII character ("\", ":",
// " /") over the bytes finds only that character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qob {

// Length in bytes of the character that starts at text[pos]: 1 for ASCII, 2
// to 4 for a lead byte followed by its continuation bytes, and 1 for a byte
// that starts no whole character (a stray continuation byte, a cut sequence).
std::size_t CharLength(std::string_view text, std::size_t pos);

// Start of the last character of a non-empty text (a final character of
// several bytes is taken whole).
std::size_t LastCharStart(std::string_view text);

// Comparison without regard to ASCII case: only the letters a-z are folded,
// the bytes of other characters never change.
bool EqualNoCase(std::string_view a, std::string_view b);
std::string FoldCase(std::string_view text);

}  // namespace qob
