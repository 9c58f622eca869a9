#include "removal/RestoreCheck.h"

#include "catalogue/Utf8.h"
#include "removal/BackupFormat.h"
#include "removal/Removal.h"
#include "texts/Texts.h"

#include <array>
#include <string_view>

namespace qob {

namespace {

constexpr std::u16string_view kRegHeader = u"Windows Registry Editor Version 5.00";

// The roots below which a backup saves keys, as its key lines name them.
constexpr std::array<std::u16string_view, 3> kClassRoots = {
    u"HKEY_CLASSES_ROOT",
    u"HKEY_CURRENT_USER\\Software\\Classes",
    u"HKEY_LOCAL_MACHINE\\Software\\Classes",
};

// The parts between the separators: one more than there are separators.
std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
        if (end == std::u16string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A key's name as the registry compares it, for the ASCII names of the
// roots and containers: the registry upper-cases names before it compares
// them, which makes U+0131 (dotless i) an "I" and U+017F (long s) an "S", so
// that "ınterface" names the Interface container. No other character beyond
// ASCII becomes one.
std::u16string RegistrySpelling(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& c : folded) {
        if (c == 0x0131)
            c = u'I';
        else if (c == 0x017F)
            c = u'S';
    }
    return folded;
}

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

bool AllHexDigits(std::u16string_view text)
{
    for (char16_t c : text) {
        if (!IsHexDigit(c))
            return false;
    }
    return true;
}

// A quoted string as the backup writes it, from text[pos] (the opening
// quote): only \\ and \" escaped. `pos` ends after the closing quote.
bool ParseQuoted(std::u16string_view text, std::size_t& pos)
{
    if (pos >= text.size() || text[pos] != u'"')
        return false;
    for (++pos; pos < text.size(); ++pos) {
        const char16_t c = text[pos];
        if (c == u'"') {
            ++pos;
            return true;
        }
        if (c == u'\\') {
            if (pos + 1 >= text.size() || (text[pos + 1] != u'\\' && text[pos + 1] != u'"'))
                return false;
            ++pos;
        }
    }
    return false;
}

// A list of bytes "xx,xx,...", ending in ",\" when it goes on on the next
// line (`continues`). An empty list is allowed only where `mayBeEmpty`.
bool ParseHexBytes(std::u16string_view text, bool mayBeEmpty, bool& continues)
{
    continues = text.size() >= 2 && text.substr(text.size() - 2) == u",\\";
    if (continues)
        text.remove_suffix(2);
    if (text.empty())
        return mayBeEmpty && !continues;
    // "xx", then ",xx" for each further byte.
    if (text.size() % 3 != 2)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        if (!IsHexDigit(text[i]) || !IsHexDigit(text[i + 1]) || (i + 2 < text.size() && text[i + 2] != u','))
            return false;
    }
    return true;
}

// The data of a value line after its "=": a quoted string, "dword:" and
// eight hex digits, or "hex:"/"hex(t):" and bytes.
bool ParseValueData(std::u16string_view data, bool& continues)
{
    continues = false;
    if (!data.empty() && data.front() == u'"') {
        std::size_t pos = 0;
        return ParseQuoted(data, pos) && pos == data.size();
    }
    constexpr std::u16string_view kDword = u"dword:";
    if (data.substr(0, kDword.size()) == kDword)
        return data.size() == kDword.size() + 8 && AllHexDigits(data.substr(kDword.size()));
    constexpr std::u16string_view kHex = u"hex:";
    if (data.substr(0, kHex.size()) == kHex)
        return ParseHexBytes(data.substr(kHex.size()), true, continues);
    constexpr std::u16string_view kHexType = u"hex(";
    if (data.substr(0, kHexType.size()) != kHexType)
        return false;
    const std::size_t close = data.find(u"):", kHexType.size());
    if (close == std::u16string_view::npos)
        return false;
    const std::u16string_view type = data.substr(kHexType.size(), close - kHexType.size());
    return !type.empty() && type.size() <= 8 && AllHexDigits(type) &&
           ParseHexBytes(data.substr(close + 2), true, continues);
}

enum class LineKind { Good, Bad, Deletion };

// A value line: "@=data" or "\"name\"=data"; "=-" deletes the value.
LineKind CheckValueLine(std::u16string_view line, bool& continues)
{
    std::size_t pos = 0;
    if (line.front() == u'@') {
        pos = 1;
    } else if (!ParseQuoted(line, pos) || pos == 2) {
        return LineKind::Bad;  // the default value is written as @, never as ""
    }
    if (pos >= line.size() || line[pos] != u'=')
        return LineKind::Bad;
    const std::u16string_view data = line.substr(pos + 1);
    if (data == u"-")
        return LineKind::Deletion;
    return ParseValueData(data, continues) ? LineKind::Good : LineKind::Bad;
}

RestoreVerdict Refused(RestoreRefusal refusal, BackupFile file, std::size_t line = 0, std::string item = {})
{
    return {refusal, file, line, std::move(item)};
}

// The keys.reg text after its byte-order mark.
RestoreVerdict CheckRegText(std::u16string_view text)
{
    const std::vector<std::u16string_view> lines = TextLines(text);
    if (lines.empty() || lines[0] != kRegHeader)
        return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, 1);
    bool inKey = false;      // value lines may follow
    bool continues = false;  // the line before ended in ",\"
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::u16string_view line = lines[i];
        const std::size_t number = i + 1;
        // A carriage return alone ends a line for the importer, and a zero
        // may end it early: either could hide a line from this check.
        if (line.find_first_of(std::u16string_view(u"\r\0", 2)) != std::u16string_view::npos)
            return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, number);
        if (continues) {
            if (line.substr(0, 2) != u"  " || !ParseHexBytes(line.substr(2), false, continues))
                return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, number);
            continue;
        }
        if (line.empty()) {
            inKey = false;
            continue;
        }
        if (line.front() == u'[') {
            if (line.size() >= 2 && line[1] == u'-')
                return Refused(RestoreRefusal::Deletion, BackupFile::Keys, number);
            if (line.size() < 3 || line.back() != u']')
                return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, number);
            const std::u16string key(line.substr(1, line.size() - 2));
            const RestoreRefusal refusal = CheckClassKey(key);
            if (refusal == RestoreRefusal::NotBackupFormat)
                return Refused(refusal, BackupFile::Keys, number);
            if (refusal != RestoreRefusal::None)
                return Refused(refusal, BackupFile::Keys, number, Utf8FromUtf16(key));
            inKey = true;
            continue;
        }
        if (line.front() == u'@' || line.front() == u'"') {
            const LineKind kind = CheckValueLine(line, continues);
            if (kind == LineKind::Deletion)
                return Refused(RestoreRefusal::Deletion, BackupFile::Keys, number);
            if (kind == LineKind::Bad || !inKey)
                return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, number);
            continue;
        }
        return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, number);
    }
    if (continues)
        return Refused(RestoreRefusal::NotBackupFormat, BackupFile::Keys, lines.size() + 1);
    return {};
}

