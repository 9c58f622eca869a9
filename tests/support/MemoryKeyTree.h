// In-memory stand-in for the backup's key reader: keys below
// HKEY_CLASSES_ROOT with UTF-16 names and raw value bytes. The 32-bit view
// keeps its class keys below Wow6432Node, as the in-memory key store does.
// The contract suite runs the same expectations against the Win32 reader.
#pragma once

#include "removal/KeyTree.h"

#include <map>
#include <memory>

namespace qob {

class MemoryKeyTree final : public KeyTreeReader {
public:
    MemoryKeyTree();
    ~MemoryKeyTree() override;
    // Seeding; paths below HKEY_CLASSES_ROOT, missing keys are made.
    void CreateKey(const std::u16string& path);
    void SetValue(const std::u16string& path, const std::u16string& name, std::uint32_t type, std::string data);

    long Read(const std::string& path, RegistryView view, KeyTree& tree) override;

private:
    struct Node;
    Node* Walk(const std::u16string& path, bool create, std::u16string* storedPath);
    static void Collect(const Node& node, const std::u16string& path, std::vector<SavedKey>& keys);

    std::unique_ptr<Node> root_;
};

// UTF-8 text to UTF-16 (iconv).
std::u16string WidenUtf8(const std::string& text);

}  // namespace qob
