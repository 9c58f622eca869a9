#include "catalogue/TreeDump.h"

namespace qob {

namespace {

void AppendSubtree(std::string& out, const TTreeNode& node, int depth)
{
    out += std::to_string(depth);
    out += '\t';
    out += std::to_string(node.ImageIndex());
    out += '\t';
    out += EscapeControlBytes(node.Text());
    out += '\n';
    for (int i = 0; i < node.Count(); ++i)
        AppendSubtree(out, *node.Item(i), depth + 1);
}

}  // namespace

std::string EscapeControlBytes(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string DumpTree(const TTreeNodes& tree, bool faultyOnly)
{
    std::string out;
    for (const auto& entry : tree.TopLevel()) {
        if (!faultyOnly || entry->ImageIndex() == kIconFaultyEntry)
            AppendSubtree(out, *entry, 0);
    }
    return out;
}

}  // namespace qob
