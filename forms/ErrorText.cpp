#include "forms/ErrorText.h"

namespace qob {

std::string ErrorReportText(const std::string& message)
{
    if (message.empty())
        return message;
    // The last byte of a UTF-8 character of more than one byte lies above
    // ".", as the character itself does.
    return static_cast<unsigned char>(message.back()) > '.' ? message + "." : message;
}

}  // namespace qob
