#include "catalogue/Win32Text.h"

#include <windows.h>

namespace qob {

std::wstring WidenText(const std::string& text)
{
    if (text.empty())
        return {};
    std::wstring wide(text.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size())));
    return wide;
}

std::string NarrowText(const std::wstring& text)
{
    if (text.empty())
        return {};
    std::string narrow(text.size() * 2, '\0');
    narrow.resize(::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                                        static_cast<int>(narrow.size()), nullptr, nullptr));
    return narrow;
}

std::wstring WideOf(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::string SystemErrorText(unsigned long code)
{
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : std::string();
    ::LocalFree(buffer);
    // The system's sentence without its line break and closing full stop.
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "。") == 0)
        text.resize(text.size() - 2);
    return text.empty() ? "エラー " + std::to_string(code) : text;
}

}  // namespace qob
