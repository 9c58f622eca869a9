#include "catalogue/Win32Text.h"

#include "texts/Texts.h"

#include <windows.h>

namespace qob {

std::wstring WidenText(const std::string& text)
{
    if (text.empty())
        return {};
    std::wstring wide(text.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size())));
    return wide;
}

std::string NarrowText(const std::wstring& text)
{
    if (text.empty())
        return {};
    std::string narrow(text.size() * 3, '\0');
    narrow.resize(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                                        static_cast<int>(narrow.size()), nullptr, nullptr));
    return narrow;
}

std::wstring WideOf(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::u16string U16Of(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::string SystemErrorText(unsigned long code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    // The system's sentence without its line break and closing full stop.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'\u3002'))
        text.pop_back();
    return text.empty() ? Text(TextId::SystemErrorNumber, {std::to_string(code)}) : NarrowText(text);
}

}  // namespace qob
