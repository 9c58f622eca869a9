// The texts of a broken key's row in the list of other broken
// registrations, in the selected language.
#pragma once

#include "catalogue/TreeModel.h"
#include "sections/SectionScan.h"

#include <map>
#include <string>
#include <vector>

namespace qob {

std::string KindText(SectionKind kind);
// The reason in words, with what is missing joined by " | "; a key that
// Windows protects says so first, with the reason in parentheses.
std::string ReasonText(const BrokenKey& key);
// Reads the owner of each key and marks those that Windows protects.
void MarkKeysProtectedByWindows(KeyStore& store, std::vector<BrokenKey>& keys);
// Where the key lives: the user's, the computer's, both; empty when neither
// hive holds it any more.
std::string WhereText(KeyHives hives);

// Which ProgIDs of the main tree name a class or a type library: a class
// that an entry's CLSID node names (in the entry's class view), a type
// library that its TypeLib node names.
class ProgIdNames {
public:
    explicit ProgIdNames(const TTreeNodes& tree);

    // The ProgIDs that name the key, in the tree's order, joined by ", ";
    // empty when none does.
    std::string For(const BrokenKey& key) const;

private:
    void Add(const std::string& keyName, const std::string& progId);

    std::map<std::string, std::vector<std::string>> byKey_;  // by the key's folded name
};

}  // namespace qob
