// In-memory key store, the test double of the registry. It follows the Win32 registry as
// measured under Wine, as far as the contract suite checks it: names compare
// without regard to case, a key with subkeys cannot be deleted, an empty path
// gives the base key, and values keep their type and bytes. Where it stops:
// only ASCII letters fold (the registry also takes "Ü" for "ü"), subkeys
// enumerate in the byte order of their folded UTF-8 names (the registry's
// order is that of the UTF-16 names, which differs for characters beyond
// U+FFFF), and names longer than the registry allows are accepted.
#pragma once

#include "catalogue/KeyStore.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace qob {

class MemoryKeyStore final : public KeyStore {
public:
    MemoryKeyStore();
    ~MemoryKeyStore() override;

    long OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out) override;
    long QueryInfoKey(KeyHandle key, std::uint32_t& subkeyCount) override;
    long EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data) override;
    long DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags) override;
    long DeleteValue(KeyHandle key, const std::string& name) override;
    long CloseKey(KeyHandle key) override;
    // Every key is the Administrators' (S-1-5-32-544) until SetOwner gives
    // it another owner.
    long QueryOwner(KeyHandle key, std::string& owner) override;

    // Seeding, below a root key. Paths are backslash-separated UTF-8 texts;
    // the data of a string value is its UTF-8 text with the terminator.
    void CreateKey(KeyHandle root, const std::string& path);
    void SetValue(KeyHandle root, const std::string& path, const std::string& name, std::uint32_t type,
                  const std::string& bytes);
    bool KeyExists(KeyHandle root, const std::string& path);
    // Makes an existing key read-only for this user, as keys of all users are
    // for one without administrator rights: opens for writing and its
    // deletion fail with access denied.
    void ProtectKey(KeyHandle root, const std::string& path);
    // Makes an existing key unreadable for this user: every open of it, for
    // any access, fails with access denied (its subkeys still open by their
    // full paths: the store checks only the key opened). Microsoft's
    // documentation of RegOpenKeyEx gives ERROR_ACCESS_DENIED (5) for a key
    // whose security denies the access asked. The contract suite cannot
    // measure this: Wine running as root grants every access.
    void DenyReading(KeyHandle root, const std::string& path);
    // Scripts a change of the registry between the opens of a deletion and
    // the deletion itself: the key opens for writing, but its deletion fails
    // with `error`.
    void FailDeletion(KeyHandle root, const std::string& path, long error);
    // Gives the key a second registration of the same name, as the classes
    // root merges the user's classes over the machine's: once the key is
    // deleted, a copy of it as it is now (values and subkeys) takes its
    // place, and the name opens again.
    void ShadowKey(KeyHandle root, const std::string& path);
    // Gives an existing key another owner (a SID string), as RegSetKeySecurity
    // with OWNER_SECURITY_INFORMATION does.
    void SetOwner(KeyHandle root, const std::string& path, const std::string& owner);
    // Merges the user's classes over the machine's, as Windows does (Wine
    // does not: its classes root is the machine's alone). Microsoft's
    // "Merged View of HKEY_CLASSES_ROOT": the user's settings have priority,
    // and a write to a key of the classes root goes to the user's copy when
    // that copy exists. So a key opened or deleted through the classes root
    // is the user's copy, HKEY_CURRENT_USER\Software\Classes\<path>, when
    // there is one, and the machine's otherwise. Where the model stops: only
    // opens and deletions named from the classes root itself are merged (the
    // seeding functions keep naming the machine's classes by it); below a key
    // opened there, and in enumerations, each copy shows only its own subkeys.
    void MergeUserClasses() { mergeUserClasses_ = true; }
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
    static NodePtr Copy(const Node& node, const NodePtr& parent);

    // The key of `path` below the open key or root `base`: through the
    // classes root, the user's copy when the merge is on and it is there.
    NodePtr WalkFrom(KeyHandle base, const std::string& path, bool redirect32) const;
    // The user's copy of a key of the classes root, when the merge is on.
    NodePtr MergedUserKey(const std::string& path, bool redirect32) const;

    NodePtr classes_;
    bool mergeUserClasses_ = false;
    NodePtr currentUser_;
    NodePtr localMachine_;
    std::map<KeyHandle, NodePtr> handles_;
    std::set<KeyHandle> settable_;  // the handles opened with kKeySetValue
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
