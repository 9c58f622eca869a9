// The text the error report shows for an error's message (portable).
#pragma once

#include <string>

namespace qob {

// Appends "." unless the message is empty or its last character (a final
// two-byte character taken whole) compares, as bytes, at or below ".".
std::string ErrorReportText(const std::string& message);

}  // namespace qob
