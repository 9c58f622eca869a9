#include "tests/support/MemoryKeyStore.h"
#include "catalogue/EntryRefresh.h"
#include "catalogue/Registry.h"
#include "catalogue/Scan.h"
#include "removal/Removal.h"
#include "tests/support/RemovalWorld.h"

#include <gtest/gtest.h>

#include <set>

namespace qob {
namespace {

constexpr int kClose = mrCancel;  // the dialog's close box

// A registry with an entry of each shape the removal meets, scanned into a
// tree as the program does it.
class RemovalTest : public ::testing::Test, public RemovalWorld {
protected:
    void SetUp() override
    {
        Text("App.Healthy", "healthy application");
        Text("App.Healthy\\CLSID", "{H}");
        Text("CLSID\\{H}\\InprocServer32", "C:\\app\\h.dll");
        Text("CLSID\\{H}\\LocalServer32", "\"C:\\app\\h.exe\" -Embedding");
        Text("CLSID\\{H}\\TypeLib", "{TL}");
        Text("TypeLib\\{TL}\\1.0", "library");
        Text("TypeLib\\{TL}\\2.0", "other version");
        files.AddFile("C:\\app\\h.dll");
        files.AddFile("C:\\app\\h.exe");

        Text("App.Sharing\\CLSID", "{S}");  // uses h.dll too, written otherwise
        Text("CLSID\\{S}\\InprocServer32", "%APPDIR%\\H.DLL /regserver");
        files.SetVariable("APPDIR", "C:\\app");

        Text("App.NoClass\\CLSID", "{gone}");

        Text("App.Wow\\CLSID", "{W}");
        Text("Wow6432Node\\CLSID\\{W}\\InprocServer32", "%SystemRoot%\\system32\\w.dll");
        files.AddFile("C:\\windows\\SysWOW64\\w.dll");
        files.AddFile("C:\\windows\\system32\\w.dll");

        Text("App.Odd", "TypeLib");  // a description named like a group
        Text("App.Odd\\CLSID", "{O}");
        Text("CLSID\\{O}\\InprocServer32", "odd.dll");  // no folder
        Text("CLSID\\{O}\\LocalServer32", "C:\\app\\missing.exe");
        Text("CLSID\\{O}\\TypeLib", "\\");  // would name the TypeLib key itself

        Text("App.EmptyId\\CLSID", "");  // opens \CLSID\ itself

        Text("App.Relative\\CLSID", "{L}");  // servers below the current directory
        Text("CLSID\\{L}\\InprocServer32", "bin\\rel.dll");
        Text("CLSID\\{L}\\LocalServer32", "\\rel.exe");
        files.AddFile("bin\\rel.dll");
        files.AddFile("\\rel.exe");

        Text("App.ReadOnly\\CLSID", "{R}");
        Text("CLSID\\{R}\\LocalServer32", "C:\\app\\ro.exe");
        files.AddReadOnlyFile("C:\\app\\ro.exe");

        Text("App.Denied\\CLSID", "{D}");
        Text("CLSID\\{D}\\InprocServer32", "C:\\app\\d.dll");
        files.AddFile("C:\\app\\d.dll");
        store.ProtectKey(kClassesRoot, "App.Denied");

        Text("CLSID\\CLSID", "{C}");  // the container lists as an entry

        // Names and paths outside every code page; one file, three users.
        Text("App.Jürgen € 😀\\CLSID", "{J}");
        Text("CLSID\\{J}\\InprocServer32", "C:\\Users\\Jürgen\\€ 😀\\j.dll");
        files.AddFile("C:\\Users\\Jürgen\\€ 😀\\j.dll");
        for (const char* other : {"App.Jürgen 2", "App.Jürgen 3"}) {
            Text(std::string(other) + "\\CLSID", "{J}");
        }

        // Server paths whose file reads otherwise than the text.
        Text("App.SwitchCut\\CLSID", "{X}");  // runs as C:\Tools\foo with "-bar.exe"
        Text("CLSID\\{X}\\LocalServer32", "C:\\Tools\\foo -bar.exe");
        files.AddFile("C:\\Tools\\foo");
        Text("App.Quoted\\CLSID", "{Q}");
        Text("CLSID\\{Q}\\LocalServer32", "\"C:\\app\\Q.exe\"");
        files.AddFile("C:\\app\\q.exe");
        Text("App.Unexaminable\\CLSID", "{U}");  // a folder this user may not search
        Text("CLSID\\{U}\\InprocServer32", "C:\\locked\\u.dll");
        files.AddFile("C:\\locked\\u.dll");
        files.FailSearch("C:\\locked", kErrorAccessDenied);
        Text("App.WowProgram\\CLSID", "{P}");  // a 32-bit class, a file of that name in each program folder
        Text("Wow6432Node\\CLSID\\{P}\\InprocServer32", "%ProgramFiles%\\Vendor\\x.dll");
        files.SetVariable("ProgramFiles(x86)", "C:\\Program Files (x86)");
        files.AddFile("C:\\Program Files (x86)\\Vendor\\x.dll");
        files.AddFile("C:\\Program Files\\Vendor\\x.dll");
        Text("App.LongPath\\CLSID", "{LP}");
        Text("CLSID\\{LP}\\LocalServer32", "\\\\?\\C:\\app\\long.exe -Embedding");
        files.AddFile("C:\\app\\long.exe");

        RunRegistrationScan(tree, store, order, *this);
        before = Keys();
    }
    // Runs the command on an entry with the given answers.
    void Remove(const std::string& name, std::deque<int> answers)
    {
        host.answers = std::move(answers);
        RegistrationRemoval(tree, store, files, host).Run(Entry(name));
    }
    // The keys of interest that are there.
    std::set<std::string> Keys()
    {
        std::set<std::string> keys;
        for (const char* path : {"App.Healthy", "App.Sharing", "App.Wow", "App.Denied", "App.Odd", "App.EmptyId",
                                 "App.ReadOnly", "App.NoClass", "CLSID", "CLSID\\{H}", "CLSID\\{H}\\InprocServer32", "CLSID\\{W}",
                                 "CLSID\\{O}", "CLSID\\{D}", "CLSID\\{R}", "Wow6432Node\\CLSID\\{W}", "TypeLib",
                                 "TypeLib\\{TL}", "TypeLib\\{TL}\\2.0"}) {
            if (store.KeyExists(kClassesRoot, path))
                keys.insert(path);
        }
        return keys;
    }
    // An entry's nodes, one line each: the level below the entry, the icon
    // and the text; empty when the tree has no such entry.
    static std::string Dump(const TTreeNode* entry)
    {
        std::string dump;
        for (const TTreeNode* node = entry; node; node = node->PreOrderSuccessor()) {
            if (node != entry && node->Level() == 0)
                break;
            dump += std::to_string(node->Level()) + ' ' + std::to_string(node->ImageIndex()) + ' ' + node->Text() + '\n';
        }
        return dump;
    }
    // The entry as a scan of the registry shows it now.
    std::string Rescanned(const std::string& name)
    {
        TTreeNodes fresh;
        RunRegistrationScan(fresh, store, order, *this);
        for (const auto& entry : fresh.TopLevel()) {
            if (entry->Text() == name)
                return Dump(entry.get());
        }
        return {};
    }
    std::set<std::string> Gone()
    {
        std::set<std::string> gone;
        const std::set<std::string> now = Keys();
        for (const std::string& key : before) {
            if (!now.count(key))
                gone.insert(key);
        }
        return gone;
    }

