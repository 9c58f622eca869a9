#include "removal/BackupList.h"

#include "texts/Texts.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

using State = BackupFileRead::State;

BackupFileRead Utf16File(const std::u16string& text) { return {State::Read, "\xFF\xFE" + ToUtf16Le(text)}; }
BackupFileRead Mark(const std::string& text) { return {State::Read, text}; }
const BackupFileRead kAbsent{};

const std::u16string kTwoKeys = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\Qob.A]\r\n@=\"a\"\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\Qob.A\\CLSID]\r\n@=\"{id}\"\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\CLSID\\{id}]\r\n\r\n";
const std::u16string kOtherRoot = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                  u"[HKEY_CURRENT_USER\\Software\\Classes\\Qob.E]\r\n\r\n";
// As the backup names the machine's keys now: by their hive.
const std::u16string kMachineRoot = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                    u"[HKEY_LOCAL_MACHINE\\Software\\Classes\\Qob.M]\r\n\r\n"
                                    u"[HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID\\{id}]\r\n\r\n";
const std::u16string kOneFile = u"1 a.dll\tC:\\qob\\a.dll\r\n";
const std::u16string kRelativeTarget = u"1 a.dll\tC:\\qob\\a.dll\r\n2 b.dll\tb.dll\r\n";

TEST(BackupList, NewestFirstWithTheStateOfEachFolder)
{
    const LocalTime later{2026, 12, 9, 8, 5, 30};
    const std::vector<BackupFolderFiles> folders{
        {u"2026-12-08 101500 Qob.A", Utf16File(kTwoKeys), Utf16File(kOneFile), kAbsent},
        {u"stray", kAbsent, kAbsent, kAbsent},
        {u"2026-12-08 101500 Qob.A (2)", Utf16File(kTwoKeys), kAbsent, Mark(RestoreMarkText(true, later))},
        {u"2026-12-07 235959 Qob.C", Utf16File(kTwoKeys), Utf16File(kRelativeTarget), Mark(RestoreMarkText(true, later))},
        {u"2026-12-09 090000 Qob.B", Utf16File(kOtherRoot), kAbsent, Mark(RestoreMarkText(false, later))},
        {u"2026-12-09 090001 Qob.M", Utf16File(kMachineRoot), kAbsent, kAbsent},
        {u"2026-12-10 000000 Qob.D", kAbsent, Utf16File(kOneFile), Mark("written by hand")},
        // Being written: whole or not so far, marked or not, in use.
        {u"2026-12-11 000000 Qob.E", Utf16File(kTwoKeys), kAbsent, kAbsent, true},
        {u"2026-12-11 000001 Qob.F", kAbsent, kAbsent, Mark(RestoreMarkText(true, later)), true},
    };
    struct Expected {
        const char16_t* folder;
        const char* when;
        const char* key;
        std::size_t keys, files;
        const char* state;
    };
    const Expected expected[] = {
        {u"2026-12-11 000001 Qob.F", "2026-12-11 00:00:01", "Qob.F", 0, 0, "使用中"},
        {u"2026-12-11 000000 Qob.E", "2026-12-11 00:00:00", "Qob.A (+1)", 2, 0, "使用中"},
        // Files only: the ProgID of the folder's name; a mark of another form.
        {u"2026-12-10 000000 Qob.D", "2026-12-10 00:00:00", "Qob.D", 0, 1, "戻しました ()"},
        // The machine's keys, named below their root as the old ones were.
        {u"2026-12-09 090001 Qob.M", "2026-12-09 09:00:01", "Qob.M (+1)", 2, 0, "戻していません"},
        // A key below the user's classes, named below that root.
        {u"2026-12-09 090000 Qob.B", "2026-12-09 09:00:00", "Qob.E", 1, 0, "一部を戻しました (2026-12-09 08:05)"},
        // Of one second, the second run first.
        {u"2026-12-08 101500 Qob.A (2)", "2026-12-08 10:15:00", "Qob.A (+1)", 2, 0, "戻しました (2026-12-09 08:05)"},
        {u"2026-12-08 101500 Qob.A", "2026-12-08 10:15:00", "Qob.A (+1)", 2, 1, "戻していません"},
        // Damaged whatever its mark says; what it holds is still counted.
        {u"2026-12-07 235959 Qob.C", "2026-12-07 23:59:59", "Qob.A (+1)", 2, 2,
         "壊れています: files.txt の戻し先 b.dll は . や .. を含まない完全なパスではありません"},
        // No time in the name: last.
        {u"stray", "", "stray", 0, 0, "壊れています: バックアップが見つかりません: stray"},
    };
    const std::vector<BackupRow> rows = BackupRows(folders);
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].folder, expected[i].folder);
        EXPECT_EQ(rows[i].when, expected[i].when);
        EXPECT_EQ(rows[i].key, expected[i].key);
        EXPECT_EQ(rows[i].keys, expected[i].keys);
        EXPECT_EQ(rows[i].files, expected[i].files);
        EXPECT_EQ(BackupStateText(rows[i]), expected[i].state);
    }
    EXPECT_EQ(rows[7].state, BackupState::Damaged);
    EXPECT_EQ(rows[0].state, BackupState::InUse);
}

}  // namespace
}  // namespace qob
