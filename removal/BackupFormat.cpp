#include "removal/BackupFormat.h"

#include "catalogue/Utf8.h"

#include <cstdio>
#include <string_view>

namespace qob {

namespace {

constexpr char16_t kHexDigits[] = u"0123456789abcdef";

bool HasLineBreak(const std::u16string& name)
{
    return name.find(u'\r') != std::u16string::npos || name.find(u'\n') != std::u16string::npos;
}

void AppendQuoted(std::u16string& out, const std::u16string& text)
{
    out += u'"';
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    out += u'"';
}

void AppendHexNumber(std::u16string& out, std::uint32_t value, int minDigits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*x", minDigits, static_cast<unsigned>(value));
    for (const char* p = buffer; *p; ++p)
        out += static_cast<char16_t>(*p);
}

// The bytes as "xx,xx,...", wrapped the way the registry editor wraps them:
// a line that reaches 77 columns ends in ",\" and the next starts with two
// spaces. `column` is the length of the line before the first byte.
void AppendHexBytes(std::u16string& out, std::size_t column, const std::string& data)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xF];
        if (i + 1 == data.size())
            break;
        out += u',';
        column += 3;
        if (column >= 77) {
            out += u"\\\r\n  ";
            column = 2;
        }
    }
}

// A string value whose bytes a quoted string gives back exactly: whole
// UTF-16 units ending in the one terminating zero, no control characters.
bool QuotedStringRoundTrips(const std::string& data, std::u16string& text)
{
    if (data.size() < 2 || data.size() % 2 != 0)
        return false;
    text.clear();
    for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                                (static_cast<unsigned char>(data[i + 1]) << 8));
        if (unit < 0x20)
            return false;
        text += unit;
    }
    return data[data.size() - 2] == '\0' && data[data.size() - 1] == '\0';
}

void AppendValue(std::u16string& out, const SavedValue& value)
{
    const std::size_t lineStart = out.size();
    if (value.name.empty())
        out += u'@';
    else
        AppendQuoted(out, value.name);
    out += u'=';
    std::u16string text;
    if (value.type == 1 && QuotedStringRoundTrips(value.data, text)) {
        AppendQuoted(out, text);
    } else if (value.type == 4 && value.data.size() == 4) {
        out += u"dword:";
        const auto b = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(value.data[i])); };
        AppendHexNumber(out, b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24, 8);
    } else {
        if (value.type == 3) {
            out += u"hex:";
        } else {
            out += u"hex(";
            AppendHexNumber(out, value.type, 1);
            out += u"):";
        }
        // Wine's reg import crashes on a string value of one byte, leaving
        // the rest of the file unimported: such a value is written with a
        // zero byte added.
        const bool oneByteString = value.data.size() == 1 && (value.type == 1 || value.type == 2 || value.type == 7);
        AppendHexBytes(out, out.size() - lineStart, oneByteString ? value.data + '\0' : value.data);
    }
    out += u"\r\n";
}

// The name of a value line: "" for "@=...", else the quoted name with its
// escapes (\\ and \") undone.
std::u16string ValueLineName(std::u16string_view line)
{
    std::u16string name;
    if (line.empty() || line.front() != u'"')
        return name;
    for (std::size_t pos = 1; pos < line.size() && line[pos] != u'"'; ++pos) {
        if (line[pos] == u'\\' && pos + 1 < line.size())
            ++pos;
        name += line[pos];
    }
    return name;
}

}  // namespace

std::u16string RegFileHeader() { return u"Windows Registry Editor Version 5.00\r\n\r\n"; }

bool AppendRegKeys(const KeyTree& tree, std::u16string& out, std::u16string& badName)
{
    for (const SavedKey& key : tree.keys) {
        if (HasLineBreak(tree.location + key.path)) {
            badName = tree.location + key.path;
            return false;
        }
        for (const SavedValue& value : key.values) {
            if (HasLineBreak(value.name)) {
                badName = value.name;
                return false;
            }
        }
    }
    for (const SavedKey& key : tree.keys) {
        out += u'[';
        out += tree.location;
        out += key.path;
        out += u"]\r\n";
        for (const SavedValue& value : key.values)
            AppendValue(out, value);
        out += u"\r\n";
    }
    return true;
}

std::vector<std::u16string> RegFileTopKeys(const std::u16string& text)
{
    std::vector<std::u16string> tops;
    for (const std::u16string_view line : TextLines(text)) {
        if (line.size() < 2 || line.front() != u'[' || line.back() != u']')
            continue;
        std::u16string name(line.substr(1, line.size() - 2));
        if (!tops.empty() && StartsWithNoCase(name, tops.back() + u'\\'))
            continue;
        tops.push_back(std::move(name));
    }
    return tops;
}

