#include "console/ConsoleOutput.h"

#include "catalogue/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace qob {

namespace {

// UTF-16 text in the system's code page. A character the code page lacks
// becomes what the A functions make of it: a similar letter where the code
// page names one ("ü" as "u" in code page 932), else "?".
std::string InSystemCodePage(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    std::string bytes(::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    bytes.resize(::WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, nullptr));
    return bytes;
}

void WriteBytes(HANDLE handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
            return;
        bytes.remove_prefix(written);
    }
}

void WriteToConsole(HANDLE handle, const std::wstring& text)
{
    // In pieces, as a console takes only so much at once; never half of a
    // surrogate pair.
    constexpr std::size_t kPiece = 8192;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t count = std::min(kPiece, text.size() - pos);
        if (pos + count < text.size() && IS_HIGH_SURROGATE(text[pos + count - 1]))
            --count;
        DWORD written = 0;
        if (!::WriteConsoleW(handle, text.data() + pos, static_cast<DWORD>(count), &written, nullptr) || written == 0)
            return;
        pos += written;
    }
}

}  // namespace

ConsoleOutput::ConsoleOutput(unsigned long which, OutputEncoding encoding)
    : handle_(::GetStdHandle(which)), encoding_(encoding)
{
    DWORD mode = 0;
    console_ = ::GetConsoleMode(handle_, &mode) != 0;
}

void ConsoleOutput::Write(const std::string& text) const
{
    if (console_)
        WriteToConsole(handle_, WidenText(text));
    else if (encoding_ == OutputEncoding::Utf8)
        WriteBytes(handle_, text);
    else
        WriteBytes(handle_, InSystemCodePage(WidenText(text)));
}

}  // namespace qob
