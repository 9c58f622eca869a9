// The kinds of keys the examination of the sections looks at, one row each:
// adding a kind is adding its verdict's unit and a row.
#pragma once

#include "sections/BrokenKey.h"
#include "sections/VerdictSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace qob {

// The verdict on the key `name` of the section whose key in `view` is
// `section`; nothing when it is not broken. The key's kind, names and view
// are the examination's to fill in; the description is the verdict's.
using Verdict = std::optional<BrokenKey> (*)(const VerdictContext& context, KeyHandle section,
                                             const std::string& name, RegistryView view);

struct SectionKindRow {
    SectionKind kind;
    const char* section;              // the section's key below HKEY_CLASSES_ROOT
    std::vector<RegistryView> views;  // the views it is examined in, in the listing's order
    const char* token;                // the kind in the console's lines
    Verdict verdict;
};

// The rows in the order of the listing and of the findings.
const std::vector<SectionKindRow>& SectionKinds();

// The row of `kind`.
const SectionKindRow& KindRow(SectionKind kind);

}  // namespace qob
