#include "removal/BackupList.h"

#include "catalogue/Utf8.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace qob {

namespace {

constexpr std::string_view kComplete = "restored ";
constexpr std::string_view kPartly = "partly restored ";

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Whether the name starts with "yyyy-mm-dd hhmmss".
bool HasTimeStamp(const std::u16string& name)
{
    constexpr std::u16string_view kPattern = u"0000-00-00 000000";
    if (name.size() < kPattern.size())
        return false;
    for (std::size_t i = 0; i < kPattern.size(); ++i) {
        if (kPattern[i] == u'0' ? !IsDigit(name[i]) : name[i] != kPattern[i])
            return false;
    }
    return name.size() == kPattern.size() || name[kPattern.size()] == u' ';
}

// "yyyy-mm-dd hh:mm:ss" of a name that has the stamp.
std::string ShownTime(const std::u16string& name)
{
    const std::string stamp = Utf8FromUtf16(name.substr(0, 17));
    return stamp.substr(0, 13) + ':' + stamp.substr(13, 2) + ':' + stamp.substr(15, 2);
}

// The " (n)" a second folder of the same second ends in; 0 without.
int RunNumber(const std::u16string& name)
{
    if (name.size() < 4 || name.back() != u')')
        return 0;
    const std::size_t open = name.rfind(u" (");
    if (open == std::u16string::npos)
        return 0;
    int number = 0;
    for (std::size_t i = open + 2; i + 1 < name.size(); ++i) {
        if (!IsDigit(name[i]) || number > 1000)
            return 0;
        number = number * 10 + (name[i] - u'0');
    }
    return number;
}

// The ProgID of the name, after the stamp and without the run number.
std::u16string NameProgId(const std::u16string& name)
{
    std::u16string id = HasTimeStamp(name) ? name.substr(std::min<std::size_t>(name.size(), 18)) : name;
    if (RunNumber(id) > 0)
        id.erase(id.rfind(u" ("));
    return id;
}

// A file's text, when it was read and is as the backup writes its files.
bool Utf16Text(const BackupFileRead& file, std::u16string& text)
{
    return file.state == BackupFileRead::State::Read && Utf16FileText(file.bytes, text);
}

// What the mark says: the state and the date after its words.
BackupState ReadMark(const BackupFileRead& mark, std::string& date)
{
    if (mark.state == BackupFileRead::State::Absent)
        return BackupState::NotRestored;
    std::string text = mark.bytes;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    for (const auto& [words, state] : {std::pair{kPartly, BackupState::PartlyRestored},
                                       std::pair{kComplete, BackupState::Restored}}) {
        if (std::string_view(text).substr(0, words.size()) == words) {
            date = text.substr(words.size());
            return state;
        }
    }
    return BackupState::Restored;  // a mark of another form: restored at an unknown date
}

}  // namespace

std::string RestoreMarkText(bool complete, const LocalTime& t)
{
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return std::string(complete ? kComplete : kPartly) + date + "\r\n";
}

BackupRow DescribeBackupFolder(const BackupFolderFiles& folder)
{
    BackupRow row;
    row.folder = folder.name;
    if (HasTimeStamp(folder.name))
        row.when = ShownTime(folder.name);
    RestorePlan plan;
    const RestoreVerdict verdict = CheckBackupFolder(folder.keys, folder.fileList, plan);
    std::vector<std::u16string> topKeys = plan.topKeys;
    row.files = plan.files.size();
    if (verdict.refusal != RestoreRefusal::None) {
        row.state = BackupState::Damaged;
        row.damage = RestoreRefusalReason(verdict, Utf8FromUtf16(folder.name));
        // What can still be told of a damaged folder.
        std::u16string text;
        if (Utf16Text(folder.keys, text))
            topKeys = RegFileTopKeys(text);
        if (Utf16Text(folder.fileList, text))
            row.files = ParseManifest(text).size();
    } else {
        row.state = ReadMark(folder.mark, row.restoredOn);
    }
    // A folder still being written may well look damaged, or whole and
    // about to change.
    if (folder.inUse) {
        row.state = BackupState::InUse;
        row.damage.clear();
        row.restoredOn.clear();
    }
    row.keys = topKeys.size();
    row.key = Utf8FromUtf16(topKeys.empty() ? NameProgId(folder.name) : PathBelowClassRoot(topKeys.front()));
    if (topKeys.size() > 1)
        row.key += " (+" + std::to_string(topKeys.size() - 1) + ")";
    return row;
}

std::vector<BackupRow> BackupRows(const std::vector<BackupFolderFiles>& folders)
{
    std::vector<BackupRow> rows;
    rows.reserve(folders.size());
    for (const BackupFolderFiles& folder : folders)
        rows.push_back(DescribeBackupFolder(folder));
    std::sort(rows.begin(), rows.end(), [](const BackupRow& a, const BackupRow& b) {
        if (a.when != b.when)
            return a.when > b.when;  // the stamp reads in time order; none comes last
        const int runA = RunNumber(a.folder), runB = RunNumber(b.folder);
        if (runA != runB)
            return runA > runB;
        return a.folder < b.folder;
    });
    return rows;
}

std::string BackupStateText(const BackupRow& row)
{
    switch (row.state) {
    case BackupState::NotRestored:
        return std::string(Text(TextId::UndoStateNotRestored));
    case BackupState::Restored:
        return Text(TextId::UndoStateRestored, {row.restoredOn});
    case BackupState::PartlyRestored:
        return Text(TextId::UndoStatePartlyRestored, {row.restoredOn});
    case BackupState::Damaged:
        return Text(TextId::UndoStateDamaged, {row.damage});
    case BackupState::InUse:
        return std::string(Text(TextId::UndoStateInUse));
    }
    return {};
}

}  // namespace qob