    std::set<std::string> before;
};

const std::string kQ = "\rを削除しますか";

TEST_F(RemovalTest, HealthyEntryAsksEachDeletionInOrderAndDoesOnlyWhatWasConfirmed)
{
    Remove("App.Healthy", {kClose, mrYes, mrNo, kClose, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                "E yn このキーにエラーはありません。削除しますか？",
                                "I yn HKEY_CLASSES_ROOT\\App.Healthy" + kQ,
                                "I yn HKEY_CLASSES_ROOT\\CLSID\\{H}" + kQ,
                                "I yn ファイル C:\\app\\h.dll" + kQ + "\rこのファイルは他の 1 個の登録でも使われています。",
                                "I yn ファイル \"C:\\app\\h.exe\" -Embedding" + kQ + "\r削除するファイル: C:\\app\\h.exe",
                                "I yn HKEY_CLASSES_ROOT\\TypeLib\\{TL}" + kQ,
                            }));
    EXPECT_EQ(Gone(), (std::set<std::string>{"App.Healthy", "TypeLib\\{TL}", "TypeLib\\{TL}\\2.0"}));
    EXPECT_TRUE(files.Exists("C:\\app\\h.dll"));
    EXPECT_FALSE(files.Exists("C:\\app\\h.exe")) << "the quoted part is the file";
    EXPECT_EQ(host.saved, (std::vector<std::string>{"key App.Healthy", "file C:\\app\\h.exe", "key TypeLib\\{TL}"}));
    EXPECT_EQ(Entry("App.Healthy"), nullptr);
    EXPECT_NE(Entry("App.Sharing"), nullptr) << "other entries keep their place";
    EXPECT_EQ(host.shownFolder, "C:\\backup");
    EXPECT_EQ(host.cursors, (std::vector<short>{crHourGlass, crDefault}));
}

TEST_F(RemovalTest, OtherEntriesThatNameWhatWentAreReadAgainAndOnlyThey)
{
    const std::string wow = Dump(Entry("App.Wow"));
    host.replaced.clear();
    // Yes to everything: h.dll, which App.Sharing names too, goes.
    Remove("App.Healthy", {mrYes, mrYes, mrYes, mrYes, mrYes, mrYes});
    ASSERT_FALSE(files.Exists("C:\\app\\h.dll"));
    TTreeNode* sharing = Entry("App.Sharing");
    ASSERT_NE(sharing, nullptr);
    EXPECT_EQ(sharing->ImageIndex(), kIconFaultyEntry);
    EXPECT_EQ(Dump(sharing), Rescanned("App.Sharing"));
    // One entry read again, in its place; the others as they were.
    const int at = sharing->AbsoluteIndex() + 1;
    EXPECT_EQ(host.replaced, (std::vector<std::string>{std::to_string(at) + " 5 5"}));
    EXPECT_EQ(Dump(Entry("App.Wow")), wow);

    // Nothing deleted: nothing read again.
    host.replaced.clear();
    Remove("App.Odd", {mrYes, mrYes, mrNo, mrNo, mrNo, mrNo});
    EXPECT_TRUE(host.replaced.empty());
}

TEST_F(RemovalTest, StopsBeforeAnythingIsDeleted)
{
    struct Case {
        const char* entry;
        std::deque<int> answers;
        std::size_t dialogs;
    } cases[] = {
        {"App.Healthy", {mrNo}, 1},          // the fault-free question: only No stops
        {"App.Healthy", {mrYes, mrNo}, 2},   // the ProgID question
        {"App.Healthy", {mrYes, kClose}, 2},
        {"App.NoClass", {mrNo}, 1},          // a faulty entry starts at the ProgID question
    };
    for (const Case& c : cases) {
        host.dialogs.clear();
        Remove(c.entry, c.answers);
        EXPECT_EQ(host.dialogs.size(), c.dialogs) << c.entry;
        EXPECT_TRUE(Gone().empty()) << c.entry;
        EXPECT_NE(Entry(c.entry), nullptr) << c.entry;
        EXPECT_TRUE(host.saved.empty());
        EXPECT_EQ(host.cursors.back(), crDefault);
    }
    // Nothing selected, or a node below an entry.
    host.dialogs.clear();
    RegistrationRemoval(tree, store, files, host).Run(nullptr);
    EXPECT_TRUE(host.dialogs.empty());
    RegistrationRemoval(tree, store, files, host).Run(Entry("App.Healthy")->Item(1)->Item(0));
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{"E ok サブキーは削除できません。"}));
    EXPECT_EQ(host.cursors.back(), crDefault);
}

