#include "tests/support/MemoryKeyStore.h"

#include "catalogue/Utf8.h"

#include <iterator>

namespace qob {

struct MemoryKeyStore::Node {
    std::string name;  // as listed
    bool deleted = false;
    bool protectedKey = false;  // readable, but neither writable nor deletable
    bool unreadable = false;    // opens for no access at all
    long deleteError = 0;       // what its deletion gives instead of deleting it
    NodePtr shadow;             // what shows in its place once it is deleted
    std::string owner = "S-1-5-32-544";
    std::weak_ptr<Node> parent;
    std::map<std::string, NodePtr> children;  // by folded name
    std::map<std::string, std::pair<std::uint32_t, std::string>> values;  // by folded name
};

namespace {

std::vector<std::string> SplitPath(const std::string& path)
{
    // Empty components (leading, doubled or trailing backslashes) collapse.
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

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

MemoryKeyStore::NodePtr MemoryKeyStore::WalkFrom(KeyHandle base, const std::string& path, bool redirect32) const
{
    NodePtr user = base == kClassesRoot ? MergedUserKey(path, redirect32) : nullptr;
    return user ? user : Walk(Resolve(base), path, false, redirect32);
}

MemoryKeyStore::NodePtr MemoryKeyStore::MergedUserKey(const std::string& path, bool redirect32) const
{
    if (!mergeUserClasses_ || SplitPath(path).empty())
        return nullptr;
    NodePtr userClasses = Walk(currentUser_, "Software\\Classes", false, false);
    if (!userClasses)
        return nullptr;
    // The user's 32-bit classes, too, are kept below Wow6432Node.
    const std::vector<std::string> parts = SplitPath(path);
    const bool wow = redirect32 && EqualNoCase(parts.front(), "CLSID");
    return Walk(userClasses, wow ? "Wow6432Node\\" + path : path, false, false);
}

MemoryKeyStore::NodePtr MemoryKeyStore::Walk(NodePtr from, const std::string& path, bool create,
                                             bool redirect32) const
{
    NodePtr node = std::move(from);
    for (const std::string& part : SplitPath(path)) {
        if (!node || node->deleted)
            return nullptr;
        // The 32-bit view of the classes root keeps its class and interface
        // keys apart.
        if (redirect32 && node == classes_ && KeyNameInView(part, RegistryView::Wow64_32) != part) {
            NodePtr wow = Walk(node, "Wow6432Node", create, false);
            if (!wow)
                return nullptr;
            node = wow;
        }
        const std::string folded = FoldCase(part);
        auto it = node->children.find(folded);
        if (it != node->children.end()) {
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
    if (SplitPath(path).empty() && IsPredefinedKey(base)) {
        out = base;
        return kErrorSuccess;
    }
    NodePtr node = WalkFrom(base, path, (access & kKeyWow64_32Key) != 0);
    if (!node)
        return kErrorFileNotFound;
    if (node->unreadable || (node->protectedKey && (access & ~(kKeyRead | kKeyWow64_32Key)) != 0))
        return kErrorAccessDenied;
    out = NewHandle(node);
    if (access & kKeySetValue)
        settable_.insert(out);
    return kErrorSuccess;
}

long MemoryKeyStore::QueryInfoKey(KeyHandle key, std::uint32_t& subkeyCount)
{
    std::lock_guard lock(mutex_);
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    subkeyCount = static_cast<std::uint32_t>(node->children.size());
    return kErrorSuccess;
}

long MemoryKeyStore::EnumKey(KeyHandle key, std::uint32_t index, std::string& name)
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
    name = pos.at->second->name;
    return kErrorSuccess;
}

long MemoryKeyStore::QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data)
{
    std::lock_guard lock(mutex_);
    type = 0;
    data.clear();
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    auto it = node->values.find(FoldCase(name));
    if (it == node->values.end())
        return kErrorFileNotFound;
    type = it->second.first;
    data = it->second.second;
    return kErrorSuccess;
}

long MemoryKeyStore::DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags)
{
    std::lock_guard lock(mutex_);
    NodePtr baseNode = Resolve(base);
    if (!baseNode)
        return kErrorInvalidHandle;
    if (!path.empty() && path[0] == '\\')
        return kErrorBadPathname;
    NodePtr node = WalkFrom(base, path, (viewFlags & kKeyWow64_32Key) != 0);
    if (!node)
        return kErrorFileNotFound;
    NodePtr parent = node->parent.lock();
    if (!parent || node == classes_ || !node->children.empty() || node->protectedKey)
        return kErrorAccessDenied;
    if (node->deleteError != 0)
        return node->deleteError;
    node->deleted = true;
    parent->children.erase(FoldCase(node->name));
    if (node->shadow)
        parent->children[FoldCase(node->name)] = std::move(node->shadow);
    ++generation_;
    return kErrorSuccess;
}

long MemoryKeyStore::DeleteValue(KeyHandle key, const std::string& name)
{
    std::lock_guard lock(mutex_);
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    if (!IsPredefinedKey(key) && settable_.count(key) == 0)
        return kErrorAccessDenied;
    return node->values.erase(FoldCase(name)) != 0 ? kErrorSuccess : kErrorFileNotFound;
}

long MemoryKeyStore::CloseKey(KeyHandle key)
{
    std::lock_guard lock(mutex_);
    if (IsPredefinedKey(key))
        return kErrorSuccess;
    settable_.erase(key);
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long MemoryKeyStore::QueryOwner(KeyHandle key, std::string& owner)
{
    std::lock_guard lock(mutex_);
    owner.clear();
    NodePtr node = Resolve(key);
    if (!node)
        return kErrorInvalidHandle;
    owner = node->owner;
    return kErrorSuccess;
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

void MemoryKeyStore::DenyReading(KeyHandle root, const std::string& path)
{
    std::lock_guard lock(mutex_);
    if (NodePtr node = Walk(RootNode(root), path, false, false))
        node->unreadable = true;
}

void MemoryKeyStore::FailDeletion(KeyHandle root, const std::string& path, long error)
{
    std::lock_guard lock(mutex_);
    if (NodePtr node = Walk(RootNode(root), path, false, false))
        node->deleteError = error;
}

void MemoryKeyStore::ShadowKey(KeyHandle root, const std::string& path)
{
    std::lock_guard lock(mutex_);
    if (NodePtr node = Walk(RootNode(root), path, false, false))
        node->shadow = Copy(*node, node->parent.lock());
}

void MemoryKeyStore::SetOwner(KeyHandle root, const std::string& path, const std::string& owner)
{
    std::lock_guard lock(mutex_);
    if (NodePtr node = Walk(RootNode(root), path, false, false))
        node->owner = owner;
}

MemoryKeyStore::NodePtr MemoryKeyStore::Copy(const Node& node, const NodePtr& parent)
{
    auto copy = std::make_shared<Node>();
    copy->name = node.name;
    copy->parent = parent;
    copy->values = node.values;
    for (const auto& [folded, child] : node.children)
        copy->children[folded] = Copy(*child, copy);
    return copy;
}

}  // namespace qob
