#include "tests/support/MemoryKeyStore.h"

#include "catalogue/CodePage.h"

#include <algorithm>
#include <cstring>

namespace qob {

struct MemoryKeyStore::Node {
    std::string name;  // as listed
    bool openable = true;
    bool deleted = false;
    bool protectedKey = false;  // readable, but neither writable nor deletable
    std::weak_ptr<Node> parent;
    std::map<std::string, NodePtr> children;  // by folded name
    std::map<std::string, std::pair<std::uint32_t, std::string>> values;  // by folded name
};

namespace {

std::vector<std::string> SplitPath(const std::string& path)
{
    // Empty components (leading, doubled or trailing backslashes) collapse.
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t pos = 0; pos < path.size();) {
        const std::size_t len = CharLength(path, pos);
        if (len == 1 && path[pos] == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part.append(path, pos, len);
        }
        pos += len;
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// The A functions convert a path in a buffer of 260 characters and a terminator.
bool PathTooLong(const std::string& path) { return CharCount(path) > 260; }

}  // namespace

MemoryKeyStore::MemoryKeyStore()
    : currentUser_(std::make_shared<Node>()), localMachine_(std::make_shared<Node>())
{
    // HKEY_CLASSES_ROOT is HKLM\Software\Classes.
    classes_ = Walk(localMachine_, "Software\\Classes", true, false);
}

MemoryKeyStore::~MemoryKeyStore() = default;

MemoryKeyStore::NodePtr MemoryKeyStore::RootNode(KeyHandle root) const
{
    if (root == kClassesRoot)
        return classes_;
    if (root == kCurrentUser)
        return currentUser_;
    if (root == kLocalMachine)
        return localMachine_;
    return nullptr;
}

MemoryKeyStore::NodePtr MemoryKeyStore::Resolve(KeyHandle key) const
{
    if (IsPredefinedKey(key))
        return RootNode(key);
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : it->second;
}

MemoryKeyStore::NodePtr MemoryKeyStore::Walk(NodePtr from, const std::string& path, bool create,
                                             bool redirect32) const
{
    NodePtr node = std::move(from);
    for (const std::string& part : SplitPath(path)) {
        if (!node || node->deleted)
            return nullptr;
        // The 32-bit view of the classes root keeps its class keys apart.
        if (redirect32 && node == classes_ && EqualNoCase(part, "CLSID")) {
            NodePtr wow = Walk(node, "Wow6432Node", create, false);
            if (!wow)
                return nullptr;
            node = wow;
        }
        const std::string folded = FoldCase(part);
        auto it = node->children.find(folded);
        if (it != node->children.end() && it->second->openable) {
            node = it->second;
            continue;
        }
        if (!create)
            return nullptr;
        auto child = std::make_shared<Node>();
        child->name = part;
        child->parent = node;
        node->children[folded] = child;
        ++generation_;
        node = child;
    }
    return node;
}

KeyHandle MemoryKeyStore::NewHandle(NodePtr node)
{
    const KeyHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = std::move(node);
    return handle;
}

long MemoryKeyStore::OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out)
{
    std::lock_guard lock(mutex_);
    ++openCount_;
    out = kNoKey;
    NodePtr baseNode = Resolve(base);
    if (!baseNode)
        return kErrorInvalidHandle;
    if (baseNode->deleted)
        return 1018;  // ERROR_KEY_DELETED
    if (PathTooLong(path))
        return kErrorMoreData;
    if (SplitPath(path).empty() && IsPredefinedKey(base)) {
        out = base;
        return kErrorSuccess;
    }
    NodePtr node = Walk(baseNode, path, false, (access & kKeyWow64_32Key) != 0);
    if (!node)
        return kErrorFileNotFound;
    if (node->protectedKey && (access & ~(kKeyRead | kKeyWow64_32Key)) != 0)
        return kErrorAccessDenied;
    out = NewHandle(node);
    return kErrorSuccess;
}

long MemoryKeyStore::QueryInfoKey(KeyHandle key, KeyInfo& info)
{
    std::lock_guard lock(mutex_);
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    info = {};
    info.subkeyCount = static_cast<std::uint32_t>(node->children.size());
    for (const auto& [folded, child] : node->children)
        info.maxSubkeyNameLength =
            std::max(info.maxSubkeyNameLength, static_cast<std::uint32_t>(CharCount(child->name)));
    return kErrorSuccess;
}

long MemoryKeyStore::EnumKey(KeyHandle key, std::uint32_t index, char* buffer, std::uint32_t& size)
{
    std::lock_guard lock(mutex_);
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    if (index >= node->children.size())
        return kErrorNoMoreItems;
    EnumPosition& pos = enumPosition_;
    if (pos.node != node.get() || pos.generation != generation_ || pos.index > index) {
        pos = EnumPosition{node.get(), generation_, 0, node->children.begin()};
    }
    std::advance(pos.at, index - pos.index);
    pos.index = index;
    const std::string& name = pos.at->second->name;
    if (name.size() + 1 > size)
        return kErrorMoreData;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    size = static_cast<std::uint32_t>(name.size());
    return kErrorSuccess;
}

long MemoryKeyStore::QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, unsigned char* data,
                                std::uint32_t& size)
{
    std::lock_guard lock(mutex_);
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    auto it = node->values.find(FoldCase(name));
    if (it == node->values.end()) {
        type = 0;
        size = 0;
        return kErrorFileNotFound;
    }
    const auto& [valueType, bytes] = it->second;
    type = valueType;
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data) {
        if (size < needed) {
            size = needed;
            return kErrorMoreData;
        }
        std::memcpy(data, bytes.data(), bytes.size());
    }
    size = needed;
    return kErrorSuccess;
}

