// Text between the system code page, UTF-16 and the system's error messages
// (Windows build only).
#pragma once

#include <string>

namespace qob {

std::wstring WidenText(const std::string& text);   // system code page to UTF-16
std::string NarrowText(const std::wstring& text);  // UTF-16 to the system code page ('?' where it has no code)
std::wstring WideOf(const std::u16string& text);   // the same UTF-16 text as the W functions take it
std::string SystemErrorText(unsigned long code);   // a short description of a Win32 error

}  // namespace qob