TEST_F(RemovalTest, MissingClassAsksTwoQuestions)
{
    Remove("App.NoClass", {mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.dialogs[1], "I yn HKEY_CLASSES_ROOT\\CLSID\\{gone}" + kQ);
    EXPECT_EQ(Entry("App.NoClass"), nullptr);
    EXPECT_TRUE(host.shownFolder.empty() || host.shownFolder == "C:\\backup");
}

TEST_F(RemovalTest, ThirtyTwoBitClassIsDeletedInItsViewWithItsFile)
{
    Remove("App.Wow", {mrYes, mrYes, mrYes, mrYes});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[2], "I yn HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}" + kQ) << "named where it is";
    EXPECT_EQ(host.dialogs[3], "I yn ファイル %SystemRoot%\\system32\\w.dll" + kQ +
                                   "\r削除するファイル: C:\\windows\\SysWOW64\\w.dll"
                                   "\rこのファイルは Windows フォルダーにあるシステムのファイルです。");
    EXPECT_EQ(Gone(), (std::set<std::string>{"App.Wow", "Wow6432Node\\CLSID\\{W}"}));
    EXPECT_FALSE(files.Exists("C:\\windows\\SysWOW64\\w.dll"));
    EXPECT_TRUE(files.Exists("C:\\windows\\system32\\w.dll"));
    EXPECT_EQ(host.saved[1], "key CLSID\\{W} (32)");
}