bool AllDotsAndSpaces(std::u16string_view name)
{
    return name.find_first_not_of(u". ") == std::u16string_view::npos;
}

// The names Windows gives to devices in every folder ("NUL", "com1.txt").
bool IsDeviceName(std::u16string_view name)
{
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.remove_suffix(1);
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
        if (EqualNoCase(stem, device))
            return true;
    }
    if (stem.size() != 4 || stem[3] < u'1' || stem[3] > u'9')
        return false;
    return EqualNoCase(stem.substr(0, 3), u"COM") || EqualNoCase(stem.substr(0, 3), u"LPT");
}

// A copy's name: one file name inside the folder's files\.
bool IsPlainCopyName(std::u16string_view name)
{
    if (AllDotsAndSpaces(name) || IsDeviceName(name))
        return false;
    for (char16_t c : name) {
        if (c < 0x20 || c == u'\\' || c == u'/')
            return false;
    }
    return true;
}

// A target: "C:\..." or "\\server\share\...", then at least one name, no
// empty, "." or ".." part, none of the characters a path cannot hold.
bool IsFullTargetPath(std::u16string_view path)
{
    for (char16_t c : path) {
        if (c < 0x20 || std::u16string_view(u"/*?\"<>|").find(c) != std::u16string_view::npos)
            return false;
    }
    std::size_t rootParts = 0;
    if (path.size() >= 3 && FoldAscii(path[0]) >= u'A' && FoldAscii(path[0]) <= u'Z' && path[1] == u':' &&
        path[2] == u'\\') {
        path.remove_prefix(3);
    } else if (path.substr(0, 2) == u"\\\\") {
        path.remove_prefix(2);
        rootParts = 2;  // the server and the share
    } else {
        return false;
    }
    const std::vector<std::u16string_view> parts = Split(path, u'\\');
    if (parts.size() <= rootParts)
        return false;
    for (std::u16string_view part : parts) {
        if (part.empty() || AllDotsAndSpaces(part))
            return false;
    }
    return true;
}

RestoreVerdict CheckFileListText(std::u16string_view text,
                                 std::vector<std::pair<std::u16string, std::u16string>>& files)
{
    const std::vector<std::u16string_view> lines = TextLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::u16string_view> fields = Split(lines[i], u'\t');
        if (fields.size() != 2)
            return Refused(RestoreRefusal::NotBackupFormat, BackupFile::FileList, i + 1);
        if (!IsPlainCopyName(fields[0]))
            return Refused(RestoreRefusal::CopyNameNotPlain, BackupFile::FileList, i + 1, Utf8FromUtf16(fields[0]));
        if (!IsFullTargetPath(fields[1]))
            return Refused(RestoreRefusal::TargetNotFullPath, BackupFile::FileList, i + 1, Utf8FromUtf16(fields[1]));
        files.emplace_back(fields[0], fields[1]);
    }
    return {};
}

const char* FileName(BackupFile file) { return file == BackupFile::Keys ? "keys.reg" : "files.txt"; }

}  // namespace

