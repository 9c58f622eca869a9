#include "tests/support/MemoryKeyTree.h"

#include "removal/BackupFormat.h"

#include <iconv.h>

namespace qob {

struct MemoryKeyTree::Node {
    std::u16string name;
    std::vector<SavedValue> values;
    std::map<std::u16string, std::unique_ptr<Node>> children;  // by folded name
};

namespace {

std::u16string Folded(std::u16string text)
{
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return text;
}

std::vector<std::u16string> Split(const std::u16string& path)
{
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

std::u16string WidenUtf8(const std::string& text)
{
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* outp = out.data();
    std::size_t inLeft = text.size();
    std::size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return FromUtf16Le(out);
}

MemoryKeyTree::MemoryKeyTree() : root_(std::make_unique<Node>()) {}
MemoryKeyTree::~MemoryKeyTree() = default;

MemoryKeyTree::Node* MemoryKeyTree::Walk(const std::u16string& path, bool create, std::u16string* storedPath)
{
    Node* node = root_.get();
    for (const std::u16string& part : Split(path)) {
        auto& child = node->children[Folded(part)];
        if (!child) {
            if (!create) {
                node->children.erase(Folded(part));
                return nullptr;
            }
            child = std::make_unique<Node>();
            child->name = part;
        }
        node = child.get();
        if (storedPath)
            *storedPath += u'\\' + node->name;
    }
    return node;
}

void MemoryKeyTree::CreateKey(const std::u16string& path) { Walk(path, true, nullptr); }

void MemoryKeyTree::SetValue(const std::u16string& path, const std::u16string& name, std::uint32_t type,
                             std::string data)
{
    Node* node = Walk(path, true, nullptr);
    for (SavedValue& value : node->values) {
        if (Folded(value.name) == Folded(name)) {
            value = {name, type, std::move(data)};
            return;
        }
    }
    node->values.push_back({name, type, std::move(data)});
}

void MemoryKeyTree::Collect(const Node& node, const std::u16string& path, std::vector<SavedKey>& keys)
{
    keys.push_back({path, node.values});
    for (const auto& [folded, child] : node.children)
        Collect(*child, path + u'\\' + child->name, keys);
}

long MemoryKeyTree::Read(const std::string& path, RegistryView view, KeyTree& tree)
{
    tree = KeyTree();
    std::u16string wide = WidenUtf8(path);
    const std::vector<std::u16string> parts = Split(wide);
    if (view == RegistryView::Wow64_32 && !parts.empty() && Folded(parts[0]) == u"CLSID")
        wide = u"Wow6432Node\\" + wide;
    std::u16string stored = u"\\REGISTRY\\MACHINE\\SOFTWARE\\Classes";
    const Node* node = Walk(wide, false, &stored);
    if (!node)
        return 2;
    tree.location = KeyLocation(stored, WidenUtf8(path), view);
    Collect(*node, u"", tree.keys);
    return 0;
}

}  // namespace qob
