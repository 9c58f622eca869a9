#include "sections/CsvReport.h"

#include "sections/SectionLines.h"
#include "texts/Texts.h"

namespace qob {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Joined(const std::vector<std::string>& items, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0)
            text += separator;
        text += items[i];
    }
    return text;
}

void AppendRecord(std::string& out, std::initializer_list<std::string_view> fields)
{
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            out += ',';
        first = false;
        out += CsvField(field);
    }
    out += "\r\n";
}

// The files a broken key names: the missing servers of a class, the missing
// files of a type library; an interface names ids only.
std::vector<std::string> FilesOf(const BrokenKey& key)
{
    if (key.reason == BreakReason::MissingServer || key.reason == BreakReason::MissingFile)
        return key.missing;
    return {};
}

bool IsServerGroup(const std::string& group) { return group == "InprocServer32" || group == "LocalServer32"; }

}  // namespace

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

std::string CsvReport(const std::vector<ReportRow>& rows)
{
    std::string out(kByteOrderMark);
    AppendRecord(out, {Text(TextId::OtherBrokenColumnKind), Text(TextId::OtherBrokenColumnKey),
                       Text(TextId::OtherBrokenColumnDescription), Text(TextId::OtherBrokenColumnReason),
                       Text(TextId::ReportColumnToken), Text(TextId::OtherBrokenColumnProgId),
                       Text(TextId::ReportColumnFiles)});
    for (const ReportRow& row : rows)
        AppendRecord(out, {row.kind, row.key, row.description, row.reason, row.token, row.progIds, row.files});
    return out;
}

ReportRow BrokenKeyReportRow(const BrokenKey& key, const std::string& progIds)
{
    return {KindText(key.kind), key.name, key.description, ReasonText(key), ReasonToken(key), progIds,
            Joined(FilesOf(key), " | ")};
}

std::vector<ReportRow> BrokenKeyReportRows(const std::vector<BrokenKey>& keys, const ProgIdNames& names)
{
    std::vector<ReportRow> rows;
    rows.reserve(keys.size());
    for (const BrokenKey& key : keys)
        rows.push_back(BrokenKeyReportRow(key, names.For(key)));
    return rows;
}

std::vector<ReportRow> FaultyEntryReportRows(const TTreeNodes& tree)
{
    std::vector<ReportRow> rows;
    for (const auto& entry : tree.TopLevel()) {
        if (entry->ImageIndex() != kIconFaultyEntry)
            continue;
        std::vector<std::string> groups;
        std::vector<std::string> files;
        std::string description;
        for (int i = 0; i < entry->Count(); ++i) {
            const TTreeNode& node = *entry->Item(i);
            // The first child is the entry's description; the groups follow.
            if (i == 0) {
                description = node.Text();
                continue;
            }
            if (node.ImageIndex() != kIconFaultyGroup)
                continue;
            groups.push_back(node.Text());
            if (IsServerGroup(node.Text()) && node.HasChildren())
                files.push_back(node.Item(0)->Text());
        }
        rows.push_back({std::string(Text(TextId::ReportKindProgId)), entry->Text(), description,
                        Text(TextId::ReportReasonFaultyGroups, {Joined(groups, " | ")}),
                        "faulty-groups " + Joined(groups, "|"), entry->Text(), Joined(files, " | ")});
    }
    return rows;
}

}  // namespace qob