std::u16string RegTextWithout(const std::u16string& text, const std::vector<std::u16string>& topKeys)
{
    const auto dropped = [&](const std::u16string& name) {
        for (const std::u16string& top : topKeys) {
            if (name.size() == top.size() ? StartsWithNoCase(name, top) : StartsWithNoCase(name, top + u'\\'))
                return true;
        }
        return false;
    };
    std::u16string kept;
    bool dropping = false;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find(u'\n', pos);
        end = end == std::u16string::npos ? text.size() : end + 1;
        const std::u16string_view line(text.data() + pos, end - pos);
        if (!line.empty() && line.front() == u'[') {
            const std::size_t close = line.rfind(u']');
            dropping = close != std::u16string_view::npos && dropped(std::u16string(line.substr(1, close - 1)));
        }
        if (!dropping)
            kept += line;
        pos = end;
    }
    return kept;
}

std::vector<RegSection> RegTextSections(const std::u16string& text)
{
    std::vector<RegSection> sections;
    bool continues = false;  // the value line before ended in ",\"
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find(u'\n', pos);
        end = end == std::u16string::npos ? text.size() : end + 1;
        std::u16string line(text, pos, end - pos);
        pos = end;
        if (line.back() != u'\n')
            line += u"\r\n";  // the last line too ends as the others do
        std::u16string_view bare = line;
        while (!bare.empty() && (bare.back() == u'\n' || bare.back() == u'\r'))
            bare.remove_suffix(1);
        const bool continued = continues;
        continues = bare.size() >= 2 && bare.substr(bare.size() - 2) == u",\\";
        if (continued) {
            if (!sections.empty() && !sections.back().values.empty())
                sections.back().values.back().lines += line;
            continue;
        }
        if (!bare.empty() && bare.front() == u'[' && bare.back() == u']') {
            sections.push_back({std::u16string(bare.substr(1, bare.size() - 2)), line, {}});
            continue;
        }
        if (!sections.empty() && !bare.empty() && (bare.front() == u'@' || bare.front() == u'"'))
            sections.back().values.push_back({ValueLineName(bare), line});
        else
            continues = false;
    }
    return sections;
}

std::u16string KeyLocation(const std::u16string& systemName, const std::u16string& path, RegistryView view)
{
    static constexpr std::u16string_view kMachineClasses = u"\\REGISTRY\\MACHINE\\SOFTWARE\\Classes\\";
    static constexpr std::u16string_view kMachine = u"\\REGISTRY\\MACHINE\\";
    static constexpr std::u16string_view kUsers = u"\\REGISTRY\\USER\\";
    static constexpr std::u16string_view kUserClasses = u"_Classes";
    // The machine's classes are named by their own hive, as the user's are:
    // a key in both is restored to the copy it was saved from.
    if (StartsWithNoCase(systemName, kMachineClasses))
        return u"HKEY_LOCAL_MACHINE\\Software\\Classes\\" + systemName.substr(kMachineClasses.size());
    if (StartsWithNoCase(systemName, kMachine))
        return u"HKEY_LOCAL_MACHINE\\" + systemName.substr(kMachine.size());
    if (StartsWithNoCase(systemName, kUsers)) {
        // "\REGISTRY\USER\<sid>_Classes\..." is the user's own classes.
        const std::size_t slash = systemName.find(u'\\', kUsers.size());
        const std::u16string hive = systemName.substr(kUsers.size(), slash - kUsers.size());
        if (slash != std::u16string::npos && hive.size() > kUserClasses.size() &&
            StartsWithNoCase(hive.substr(hive.size() - kUserClasses.size()), kUserClasses))
            return u"HKEY_CURRENT_USER\\Software\\Classes" + systemName.substr(slash);
    }
    return u"HKEY_CLASSES_ROOT\\" + KeyNameInView(path, view);
}

std::u16string BackupFolderName(const LocalTime& t, const std::u16string& progId)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::u16string name(stamp, stamp + std::char_traits<char>::length(stamp));
    std::u16string id = progId.substr(0, 100);
    if (id.size() == 100 && id.back() >= 0xD800 && id.back() <= 0xDBFF)
        id.pop_back();  // never half a surrogate pair
    for (char16_t& c : id) {
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos)
            c = u'_';
    }
    // A name cannot end in a dot or a space.
    for (auto it = id.rbegin(); it != id.rend() && (*it == u'.' || *it == u' '); ++it)
        *it = u'_';
    if (!id.empty())
        name += u' ' + id;
    return name;
}

std::u16string ManifestLine(const std::u16string& copyName, const std::u16string& original)
{
    return copyName + u'\t' + original + u"\r\n";
}

std::vector<std::pair<std::u16string, std::u16string>> ParseManifest(const std::u16string& text)
{
    std::vector<std::pair<std::u16string, std::u16string>> entries;
    for (const std::u16string_view line : TextLines(text)) {
        const std::size_t tab = line.find(u'\t');
        if (tab != std::u16string_view::npos && tab > 0 && tab + 1 < line.size())
            entries.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return entries;
}

std::string ToUtf16Le(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::u16string FromUtf16Le(const std::string& bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (!text.empty() && text.front() == 0xFEFF)
        text.erase(0, 1);
    return text;
}

bool Utf16FileText(const std::string& bytes, std::u16string& text)
{
    if (bytes.size() % 2 != 0 || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return false;
    text = FromUtf16Le(bytes);
    return true;
}

std::vector<std::u16string_view> TextLines(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find(u'\n', pos);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

}  // namespace qob