TEST_F(RemovalTest, GroupsThatNameNoSingleKeyOrFileArePassedOver)
{
    // App.Odd: the description "TypeLib" has no value node, "odd.dll" has no
    // folder, the type library id "\" would name the container; only the
    // missing local server file is asked about, and nothing is there to delete.
    Remove("App.Odd", {mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{"I yn HKEY_CLASSES_ROOT\\App.Odd" + kQ,
                                                      "I yn HKEY_CLASSES_ROOT\\CLSID\\{O}" + kQ,
                                                      "I yn ファイル C:\\app\\missing.exe" + kQ +
                                                          "\rファイルはありません。"}));
    EXPECT_EQ(Gone(), (std::set<std::string>{"App.Odd", "CLSID\\{O}"}));

    host.dialogs.clear();
    Remove("App.EmptyId", {mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 2u) << "the empty class identifier is passed over";
    EXPECT_EQ(Gone(), (std::set<std::string>{"App.Odd", "CLSID\\{O}", "App.EmptyId"}));
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "CLSID"));
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "TypeLib"));

    host.dialogs.clear();
    Remove("App.Relative", {mrYes, mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 3u) << "relative server paths are passed over";
    EXPECT_TRUE(files.Exists("bin\\rel.dll"));
    EXPECT_TRUE(files.Exists("\\rel.exe"));
}