RestoreRefusal CheckClassKey(const std::u16string& key)
{
    for (std::u16string_view root : kClassRoots) {
        if (EqualNoCase(key, root))
            return RestoreRefusal::WholeKey;
        if (!StartsWithNoCase(key, std::u16string(root) + u'\\'))
            continue;
        std::vector<std::u16string_view> parts = Split(std::u16string_view(key).substr(root.size() + 1), u'\\');
        for (std::u16string_view part : parts) {
            if (part.empty())
                return RestoreRefusal::NotBackupFormat;  // no key has an empty name
        }
        // Below Wow6432Node the 32-bit view has containers of its own.
        if (EqualNoCase(RegistrySpelling(parts.front()), u"Wow6432Node"))
            parts.erase(parts.begin());
        if (parts.empty() || (parts.size() == 1 && IsRegistryContainer(Utf8FromUtf16(RegistrySpelling(parts.front())))))
            return RestoreRefusal::WholeKey;
        return RestoreRefusal::None;
    }
    return RestoreRefusal::KeyOutsideClasses;
}

RestoreVerdict CheckBackupFolder(const BackupFileRead& keys, const BackupFileRead& fileList, RestorePlan& plan)
{
    using State = BackupFileRead::State;
    plan = RestorePlan();
    if (keys.state == State::Absent && fileList.state == State::Absent)
        return Refused(RestoreRefusal::NoBackup, BackupFile::Keys);
    RestorePlan checked;
    for (const auto& [read, file] : {std::pair{&keys, BackupFile::Keys}, std::pair{&fileList, BackupFile::FileList}}) {
        if (read->state == State::Absent)
            continue;
        if (read->state == State::Unreadable)
            return Refused(RestoreRefusal::Unreadable, file);
        std::u16string text;
        if (!Utf16FileText(read->bytes, text))
            return Refused(RestoreRefusal::NotBackupFormat, file, 1);
        const RestoreVerdict verdict =
            file == BackupFile::Keys ? CheckRegText(text) : CheckFileListText(text, checked.files);
        if (verdict.refusal != RestoreRefusal::None)
            return verdict;
        if (file == BackupFile::Keys)
            checked.topKeys = RegFileTopKeys(text);
    }
    checked.hasKeys = keys.state == State::Read;
    plan = std::move(checked);
    return {};
}

MissingParts FindMissingParts(const std::u16string& keysText, const RegistryPresence& registry)
{
    MissingParts missing;
    std::u16string sections;
    for (const RegSection& section : RegTextSections(keysText)) {
        if (missing.tops.empty() || !IsPathBelow(section.key, missing.tops.back().key))
            missing.tops.push_back({section.key, registry.KeyExists(section.key), 0, 0});
        MissingBelowTop& top = missing.tops.back();
        // No key is there below one that is not.
        const bool keyThere =
            top.there && (EqualNoCase(section.key, top.key) || registry.KeyExists(section.key));
        std::u16string values;
        for (const RegValueText& value : section.values) {
            if (keyThere && registry.ValueExists(section.key, value.name))
                continue;
            values += value.lines;
            top.missingValues += keyThere ? 1 : 0;
        }
        top.missingKeys += keyThere ? 0 : 1;
        if (!keyThere || !values.empty())
            sections += section.keyLine + values + u"\r\n";
    }
    if (!sections.empty())
        missing.importText = RegFileHeader() + sections;
    return missing;
}

std::u16string PathBelowClassRoot(const std::u16string& key)
{
    for (std::u16string_view root : kClassRoots) {
        if (IsPathBelow(key, root))
            return key.substr(root.size() + 1);
    }
    return key;
}

std::string RestoreRefusalText(const RestoreVerdict& verdict, const std::string& folder)
{
    switch (verdict.refusal) {
    case RestoreRefusal::None:
        return {};
    case RestoreRefusal::NoBackup:
        return Text(TextId::RestoreNoBackup, {folder});
    default:
        return Text(TextId::RestoreRefused, {RestoreRefusalReason(verdict, folder)});
    }
}

std::string RestoreRefusalReason(const RestoreVerdict& verdict, const std::string& folder)
{
    const std::string file = FileName(verdict.file);
    const std::string line = std::to_string(verdict.line);
    switch (verdict.refusal) {
    case RestoreRefusal::None:
        return {};
    case RestoreRefusal::NoBackup:
        return Text(TextId::RestoreNoBackup, {folder});
    case RestoreRefusal::Unreadable:
        return Text(TextId::RestoreReasonUnreadable, {file});
    case RestoreRefusal::NotBackupFormat:
        return Text(TextId::RestoreReasonNotBackupFormat, {file, line});
    case RestoreRefusal::Deletion:
        return Text(TextId::RestoreReasonDeletion, {file, line});
    case RestoreRefusal::KeyOutsideClasses:
        return Text(TextId::RestoreReasonKeyOutsideClasses, {verdict.item});
    case RestoreRefusal::WholeKey:
        return Text(TextId::RestoreReasonWholeKey, {verdict.item});
    case RestoreRefusal::CopyNameNotPlain:
        return Text(TextId::RestoreReasonCopyName, {file, verdict.item});
    case RestoreRefusal::TargetNotFullPath:
        return Text(TextId::RestoreReasonTarget, {file, verdict.item});
    }
    return {};
}

}  // namespace qob
