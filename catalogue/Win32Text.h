// The one boundary between the program's UTF-8 text and the UTF-16 of the
// W functions, and the system's error messages (Windows build only).
#pragma once

#include <string>

namespace qob {

std::wstring WidenText(const std::string& text);   // UTF-8 to UTF-16
std::string NarrowText(const std::wstring& text);  // UTF-16 to UTF-8
std::wstring WideOf(const std::u16string& text);   // the same UTF-16 text as the W functions take it
std::u16string U16Of(const std::wstring& text);    // and back, as the portable backup format takes it
std::string SystemErrorText(unsigned long code);   // a short description of a Win32 error

}  // namespace qob