TEST_F(RemovalTest, FileQuestionNamesTheFileThatGoes)
{
    // Each entry is healthy: the fault-free question, the ProgID key, the
    // class key, then the file.
    struct Case {
        const char* entry;
        std::string question;
        const char* deleted;  // the file gone after Yes, or none
        const char* kept;
        const char* namesake;  // a file of the same name that a process of the class's view does not load
    } cases[] = {
        {"App.SwitchCut", "ファイル C:\\Tools\\foo -bar.exe" + kQ + "\r削除するファイル: C:\\Tools\\foo",
         "C:\\Tools\\foo", nullptr, nullptr},
        // The quotes off, the text names the file (in other case): no line.
        {"App.Quoted", "ファイル \"C:\\app\\Q.exe\"" + kQ, "C:\\app\\Q.exe", nullptr, nullptr},
        // A file that cannot be examined is no missing server, and it stays.
        {"App.Unexaminable", "ファイル C:\\locked\\u.dll" + kQ + "\rファイルを確認できません。", nullptr,
         "C:\\locked\\u.dll", nullptr},
        // A 32-bit process reads %ProgramFiles% as the 32-bit program folder.
        {"App.WowProgram",
         "ファイル %ProgramFiles%\\Vendor\\x.dll" + kQ + "\r削除するファイル: C:\\Program Files (x86)\\Vendor\\x.dll",
         "C:\\Program Files (x86)\\Vendor\\x.dll", nullptr, "C:\\Program Files\\Vendor\\x.dll"},
        // The long-path prefix names the file after it.
        {"App.LongPath", "ファイル \\\\?\\C:\\app\\long.exe -Embedding" + kQ + "\r削除するファイル: C:\\app\\long.exe",
         "C:\\app\\long.exe", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        host.dialogs.clear();
        host.saved.clear();
        Remove(c.entry, {mrYes, mrYes, mrYes, mrYes});
        ASSERT_EQ(host.dialogs.size(), 4u) << c.entry;
        EXPECT_EQ(host.dialogs[0], "E yn このキーにエラーはありません。削除しますか？") << c.entry;
        EXPECT_EQ(host.dialogs[3], "I yn " + c.question) << c.entry;
        if (c.deleted) {
            EXPECT_FALSE(files.Exists(c.deleted)) << c.entry;
            EXPECT_EQ(host.saved.back(), std::string("file ") + c.deleted) << c.entry;
        }
        if (c.kept) {
            EXPECT_TRUE(files.Exists(c.kept)) << c.entry;
            EXPECT_EQ(host.saved.size(), 2u) << c.entry << ": only the keys are saved";
        }
        if (c.namesake) {
            EXPECT_TRUE(files.Exists(c.namesake)) << c.entry << ": the file of the other view stays";
        }
    }
}

TEST_F(RemovalTest, ContainersAreRefused)
{
    EXPECT_TRUE(IsRegistryContainer("clsid"));
    EXPECT_TRUE(IsRegistryContainer("Component Categories"));
    EXPECT_FALSE(IsRegistryContainer("App.Healthy"));
    Remove("CLSID", {mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs,
              (std::vector<std::string>{"E ok HKEY_CLASSES_ROOT\\CLSID\rはレジストリのシステム キーのため削除できません。"}));
    EXPECT_TRUE(Gone().empty());
    EXPECT_NE(Entry("CLSID"), nullptr);
}

TEST_F(RemovalTest, FailuresAreReportedNeverShownAsSuccess)
{
    // A ProgID key this user may not change: said at once, nothing deleted.
    Remove("App.Denied", {mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.back(), "E ok HKEY_CLASSES_ROOT\\App.Denied\rを削除できませんでした。\rerror 5");
    EXPECT_TRUE(Gone().empty());
    EXPECT_NE(Entry("App.Denied"), nullptr);
    EXPECT_TRUE(files.Exists("C:\\app\\d.dll"));

    // A read-only server file: listed at the end; the entry leaves the tree.
    host.dialogs.clear();
    Remove("App.ReadOnly", {mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.back(), "E ok 次の削除はできませんでした。\rファイル C:\\app\\ro.exe: error 5");
    EXPECT_TRUE(files.Exists("C:\\app\\ro.exe"));
    EXPECT_EQ(Entry("App.ReadOnly"), nullptr);

    // A class key gone meanwhile is no failure.
    host.dialogs.clear();
    TRegistry(store).DeleteKey("\\CLSID\\{gone}");
    Remove("App.NoClass", {mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 2u);
}

TEST_F(RemovalTest, NothingIsDeletedWithoutItsBackup)
{
    host.savesLeft = 0;
    Remove("App.Healthy", {mrYes, mrYes, mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.back(),
              "E ok HKEY_CLASSES_ROOT\\App.Healthy\rは削除しませんでした。バックアップを作成できません。\rdisk full");
    EXPECT_TRUE(Gone().empty());
    EXPECT_NE(Entry("App.Healthy"), nullptr);

    // The ProgID key saved, then the disk full: only the ProgID key goes,
    // and each deletion kept is listed.
    host.savesLeft = 1;
    Remove("App.Healthy", {mrYes, mrYes, mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(Gone(), (std::set<std::string>{"App.Healthy"}));
    EXPECT_TRUE(files.Exists("C:\\app\\h.dll"));
    EXPECT_TRUE(files.Exists("C:\\app\\h.exe"));
    const std::string kept = ": バックアップを作成できないため削除しませんでした (disk full)";
    EXPECT_EQ(host.dialogs.back(), "E ok 次の削除はできませんでした。"
                                   "\rHKEY_CLASSES_ROOT\\CLSID\\{H}" + kept +
                                   "\rファイル C:\\app\\h.dll" + kept +
                                   "\rファイル \"C:\\app\\h.exe\" -Embedding" + kept +
                                   "\rHKEY_CLASSES_ROOT\\TypeLib\\{TL}" + kept);
}

TEST_F(RemovalTest, MessagesComeFromTheTableInTheSelectedLanguage)
{
    struct InEnglish {
        InEnglish() { SelectLanguage(Language::English); }
        ~InEnglish() { SelectLanguage(Language::Japanese); }
    } inEnglish;
    host.savesLeft = 2;  // the ProgID key and the class key, not the file
    Remove("App.Jürgen € 😀", {mrYes, mrYes, mrYes, mrYes});
    const std::string file = "C:\\Users\\Jürgen\\€ 😀\\j.dll";
    EXPECT_EQ(host.dialogs, (std::vector<std::string>{
                                "E yn This key has no errors. Delete it anyway?",
                                "I yn HKEY_CLASSES_ROOT\\App.Jürgen € 😀\rDelete this key?",
                                "I yn HKEY_CLASSES_ROOT\\CLSID\\{J}\rDelete this key?"
                                "\r2 other registrations use this class.",
                                "I yn File " + file + "\rDelete this file?\rThis file is also used by 2 other registrations.",
                                "E ok The following could not be deleted.\rFile " + file +
                                    ": not deleted because its backup cannot be made (disk full)",
                            }));
    EXPECT_EQ(Entry("App.Jürgen € 😀"), nullptr);
    EXPECT_TRUE(files.Exists(file));

    // The other users of the class that went show it at once.
    for (const char* other : {"App.Jürgen 2", "App.Jürgen 3"}) {
        EXPECT_EQ(Entry(other)->ImageIndex(), kIconFaultyEntry) << other;
        EXPECT_EQ(Dump(Entry(other)), Rescanned(other)) << other;
    }
    EXPECT_EQ(host.replaced.size(), 2u);

    // The file of another user, once its backup is made, goes (the class
    // registered again, and the entries read again).
    Text("CLSID\\{J}\\InprocServer32", file);
    for (const char* other : {"App.Jürgen 2", "App.Jürgen 3"})
        RereadEntry(tree, *Entry(other), store, files, nullptr);
    host.dialogs.clear();
    host.savesLeft = -1;
    Remove("App.Jürgen 2", {mrYes, mrYes, mrYes, mrYes});
    ASSERT_EQ(host.dialogs.size(), 4u);
    EXPECT_EQ(host.dialogs[3], "I yn File " + file + "\rDelete this file?\rThis file is also used by one other registration.");
    EXPECT_FALSE(files.Exists(file));
}

TEST_F(RemovalTest, AKeyWithAKeyBelowThatCannotBeOpenedForDeletionLosesNothing)
{
    // Below the ProgID key: said at once, nothing deleted, the entry stays.
    store.ProtectKey(kClassesRoot, "App.Healthy\\CLSID");
    Remove("App.Healthy", {mrYes, mrYes, mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 3u);
    EXPECT_EQ(host.dialogs.back(), "E ok HKEY_CLASSES_ROOT\\App.Healthy\\CLSID\rを削除できませんでした。\rerror 5");
    EXPECT_TRUE(Gone().empty());
    EXPECT_NE(Entry("App.Healthy"), nullptr);

    // Below a class key of the 32-bit view: listed at the end under its
    // name there; the class key stays whole and the run goes on.
    host.dialogs.clear();
    store.ProtectKey(kClassesRoot, "Wow6432Node\\CLSID\\{W}\\InprocServer32");
    Remove("App.Wow", {mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 5u);
    EXPECT_EQ(host.dialogs.back(), "E ok 次の削除はできませんでした。"
                                   "\rHKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}\\InprocServer32: error 5");
    EXPECT_EQ(Gone(), (std::set<std::string>{"App.Wow"}));
    EXPECT_FALSE(files.Exists("C:\\windows\\SysWOW64\\w.dll"));
}

TEST_F(RemovalTest, AHalfDeletionSaysWhatIsLeftAndWhereTheBackupIs)
{
    // The registry changes between the opens and the deletions: a key
    // below the ProgID key no longer goes after its CLSID subkey went.
    Text("App.Healthy\\Zed", "later");
    store.FailDeletion(kClassesRoot, "App.Healthy\\Zed", kErrorAccessDenied);
    Remove("App.Healthy", {mrYes, mrYes, mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 3u) << "the run stops";
    EXPECT_EQ(host.dialogs.back(), "E ok HKEY_CLASSES_ROOT\\App.Healthy は一部だけ削除されました (error 5)。"
                                   "残っているキー: HKEY_CLASSES_ROOT\\App.Healthy, HKEY_CLASSES_ROOT\\App.Healthy\\Zed。"
                                   "バックアップ: C:\\backup");
    EXPECT_EQ(host.shownFolder, "C:\\backup");
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "CLSID\\{H}"));
    // Without its CLSID subkey the key is no registration, but it is there.
    EXPECT_EQ(Dump(Entry("App.Healthy")), "0 2 App.Healthy\n");

    // A class key: listed at the end, and the run goes on.
    host.dialogs.clear();
    Text("CLSID\\{S}\\Zed", "later");
    store.FailDeletion(kClassesRoot, "CLSID\\{S}\\Zed", kErrorAccessDenied);
    Remove("App.Sharing", {mrYes, mrYes, mrYes, mrNo});
    ASSERT_EQ(host.dialogs.size(), 5u);
    EXPECT_EQ(host.dialogs.back(), "E ok 次の削除はできませんでした。"
                                   "\rHKEY_CLASSES_ROOT\\CLSID\\{S} は一部だけ削除されました (error 5)。"
                                   "残っているキー: HKEY_CLASSES_ROOT\\CLSID\\{S}, HKEY_CLASSES_ROOT\\CLSID\\{S}\\Zed。"
                                   "バックアップ: C:\\backup");
    EXPECT_EQ(Entry("App.Sharing"), nullptr);
}

TEST_F(RemovalTest, ACopyOfTheSameNameThatRemainsIsReported)
{
    // The ProgID key: another registration of it shows through, one that
    // names a class that is not there. The run stops there and the entry
    // shows that registration.
    Text("App.Healthy\\CLSID", "{gone}");
    store.ShadowKey(kClassesRoot, "App.Healthy");
    Text("App.Healthy\\CLSID", "{H}");
    Remove("App.Healthy", {mrYes, mrYes, mrYes, mrYes, mrYes, mrYes});
    EXPECT_EQ(host.dialogs.size(), 3u);
    EXPECT_EQ(host.dialogs.back(), "E ok HKEY_CLASSES_ROOT\\App.Healthyを削除しましたが、同じ名前の別の登録が残っています。");
    EXPECT_EQ(host.saved, (std::vector<std::string>{"key App.Healthy"})) << "the copy deleted is backed up";
    EXPECT_TRUE(store.KeyExists(kClassesRoot, "CLSID\\{H}"));
    EXPECT_EQ(Dump(Entry("App.Healthy")), Rescanned("App.Healthy"));
    EXPECT_NE(Dump(Entry("App.Healthy")).find("{gone}"), std::string::npos);
    EXPECT_EQ(Entry("App.Healthy")->ImageIndex(), kIconFaultyEntry);

    // A class key: listed at the end, and the run goes on.
    host.dialogs.clear();
    host.saved.clear();
    store.ShadowKey(kClassesRoot, "CLSID\\{S}");
    Remove("App.Sharing", {mrYes, mrYes, mrYes, mrNo});
    ASSERT_EQ(host.dialogs.size(), 5u);
    EXPECT_EQ(host.dialogs.back(), "E ok 次の削除はできませんでした。"
                                   "\rHKEY_CLASSES_ROOT\\CLSID\\{S}を削除しましたが、同じ名前の別の登録が残っています。");
    EXPECT_EQ(host.saved, (std::vector<std::string>{"key App.Sharing", "key CLSID\\{S}"}));
    EXPECT_EQ(Entry("App.Sharing"), nullptr);
}

}  // namespace
}  // namespace qob
