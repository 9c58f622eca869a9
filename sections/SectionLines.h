// The broken keys of the sections as the console writes them for scripts.
#pragma once

#include "sections/BrokenKey.h"

#include <string>
#include <vector>

namespace qob {

// The reason for scripts, the same in every language: a fixed token
// ("missing-server", "missing-file", "unregistered-typelib",
// "unregistered-class"), a space, and what is missing joined by '|'.
std::string ReasonToken(const BrokenKey& key);

// The broken keys as scripts read them: one line per key, "kind TAB key TAB
// description TAB reason LF", the kind being "class", "typelib" or
// "interface" and the reason ReasonToken's; control bytes written as \xHH.
std::string SectionLines(const std::vector<BrokenKey>& keys);

}  // namespace qob