long MemoryKeyStore::DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags)
{
    std::lock_guard lock(mutex_);
    NodePtr baseNode = Resolve(base);
    if (!baseNode)
        return kErrorInvalidHandle;
    if (PathTooLong(path))
        return kErrorMoreData;
    if (!path.empty() && path[0] == '\\')
        return kErrorBadPathname;
    NodePtr node = Walk(baseNode, path, false, (viewFlags & kKeyWow64_32Key) != 0);
    if (!node)
        return kErrorFileNotFound;
    NodePtr parent = node->parent.lock();
    if (!parent || node == classes_ || !node->children.empty() || node->protectedKey)
        return kErrorAccessDenied;
    node->deleted = true;
    parent->children.erase(FoldCase(node->name));
    ++generation_;
    return kErrorSuccess;
}

long MemoryKeyStore::CloseKey(KeyHandle key)
{
    std::lock_guard lock(mutex_);
    if (IsPredefinedKey(key))
        return kErrorSuccess;
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

void MemoryKeyStore::CreateKey(KeyHandle root, const std::string& path)
{
    std::lock_guard lock(mutex_);
    Walk(RootNode(root), path, true, false);
}

void MemoryKeyStore::SetValue(KeyHandle root, const std::string& path, const std::string& name, std::uint32_t type,
                              const std::string& bytes)
{
    std::lock_guard lock(mutex_);
    NodePtr node = Walk(RootNode(root), path, true, false);
    node->values[FoldCase(name)] = {type, bytes};
}

void MemoryKeyStore::CreateUnnamedKey(KeyHandle root, const std::string& parentPath, const std::string& shownName)
{
    std::lock_guard lock(mutex_);
    NodePtr parent = Walk(RootNode(root), parentPath, true, false);
    auto child = std::make_shared<Node>();
    child->name = shownName;
    child->openable = false;
    child->parent = parent;
    // Listed under its shown name, but kept apart from a real key of that name.
    std::string key(1, '\x01');
    key += FoldCase(shownName);
    key += std::to_string(parent->children.size());
    parent->children[key] = child;
    ++generation_;
}

bool MemoryKeyStore::KeyExists(KeyHandle root, const std::string& path)
{
    std::lock_guard lock(mutex_);
    return Walk(RootNode(root), path, false, false) != nullptr;
}

void MemoryKeyStore::ProtectKey(KeyHandle root, const std::string& path)
{
    std::lock_guard lock(mutex_);
    if (NodePtr node = Walk(RootNode(root), path, false, false))
        node->protectedKey = true;
}

}  // namespace qob
