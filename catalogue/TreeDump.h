// The registration tree as text: one line per node in pre-order,
// "depth TAB image-index TAB text LF", control bytes written as \xHH.
#pragma once

#include "catalogue/TreeModel.h"

#include <string>

namespace qob {

// A node text as the dump writes it: control bytes (0x00-0x1F, 0x7F) as \xHH.
std::string EscapeControlBytes(const std::string& text);

// With faultyOnly, only the entries that carry the faulty-entry icon are
// written, each with its whole subtree.
std::string DumpTree(const TTreeNodes& tree, bool faultyOnly);

}  // namespace qob
