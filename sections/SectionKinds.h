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

// The items of a kind whose keys lie below the root's own keys, picked from
// the names of the root's subkeys (listed once for every such kind); may
// open keys of its own (the listing's thread).
using RootItems = void (*)(KeyStore& store, const std::vector<std::string>& rootNames,
                           std::vector<std::string>& items);

// The keys of the kind below one item, as paths below the section, in the
// order found; nothing when the item has none. For the kinds whose items
// hold several keys each.
using ItemKeys = void (*)(KeyStore& store, KeyHandle section, const std::string& item,
                          std::vector<std::string>& keys);

// Whether `path` names one key of the kind below its section, and nothing
// more or less.
using OwnKey = bool (*)(const std::string& path);

struct SectionKindRow {
    SectionKind kind;
    const char* section;              // the section's key below HKEY_CLASSES_ROOT; "" for the root itself
    std::vector<RegistryView> views;  // the views it is examined in, in the listing's order
    const char* token;                // the kind in the console's lines
    Verdict verdict;
    // Where the items are not the section's subkeys: picked from the root's.
    RootItems rootItems = nullptr;
    // Where an item is not a key but holds any number of them.
    ItemKeys itemKeys = nullptr;
    // Where a key is not "<section>\<one name>".
    OwnKey ownKey = nullptr;
};

// The rows in the order of the listing and of the findings.
const std::vector<SectionKindRow>& SectionKinds();

// The row of `kind`.
const SectionKindRow& KindRow(SectionKind kind);

}  // namespace qob
