// The text the error report shows for an error's message (portable).
#pragma once

#include <string>

namespace qob {

// Appends "." unless the message (UTF-8) is empty or ends in a character at
// or below ".".
std::string ErrorReportText(const std::string& message);

}  // namespace qob
