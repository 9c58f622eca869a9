// In-memory key store, the test double of the registry. It follows the Win32 registry as
// measured under Wine, as far as the contract suite checks it: names compare
// without regard to case, a key with subkeys cannot be deleted, an empty path
// gives the base key, enumeration follows the buffer rules, and values keep
// their type and bytes.
#pragma once

#include "catalogue/KeyStore.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qob {

class MemoryKeyStore final : public KeyStore {
public:
    MemoryKeyStore();
    ~MemoryKeyStore() override;

    long OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out) override;
    long QueryInfoKey(KeyHandle key, KeyInfo& info) override;
    long EnumKey(KeyHandle key, std::uint32_t index, char* buffer, std::uint32_t& size) override;
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, unsigned char* data,
                    std::uint32_t& size) override;
    long DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags) override;
    long CloseKey(KeyHandle key) override;
    bool NamesNeedDoubledBuffer() const override { return true; }

    // Seeding, below a root key. Paths are backslash-separated CP932 texts.
    void CreateKey(KeyHandle root, const std::string& path);
    void SetValue(KeyHandle root, const std::string& path, const std::string& name, std::uint32_t type,
                  const std::string& bytes);
    // A key whose name has characters outside the code page: it lists under
    // `shownName` (with '?' for what cannot be shown) but cannot be opened by it.
    void CreateUnnamedKey(KeyHandle root, const std::string& parentPath, const std::string& shownName);
    bool KeyExists(KeyHandle root, const std::string& path);
    // Makes an existing key read-only for this user, as keys of all users are
    // for one without administrator rights: opens for writing and its
    // deletion fail with access denied.
    void ProtectKey(KeyHandle root, const std::string& path);
    std::size_t OpenHandleCount() const
    {
        std::lock_guard lock(mutex_);
        return handles_.size();
    }
    // Opens asked for so far, whether they succeeded or not: under Wine each
    // is a round trip to the registry.
    std::size_t OpenCount() const
    {
        std::lock_guard lock(mutex_);
        return openCount_;
    }

private:
    struct Node;
    using NodePtr = std::shared_ptr<Node>;

    NodePtr RootNode(KeyHandle root) const;
    NodePtr Resolve(KeyHandle key) const;
    NodePtr Walk(NodePtr from, const std::string& path, bool create, bool redirect32) const;
    KeyHandle NewHandle(NodePtr node);

    NodePtr classes_;
    NodePtr currentUser_;
    NodePtr localMachine_;
    std::map<KeyHandle, NodePtr> handles_;
    // Where the last enumeration stopped, so that listing by consecutive
    // indices does not walk the children from the start each time.
    struct EnumPosition {
        const Node* node = nullptr;
        std::uint64_t generation = 0;
        std::uint32_t index = 0;
        std::map<std::string, NodePtr>::const_iterator at;
    };
    EnumPosition enumPosition_;
    // One operation at a time: the scan reads from several threads.
    mutable std::mutex mutex_;
    mutable std::uint64_t generation_ = 0;  // counts changes to any key's children
    KeyHandle nextHandle_ = 0x1000;
    std::size_t openCount_ = 0;
};

}  // namespace qob
