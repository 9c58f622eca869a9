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
// the units of other characters never change. For UTF-8 and UTF-16 alike.
template <class Char>
constexpr Char FoldAscii(Char c)
{
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}
template <class Char>
bool EqualNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}
inline bool EqualNoCase(std::string_view a, std::string_view b) { return EqualNoCase<char>(a, b); }
inline bool EqualNoCase(std::u16string_view a, std::u16string_view b) { return EqualNoCase<char16_t>(a, b); }
std::string FoldCase(std::string_view text);

// Whether the text starts with the prefix, compared as EqualNoCase compares.
template <class Char>
bool StartsWithNoCase(std::basic_string_view<Char> text, std::basic_string_view<Char> prefix)
{
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}
inline bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return StartsWithNoCase<char>(text, prefix);
}
inline bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    return StartsWithNoCase<char16_t>(text, prefix);
}

// Whether the path (a file's or a key's) names something below `parent`:
// the parent, compared as EqualNoCase compares, then a backslash and at
// least one character more.
template <class Char>
bool IsPathBelow(std::basic_string_view<Char> path, std::basic_string_view<Char> parent)
{
    return path.size() > parent.size() + 1 && path[parent.size()] == Char('\\') && StartsWithNoCase(path, parent);
}
inline bool IsPathBelow(std::string_view path, std::string_view parent) { return IsPathBelow<char>(path, parent); }
inline bool IsPathBelow(std::u16string_view path, std::u16string_view parent)
{
    return IsPathBelow<char16_t>(path, parent);
}

// UTF-16 as UTF-8, for portable code that names what a UTF-16 file holds;
// half a surrogate pair becomes U+FFFD. (The Win32 code converts at its
// boundary with WidenText and NarrowText.)
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace qob
