// In-memory stand-ins for the name order and the file system. The contract
// suite runs the same expectations against the Win32 ones under Wine.
#pragma once

#include "catalogue/Utf8.h"
#include "catalogue/Platform.h"

#include <map>
#include <string>

namespace qob {

// Case-insensitive byte order of the UTF-8 names. It agrees with the Japanese
// locale's order for names of ASCII letters and digits, and for those against
// names of kanji or hiragana (letters and digits first, kanji by code point),
// which is what the tests that use it feed it. It does not for punctuation
// ("a-b" goes after "ab" there), letters with diacritics ("über" before
// "uz"), katakana (before hiragana and kanji there), symbols such as "€"
// (before letters there) or characters beyond U+FFFF.
class FoldedNameOrder final : public NameOrder {
public:
    int Compare(const std::string& a, const std::string& b) const override;
};

// Paths compare with only ASCII letters folded (the file system folds every
// letter).
class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem();
    void AddFile(const std::string& path);
    void AddDirectory(const std::string& path);
    void AddReadOnlyFile(const std::string& path);
    bool Exists(const std::string& path) const { return entries_.count(FoldCase(path)) != 0; }
    void SetVariable(const std::string& name, const std::string& value);

    std::optional<FoundFile> FindFirst(const std::string& path) const override;
    std::string ExpandEnvironment(const std::string& text) const override;
    std::string WindowsDirectory() const override { return "C:\\windows"; }
    long RemoveFile(const std::string& path) override;

private:
    std::map<std::string, std::string> variables_;  // by folded name
    struct Entry {
        std::string name;
        bool isDirectory;
        bool readOnly = false;
    };
    std::map<std::string, Entry> entries_;  // by folded full path
};

}  // namespace qob
