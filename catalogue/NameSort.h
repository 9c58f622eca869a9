// The order the scan lists the ProgIDs in.
#pragma once

#include "catalogue/Platform.h"

#include <string>
#include <vector>

namespace qob {

// Sorts names in place, ascending by `order`: a quicksort around the middle
// element, not stable.
void SortNames(std::vector<std::string>& names, const NameOrder& order);

}  // namespace qob
