#include "removal/RestoreCheck.h"

#include "removal/BackupFormat.h"
#include "removal/ValueDeletion.h"
#include "texts/Texts.h"

#include "catalogue/Utf8.h"

#include <gtest/gtest.h>

#include <set>

namespace qob {
namespace {

using Refusal = RestoreRefusal;
using State = BackupFileRead::State;

BackupFileRead Utf16File(const std::u16string& text) { return {State::Read, "\xFF\xFE" + ToUtf16Le(text)}; }

const BackupFileRead kAbsent{};

const std::u16string kHeader = u"Windows Registry Editor Version 5.00\r\n\r\n";

RestoreVerdict CheckKeys(const std::u16string& text)
{
    RestorePlan plan;
    return CheckBackupFolder(Utf16File(text), kAbsent, plan);
}

RestoreVerdict CheckList(const std::u16string& text)
{
    RestorePlan plan;
    return CheckBackupFolder(kAbsent, Utf16File(text), plan);
}

std::string Describe(const RestoreVerdict& v)
{
    return std::to_string(static_cast<int>(v.refusal)) + " line " + std::to_string(v.line) + " item " + v.item;
}

TEST(RestoreCheck, EverythingTheBackupWritesIsAccepted)
{
    const std::string utf16A = ToUtf16Le(std::u16string(u"a\0", 2));
    std::string longData;
    for (int i = 0; i < 200; ++i)
        longData += static_cast<char>(i);
    const std::vector<SavedValue> values{
        {u"", 1, utf16A},
        {u"q\"b\\s", 1, ToUtf16Le(std::u16string(u"a\"b\\c\0", 6))},
        {u"ctl\x01\t[x]=-", 1, ""},
        {u"d", 4, std::string("\1\2\3\4", 4)},
        {u"h", 3, longData},
        {u"x", 2, longData},
        {u"n", 0, ""},
        {u"u", 0x12345678, std::string("\5", 1)},
        {u"表 😀", 7, ToUtf16Le(std::u16string(u"a\0\0", 3))},
    };
    std::u16string text = RegFileHeader();
    std::u16string bad;
    for (const std::u16string location :
         {u"HKEY_CLASSES_ROOT\\Qob.A", u"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{id}",
          u"HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{id}", u"HKEY_LOCAL_MACHINE\\Software\\Classes\\TypeLib\\{t}",
          u"HKEY_CLASSES_ROOT\\表 😀"}) {
        const KeyTree tree{location, {{u"", values}, {u"\\Sub]x", {}}, {u"\\Sub]x\\-deeper", values}}};
        ASSERT_TRUE(AppendRegKeys(tree, text, bad));
    }
    const std::u16string list = ManifestLine(u"1 server.dll", u"C:\\qob\\server.dll") +
                                ManifestLine(u"2 a..b 表.dll", u"\\\\server\\share\\dir\\a..b 表.dll") +
                                ManifestLine(u"3 x", u"c:\\x");
    RestorePlan plan;
    const RestoreVerdict verdict = CheckBackupFolder(Utf16File(text), Utf16File(list), plan);
    EXPECT_EQ(verdict.refusal, Refusal::None) << Describe(verdict);
    EXPECT_TRUE(plan.hasKeys);
    EXPECT_EQ(plan.topKeys, RegFileTopKeys(text));
    EXPECT_EQ(plan.topKeys.size(), 5u);
    EXPECT_EQ(plan.files, ParseManifest(list));
    EXPECT_EQ(plan.files.size(), 3u);
}

TEST(RestoreCheck, MissingAndUnreadableFiles)
{
    RestorePlan plan;
    EXPECT_EQ(CheckBackupFolder(kAbsent, kAbsent, plan).refusal, Refusal::NoBackup);

    // A folder of files alone, or of keys alone.
    EXPECT_EQ(CheckBackupFolder(kAbsent, Utf16File(ManifestLine(u"1 a", u"C:\\a")), plan).refusal, Refusal::None);
    EXPECT_FALSE(plan.hasKeys);
    EXPECT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(CheckBackupFolder(Utf16File(kHeader), kAbsent, plan).refusal, Refusal::None);
    EXPECT_TRUE(plan.hasKeys);
    EXPECT_TRUE(plan.topKeys.empty() && plan.files.empty());

    // A file that is there but cannot be read is never "nothing saved".
    const BackupFileRead unreadable{State::Unreadable, {}};
    const BackupFileRead goodList = Utf16File(ManifestLine(u"1 a", u"C:\\a"));
    RestoreVerdict v = CheckBackupFolder(unreadable, goodList, plan);
    EXPECT_EQ(v.refusal, Refusal::Unreadable);
    EXPECT_EQ(v.file, BackupFile::Keys);
    EXPECT_TRUE(plan.files.empty()) << "a refused folder leaves no plan";
    v = CheckBackupFolder(Utf16File(kHeader), unreadable, plan);
    EXPECT_EQ(v.refusal, Refusal::Unreadable);
    EXPECT_EQ(v.file, BackupFile::FileList);

    // Not UTF-16 with its byte-order mark: empty, ANSI, big-endian, half a unit.
    for (const std::string& bytes : {std::string(), std::string("Windows Registry Editor Version 5.00\r\n"),
                                     "\xFE\xFF" + std::string("\0W", 2), Utf16File(kHeader).bytes + "x"}) {
        v = CheckBackupFolder({State::Read, bytes}, goodList, plan);
        EXPECT_EQ(v.refusal, Refusal::NotBackupFormat) << bytes.size();
        EXPECT_EQ(v.line, 1u);
        v = CheckBackupFolder(kAbsent, {State::Read, bytes}, plan);
        EXPECT_EQ(v.refusal, Refusal::NotBackupFormat) << bytes.size();
        EXPECT_EQ(v.file, BackupFile::FileList);
    }
}

TEST(RestoreCheck, CraftedKeyFiles)
{
    struct Case {
        std::u16string body;  // after the header and its blank line (lines 1 and 2)
        Refusal refusal;
        std::size_t line;
        std::string item;
    };
    const std::u16string key = u"[HKEY_CLASSES_ROOT\\Qob.A]\r\n";
    const std::vector<Case> cases{
        // Deletions, of keys and of values.
        {u"[-HKEY_CLASSES_ROOT\\Qob.A]\r\n", Refusal::Deletion, 3, ""},
        {key + u"\"v\"=-\r\n", Refusal::Deletion, 4, ""},
        {key + u"@=-\r\n", Refusal::Deletion, 4, ""},
        {key + u"@=\"x\"\r\n\"a\\\"b\"=-\r\n", Refusal::Deletion, 5, ""},
        // Keys outside the class roots.
        {u"[HKEY_CURRENT_USER\\Software\\Qob]\r\n", Refusal::KeyOutsideClasses, 3, "HKEY_CURRENT_USER\\Software\\Qob"},
        {u"[HKEY_CURRENT_USER\\Software]\r\n", Refusal::KeyOutsideClasses, 3, "HKEY_CURRENT_USER\\Software"},
        {u"[HKEY_CURRENT_USER\\Software\\ClassesX\\A]\r\n", Refusal::KeyOutsideClasses, 3,
         "HKEY_CURRENT_USER\\Software\\ClassesX\\A"},
        {u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet]\r\n", Refusal::KeyOutsideClasses, 3,
         "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet"},
        {u"[HKEY_USERS\\.DEFAULT\\Software\\Classes\\A]\r\n", Refusal::KeyOutsideClasses, 3,
         "HKEY_USERS\\.DEFAULT\\Software\\Classes\\A"},
        {u"[HKCR\\Qob.A]\r\n", Refusal::KeyOutsideClasses, 3, "HKCR\\Qob.A"},
        {key + u"\r\n[HKEY_CLASSES_ROOTX\\A]\r\n", Refusal::KeyOutsideClasses, 5, "HKEY_CLASSES_ROOTX\\A"},
        // A root or a container as a whole, in any case.
        {u"[HKEY_CLASSES_ROOT]\r\n", Refusal::WholeKey, 3, "HKEY_CLASSES_ROOT"},
        {u"[HKEY_CLASSES_ROOT\\CLSID]\r\n", Refusal::WholeKey, 3, "HKEY_CLASSES_ROOT\\CLSID"},
        {u"[hkey_classes_root\\typelib]\r\n", Refusal::WholeKey, 3, "hkey_classes_root\\typelib"},
        {u"[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID]\r\n", Refusal::WholeKey, 3,
         "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID"},
        {u"[HKEY_CLASSES_ROOT\\Wow6432Node]\r\n", Refusal::WholeKey, 3, "HKEY_CLASSES_ROOT\\Wow6432Node"},
        {u"[HKEY_CLASSES_ROOT\\Component Categories]\r\n", Refusal::WholeKey, 3,
         "HKEY_CLASSES_ROOT\\Component Categories"},
        {u"[HKEY_CLASSES_ROOT\\*]\r\n", Refusal::WholeKey, 3, "HKEY_CLASSES_ROOT\\*"},
        {u"[HKEY_CURRENT_USER\\Software\\Classes]\r\n", Refusal::WholeKey, 3, "HKEY_CURRENT_USER\\Software\\Classes"},
        {u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\Interface]\r\n", Refusal::WholeKey, 3,
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\Interface"},
        {u"[HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\AppID]\r\n", Refusal::WholeKey, 3,
         "HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\AppID"},
        // The registry upper-cases a dotless i to I.
        {u"[HKEY_CLASSES_ROOT\\\u0131nterface]\r\n", Refusal::WholeKey, 3, "HKEY_CLASSES_ROOT\\\xC4\xB1nterface"},
        // A later key, after keys that pass.
        {key + u"@=\"x\"\r\n\r\n[HKEY_CLASSES_ROOT\\Qob.A\\Sub]\r\n\r\n[HKEY_CLASSES_ROOT\\AppID]\r\n",
         Refusal::WholeKey, 8, "HKEY_CLASSES_ROOT\\AppID"},
        // Lines the backup does not write.
        {u"[HKEY_CLASSES_ROOT\\CLSID\\]\r\n", Refusal::NotBackupFormat, 3, ""},
        {u"[HKEY_CLASSES_ROOT\\\\CLSID]\r\n", Refusal::NotBackupFormat, 3, ""},
        {u"[HKEY_CLASSES_ROOT\\Qob.A\r\n", Refusal::NotBackupFormat, 3, ""},
        {u"[]\r\n", Refusal::NotBackupFormat, 3, ""},
        {u"@=\"no key yet\"\r\n", Refusal::NotBackupFormat, 3, ""},
        {key + u"\r\n@=\"after the key's blank line\"\r\n", Refusal::NotBackupFormat, 5, ""},
        {u"; a comment\r\n", Refusal::NotBackupFormat, 3, ""},
        {u" [-HKEY_CLASSES_ROOT\\Qob.A]\r\n", Refusal::NotBackupFormat, 3, ""},
        {key + u"\"v\"=\"open\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=\"a\\n\"\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=\"a\"b\"\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"\"=\"x\"\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\" = \"x\"\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"v=\"x\"\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=dword:1234567\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=dword:1234567g\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=hex:4\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=hex:41,,42\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=hex:41,\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=hex(zz):41\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=hex():41\r\n", Refusal::NotBackupFormat, 4, ""},
        {key + u"\"v\"=str(2):\"x\"\r\n", Refusal::NotBackupFormat, 4, ""},
        // A value whose bytes go on: the next line, two spaces in, holds bytes.
        {key + u"\"v\"=hex:41,\\\r\n[-HKEY_CLASSES_ROOT\\Qob.A]\r\n", Refusal::NotBackupFormat, 5, ""},
        {key + u"\"v\"=hex:41,\\\r\n  \r\n", Refusal::NotBackupFormat, 5, ""},
        {key + u"\"v\"=hex:41,\\\r\n  42,\\\r\n", Refusal::NotBackupFormat, 6, ""},
        // A lone carriage return or a zero would end a line early for the importer.
        {key + u"@=\"x\r[-HKEY_CLASSES_ROOT\\CLSID]\"\r\n", Refusal::NotBackupFormat, 4, ""},
        {std::u16string(u"[HKEY_CLASSES_ROOT\\Qob.A\0]\r\n", 28), Refusal::NotBackupFormat, 3, ""},
        // Passes: a ProgID beside a container, or named like a root.
        {u"[HKEY_CLASSES_ROOT\\CLSIDX]\r\n[HKEY_CLASSES_ROOT\\HKEY_CLASSES_ROOT]\r\n", Refusal::None, 0, ""},
        {key + u"\"v\"=hex:41,\\\r\n  42\r\n\r\n", Refusal::None, 0, ""},
        {std::u16string(u"[HKEY_CLASSES_ROOT\\Qob.A]\n@=\"LF alone\"\n"), Refusal::None, 0, ""},
    };
    for (const Case& c : cases) {
        const RestoreVerdict v = CheckKeys(kHeader + c.body);
        const std::string expected = Describe({c.refusal, BackupFile::Keys, c.line, c.item});
        EXPECT_EQ(Describe(v), expected) << "case " << (&c - cases.data());
    }
    // The header must be the first line as the backup writes it.
    for (const std::u16string& text : {std::u16string(u"REGEDIT4\r\n\r\n"), u"\r\n" + kHeader,
                                       std::u16string(u"Windows Registry Editor Version 5.00 \r\n"),
                                       std::u16string()}) {
        const RestoreVerdict v = CheckKeys(text);
        EXPECT_EQ(v.refusal, Refusal::NotBackupFormat);
        EXPECT_EQ(v.line, 1u);
    }
}

TEST(RestoreCheck, CraftedFileLists)
{
    struct Case {
        std::u16string text;
        Refusal refusal;
        std::size_t line;
        std::string item;
    };
    const std::u16string good = ManifestLine(u"1 a.dll", u"C:\\qob\\a.dll");
    const std::vector<Case> cases{
        // Copy names that leave files\ or name no file in it.
        {ManifestLine(u"..\\..\\keys.reg", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, "..\\..\\keys.reg"},
        {good + ManifestLine(u"../x", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 2, "../x"},
        {ManifestLine(u"C:\\Windows\\win.ini", u"C:\\a.ini"), Refusal::CopyNameNotPlain, 1, "C:\\Windows\\win.ini"},
        {ManifestLine(u"..", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, ".."},
        {ManifestLine(u".", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, "."},
        {ManifestLine(u". .", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, ". ."},
        {ManifestLine(u"NUL", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, "NUL"},
        {ManifestLine(u"com1.dll", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, "com1.dll"},
        {ManifestLine(u"con .txt", u"C:\\a.dll"), Refusal::CopyNameNotPlain, 1, "con .txt"},
        {u"\tC:\\a.dll\r\n", Refusal::CopyNameNotPlain, 1, ""},
        // Targets that are not full paths, or climb.
        {ManifestLine(u"1 a.dll", u"a.dll"), Refusal::TargetNotFullPath, 1, "a.dll"},
        {ManifestLine(u"1 a.dll", u"bin\\a.dll"), Refusal::TargetNotFullPath, 1, "bin\\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:a.dll"), Refusal::TargetNotFullPath, 1, "C:a.dll"},
        {ManifestLine(u"1 a.dll", u"\\a.dll"), Refusal::TargetNotFullPath, 1, "\\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\"), Refusal::TargetNotFullPath, 1, "C:\\"},
        {ManifestLine(u"1 a.dll", u"1:\\a.dll"), Refusal::TargetNotFullPath, 1, "1:\\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\..\\Windows\\a.dll"), Refusal::TargetNotFullPath, 1,
         "C:\\qob\\..\\Windows\\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\.\\a.dll"), Refusal::TargetNotFullPath, 1, "C:\\qob\\.\\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\.. \\a.dll"), Refusal::TargetNotFullPath, 1, "C:\\qob\\.. \\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\a.dll\\.."), Refusal::TargetNotFullPath, 1, "C:\\qob\\a.dll\\.."},
        {ManifestLine(u"1 a.dll", u"C:\\qob/../a.dll"), Refusal::TargetNotFullPath, 1, "C:\\qob/../a.dll"},
        {ManifestLine(u"1 a.dll", u"C:/qob/a.dll"), Refusal::TargetNotFullPath, 1, "C:/qob/a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\\\a.dll"), Refusal::TargetNotFullPath, 1, "C:\\qob\\\\a.dll"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\"), Refusal::TargetNotFullPath, 1, "C:\\qob\\"},
        {ManifestLine(u"1 a.dll", u"C:\\qob\\a*.dll"), Refusal::TargetNotFullPath, 1, "C:\\qob\\a*.dll"},
        {ManifestLine(u"1 a.dll", u"\\\\server\\share"), Refusal::TargetNotFullPath, 1, "\\\\server\\share"},
        {ManifestLine(u"1 a.dll", u"\\\\server\\share\\"), Refusal::TargetNotFullPath, 1, "\\\\server\\share\\"},
        {ManifestLine(u"1 a.dll", u"\\\\server\\\\a.dll"), Refusal::TargetNotFullPath, 1, "\\\\server\\\\a.dll"},
        {ManifestLine(u"1 a.dll", u"\\\\?\\C:\\a.dll"), Refusal::TargetNotFullPath, 1, "\\\\?\\C:\\a.dll"},
        {ManifestLine(u"1 a.dll", u"\\\\.\\C:\\a.dll"), Refusal::TargetNotFullPath, 1, "\\\\.\\C:\\a.dll"},
        {ManifestLine(u"1 a.dll", u"\\\\server\\share\\..\\other\\a.dll"), Refusal::TargetNotFullPath, 1,
         "\\\\server\\share\\..\\other\\a.dll"},
        // Lines that are not "copy TAB target".
        {good + u"garbage\r\n", Refusal::NotBackupFormat, 2, ""},
        {u"1 a.dll\tC:\\a.dll\textra\r\n", Refusal::NotBackupFormat, 1, ""},
        {good + u"\r\n" + good, Refusal::NotBackupFormat, 2, ""},
        // Passes.
        {good + ManifestLine(u"2 b", u"\\\\server\\share\\b"), Refusal::None, 0, ""},
        {std::u16string(), Refusal::None, 0, ""},
    };
    for (const Case& c : cases) {
        const RestoreVerdict v = CheckList(c.text);
        EXPECT_EQ(Describe(v), Describe({c.refusal, BackupFile::FileList, c.line, c.item}))
            << "case " << (&c - cases.data());
        if (c.refusal != Refusal::None) {
            EXPECT_EQ(v.file, BackupFile::FileList);
        }
    }
}

TEST(RestoreCheck, TheReasonIsOneLineInTheUsersLanguage)
{
    const std::vector<std::pair<RestoreVerdict, std::string>> cases{
        {{Refusal::NoBackup, BackupFile::Keys, 0, ""}, "No backup found: C:\\b"},
        {{Refusal::Unreadable, BackupFile::Keys, 0, ""}, "This backup cannot be restored: keys.reg cannot be read"},
        {{Refusal::NotBackupFormat, BackupFile::FileList, 7, ""},
         "This backup cannot be restored: line 7 of files.txt is not in the backup's format"},
        {{Refusal::Deletion, BackupFile::Keys, 3, ""},
         "This backup cannot be restored: line 3 of keys.reg deletes from the registry"},
        {{Refusal::KeyOutsideClasses, BackupFile::Keys, 3, "HKEY_CURRENT_USER\\Software\\Qob"},
         "This backup cannot be restored: the key HKEY_CURRENT_USER\\Software\\Qob lies outside the class "
         "registrations"},
        {{Refusal::WholeKey, BackupFile::Keys, 3, "HKEY_CLASSES_ROOT\\CLSID"},
         "This backup cannot be restored: the key HKEY_CLASSES_ROOT\\CLSID is a whole key of the registry itself"},
        {{Refusal::CopyNameNotPlain, BackupFile::FileList, 1, "..\\x"},
         "This backup cannot be restored: the copy name ..\\x in files.txt is not a file name inside the backup"},
        {{Refusal::TargetNotFullPath, BackupFile::FileList, 1, "a.dll"},
         "This backup cannot be restored: the target a.dll in files.txt is not a full path without . or .. parts"},
    };
    SelectLanguage(Language::English);
    for (const auto& [verdict, expected] : cases)
        EXPECT_EQ(RestoreRefusalText(verdict, "C:\\b"), expected);
    SelectLanguage(Language::Japanese);
    for (const auto& [verdict, expected] : cases) {
        const std::string text = RestoreRefusalText(verdict, "C:\\b");
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_NE(text.find(verdict.refusal == Refusal::NoBackup ? "C:\\b" : verdict.item), std::string::npos);
        EXPECT_NE(text, expected);
    }
    EXPECT_EQ(RestoreRefusalText({}, "C:\\b"), "");
}

// A registry of the keys and values it is given; values as "key|name".
class FakeRegistry : public RegistryPresence {
public:
    FakeRegistry(std::set<std::u16string> keys, std::set<std::u16string> values)
        : keys_(std::move(keys)), values_(std::move(values))
    {
    }
    bool KeyExists(const std::u16string& key) const override { return keys_.count(key) != 0; }
    bool ValueExists(const std::u16string& key, const std::u16string& name) const override
    {
        return KeyExists(key) && values_.count(key + u'|' + name) != 0;
    }

private:
    std::set<std::u16string> keys_, values_;
};

// A saved class: a top key with a default value, a subkey with a value of
// several lines and a named one, and a subkey below a subkey.
const std::u16string kTop = u"HKEY_CLASSES_ROOT\\CLSID\\{id}";
const std::u16string kServer = kTop + u"\\InprocServer32";
const std::u16string kDeeper = kTop + u"\\Empty\\Deeper";
const std::u16string kTopSection = u"[" + kTop + u"]\r\n@=\"class\"\r\n\r\n";
const std::u16string kServerLine = u"[" + kServer + u"]\r\n";
const std::u16string kServerDefault = u"@=hex(2):43,00,\\\r\n  00,00\r\n";
const std::u16string kServerModel = u"\"Threading\\\"Model\"=\"Both\"\r\n";
const std::u16string kEmptySection = u"[" + kTop + u"\\Empty]\r\n\r\n";
const std::u16string kDeeperSection = u"[" + kDeeper + u"]\r\n\r\n";
const std::u16string kSaved =
    kHeader + kTopSection + kServerLine + kServerDefault + kServerModel + u"\r\n" + kEmptySection + kDeeperSection;

std::string Describe(const MissingBelowTop& top)
{
    return Utf8FromUtf16(top.key) + (top.there ? " there" : " gone") + " keys " + std::to_string(top.missingKeys) +
           " values " + std::to_string(top.missingValues);
}

TEST(RestoreMissingParts, AKeyThatWentComesBackWholeAndOneThereWholeIsLeftAlone)
{
    const std::set<std::u16string> allValues{kTop + u"|", kServer + u"|", kServer + u"|Threading\"Model"};
    const std::set<std::u16string> allKeys{kTop, kServer, kTop + u"\\Empty", kDeeper};
    const std::u16string other = u"[HKEY_CLASSES_ROOT\\Qob.Other]\r\n@=\"o\"\r\n\r\n";

    const MissingParts gone = FindMissingParts(kSaved + other, FakeRegistry(allKeys, allValues));
    ASSERT_EQ(gone.tops.size(), 2u);
    EXPECT_EQ(Describe(gone.tops[0]), Describe({kTop, true, 0, 0}));
    EXPECT_EQ(Describe(gone.tops[1]), Describe({u"HKEY_CLASSES_ROOT\\Qob.Other", false, 1, 0}));
    EXPECT_EQ(gone.importText, kHeader + other);

    const MissingParts none = FindMissingParts(kSaved, FakeRegistry(allKeys, allValues));
    ASSERT_EQ(none.tops.size(), 1u);
    EXPECT_TRUE(none.tops[0].NothingMissing());
    EXPECT_EQ(none.importText, u"") << "nothing to import when nothing is missing";

    const MissingParts all = FindMissingParts(kSaved, FakeRegistry({}, {}));
    EXPECT_EQ(Describe(all.tops[0]), Describe({kTop, false, 4, 0}));
    EXPECT_EQ(all.importText, kSaved);
}

TEST(RestoreMissingParts, BelowAKeyThatIsThereOnlyWhatWentIsImported)
{
    // Half deleted: the top key and the server key are there, the server's
    // default value and the subkeys below Empty went.
    const FakeRegistry half({kTop, kServer}, {kTop + u"|", kServer + u"|Threading\"Model"});
    const MissingParts missing = FindMissingParts(kSaved, half);
    ASSERT_EQ(missing.tops.size(), 1u);
    EXPECT_EQ(Describe(missing.tops[0]), Describe({kTop, true, 2, 1}));
    // No line for the top key, whose values are all there; the server key's
    // line and the value it lost, with its continuation line; the keys that
    // went, whole.
    EXPECT_EQ(missing.importText, kHeader + kServerLine + kServerDefault + u"\r\n" + kEmptySection + kDeeperSection);

    // The top key's default value went, the rest is there; a named value is
    // asked for by its name, escapes undone.
    const FakeRegistry lostDefault({kTop, kServer, kTop + u"\\Empty", kDeeper},
                                   {kServer + u"|", kServer + u"|Threading\"Model"});
    const MissingParts top = FindMissingParts(kSaved, lostDefault);
    EXPECT_EQ(Describe(top.tops[0]), Describe({kTop, true, 0, 1}));
    EXPECT_EQ(top.importText, kHeader + kTopSection);
}

// The backup of a file type's default value alone: the key line and that
// one value. Its restore puts the value back only where it is absent, and
// recreates none of the key's subkeys or other values, whatever went since.
TEST(RestoreMissingParts, AFileTypesValueComesBackOnlyWhereAbsent)
{
    const std::u16string type = u"HKEY_CLASSES_ROOT\\.xyz";
    const KeyTree tree{type,
                       {{u"", {{u"Content Type", 1, ToUtf16Le(std::u16string(u"text/x\0", 7))},
                               {u"", 1, ToUtf16Le(std::u16string(u"Gone.Type\0", 10))}}},
                        {u"\\OpenWithProgids", {}}}};
    std::u16string saved = RegFileHeader();
    std::u16string bad;
    ASSERT_TRUE(AppendRegKeys(WithOneValue(tree, u""), saved, bad));
    const std::u16string section = u"[" + type + u"]\r\n@=\"Gone.Type\"\r\n\r\n";
    EXPECT_EQ(saved, kHeader + section);
    EXPECT_EQ(Describe(CheckKeys(saved)), Describe(RestoreVerdict{})) << "a value line below a file type passes";
    EXPECT_TRUE(WithOneValue(tree, u"Absent").keys.empty()) << "a value that is not there saves nothing";

    // Without its value (and without the subkey a user deleted since): the
    // value alone comes back.
    const MissingParts lost = FindMissingParts(saved, FakeRegistry({type}, {type + u"|Content Type"}));
    EXPECT_EQ(Describe(lost.tops[0]), Describe({type, true, 0, 1}));
    EXPECT_EQ(lost.importText, saved);
    // Given a value again since: never overwritten.
    const MissingParts set = FindMissingParts(saved, FakeRegistry({type}, {type + u"|"}));
    EXPECT_TRUE(set.tops[0].NothingMissing());
    EXPECT_EQ(set.importText, u"");
}

TEST(RestoreMissingParts, WhatIsImportedPassesTheCheckOfABackup)
{
    for (const FakeRegistry& registry :
         {FakeRegistry({}, {}), FakeRegistry({kTop, kServer}, {kTop + u"|", kServer + u"|Threading\"Model"}),
          FakeRegistry({kTop}, {})}) {
        const MissingParts missing = FindMissingParts(kSaved, registry);
        RestorePlan plan;
        const RestoreVerdict v = CheckBackupFolder(Utf16File(missing.importText), kAbsent, plan);
        EXPECT_EQ(v.refusal, Refusal::None) << Describe(v) << " " << Utf8FromUtf16(missing.importText);
    }
}

}  // namespace
}  // namespace qob
