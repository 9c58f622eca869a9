#include "app/ErrorText.h"

#include "catalogue/Utf8.h"

namespace qob {

std::string ErrorReportText(const std::string& message)
{
    if (message.empty())
        return message;
    const std::string last = message.substr(LastCharStart(message));
    return last.compare(".") > 0 ? message + "." : message;
}

}  // namespace qob
