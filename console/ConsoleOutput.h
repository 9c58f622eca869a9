// Where the console program's text goes (Windows build only). A console
// shows the text as written (WriteConsoleW); a file or a pipe gets it in the
// system's code page, as the A functions would write it, or in UTF-8 when
// asked.
#pragma once

#include <string>

namespace qob {

enum class OutputEncoding { SystemCodePage, Utf8 };

class ConsoleOutput {
public:
    // `which` is STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
    ConsoleOutput(unsigned long which, OutputEncoding encoding);
    // Writes UTF-8 text as it stands: line ends are the caller's.
    void Write(const std::string& text) const;

private:
    void* handle_;
    bool console_;
    OutputEncoding encoding_;
};

}  // namespace qob
