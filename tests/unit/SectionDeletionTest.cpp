#include "catalogue/KeyOwner.h"
#include "catalogue/NodeKey.h"
#include "catalogue/Scan.h"
#include "sections/BrokenKeyRows.h"
#include "sections/CsvReport.h"
#include "sections/FixLines.h"
#include "sections/SectionDeletion.h"
#include "tests/support/MemoryKeyStore.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <set>

namespace qob {
namespace {

BrokenKey Key(SectionKind kind, const std::string& path, RegistryView view = RegistryView::Native)
{
    BrokenKey key;
    key.kind = kind;
    key.path = path;
    key.view = view;
    key.name = (view == RegistryView::Wow64_32 ? "Wow6432Node\\" : "") + path;
    return key;
}

// Saves into a list until the disk is full.
class ListBackup final : public RemovalBackup {
public:
    bool SaveKey(const std::string& path, RegistryView view, std::string& reason) override
    {
        if (savesLeft == 0) {
            reason = "disk full";
            return false;
        }
        --savesLeft;
        saved.push_back(path + (view == RegistryView::Wow64_32 ? " (32)" : ""));
        return true;
    }
    bool SaveValue(const std::string& path, RegistryView view, const std::string& name, std::string& reason) override
    {
        return SaveKey(path + " @" + name, view, reason);
    }
    bool SaveFile(const std::string& path, std::string&) override
    {
        files.push_back(path);
        return true;
    }
    std::string Folder() const override { return saved.empty() ? "" : "C:\\backup"; }

    std::vector<std::string> saved;
    std::vector<std::string> files;
    int savesLeft = -1;  // -1: every save succeeds
};

class SectionDeletionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* key : {"CLSID\\{A}\\InprocServer32", "CLSID\\{B}\\LocalServer32", "CLSID\\{W}\\InprocServer32",
                                "Wow6432Node\\CLSID\\{W}\\InprocServer32", "TypeLib\\{L}\\1.0\\0\\win32",
                                "Interface\\{I}\\TypeLib", "CLSID\\{Healthy}\\InprocServer32"})
            store.CreateKey(kClassesRoot, key);
        store.CreateKey(kClassesRoot, "txtfile\\shellex\\ContextMenuHandlers\\Foo");
        store.CreateKey(kClassesRoot, "Wow6432Node\\Interface\\{J}\\ProxyStubClsid32");
        Text(".xyz", "", "Gone.Type");
        Text(".xyz", "Content Type", "text/x-gone");
        store.CreateKey(kClassesRoot, ".xyz\\OpenWithProgids");
        Text(".Healthy", "", "txtfile");
    }
    void Text(const std::string& path, const std::string& name, const std::string& value)
    {
        store.SetValue(kClassesRoot, path, name, kRegSz, value + '\0');
    }
    bool HasDefaultValue(const std::string& path)
    {
        KeyHandle key = kNoKey;
        std::uint32_t type = 0;
        std::string data;
        if (store.OpenKey(kClassesRoot, path, kKeyRead, key) != kErrorSuccess)
            return false;
        const long result = store.QueryValue(key, "", type, data);
        store.CloseKey(key);
        return result == kErrorSuccess;
    }
    SectionDeletionOutcome Delete(const std::vector<BrokenKey>& keys, bool dryRun = false)
    {
        SectionDeletion deletion(
            store, backup,
            [this](const BrokenKey& key) -> std::optional<BrokenKey> {
                if (key.path.find("Healthy") != std::string::npos || !Exists(key.name))
                    return std::nullopt;
                return key;
            },
            [](long code) { return "error " + std::to_string(code); });
        deletion.SetDryRun(dryRun);
        const std::atomic<bool> cancel{false};
        return deletion.Run(keys, [this](std::size_t done, std::size_t) { progress.push_back(done); }, cancel);
    }
    bool Exists(const std::string& path) { return store.KeyExists(kClassesRoot, path); }

    MemoryKeyStore store;
    ListBackup backup;
    std::vector<std::size_t> progress;
};

TEST_F(SectionDeletionTest, EachKeyIsSavedThenDeletedInItsOwnView)
{
    const std::vector<BrokenKey> keys{
        Key(SectionKind::Class, "CLSID\\{A}"), Key(SectionKind::Class, "CLSID\\{W}", RegistryView::Wow64_32),
        Key(SectionKind::TypeLibrary, "TypeLib\\{L}"), Key(SectionKind::Interface, "Interface\\{I}")};
    const SectionDeletionOutcome outcome = Delete(keys);
    EXPECT_EQ(outcome.gone, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_TRUE(outcome.problems.empty());
    EXPECT_EQ(outcome.folder, "C:\\backup");
    EXPECT_EQ(backup.saved,
              (std::vector<std::string>{"CLSID\\{A}", "CLSID\\{W} (32)", "TypeLib\\{L}", "Interface\\{I}"}));
    EXPECT_TRUE(backup.files.empty()) << "never a file";
    for (const char* gone : {"CLSID\\{A}", "Wow6432Node\\CLSID\\{W}", "TypeLib\\{L}", "Interface\\{I}"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_TRUE(Exists("CLSID\\{W}\\InprocServer32")) << "the native class of the same id stays";
    EXPECT_TRUE(Exists("CLSID\\{B}"));
    EXPECT_EQ(progress, (std::vector<std::size_t>{1, 2, 3, 4}));
    EXPECT_EQ(FixLines(keys, outcome, false), "deleted\tclass\tCLSID\\{A}\n"
                                              "deleted\tclass\tWow6432Node\\CLSID\\{W}\n"
                                              "deleted\ttypelib\tTypeLib\\{L}\n"
                                              "deleted\tinterface\tInterface\\{I}\n"
                                              "backup\tC:\\backup\n");
    EXPECT_EQ(FixExitStatus(keys, outcome), 0);
}

// The dry run of a scripted clean-up: examined again as for a deletion,
// nothing saved, nothing deleted.
TEST_F(SectionDeletionTest, ADryRunTellsWhatWouldGoAndChangesNothing)
{
    const std::vector<BrokenKey> keys{Key(SectionKind::Class, "CLSID\\{A}"),
                                      Key(SectionKind::Class, "CLSID\\{Healthy}"),
                                      Key(SectionKind::Class, "CLSID\\{B}\\LocalServer32")};
    const SectionDeletionOutcome outcome = Delete(keys, true);
    EXPECT_EQ(outcome.gone, (std::vector<std::size_t>{0}));
    EXPECT_EQ(outcome.healthy, (std::vector<std::size_t>{1}));
    EXPECT_EQ(outcome.problemKeys, (std::vector<std::size_t>{1, 2}));
    EXPECT_TRUE(backup.saved.empty());
    EXPECT_EQ(outcome.folder, "");
    for (const char* kept : {"CLSID\\{A}", "CLSID\\{Healthy}", "CLSID\\{B}\\LocalServer32"})
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_EQ(FixLines(keys, outcome, true),
              "would delete\tclass\tCLSID\\{A}\n"
              "skipped\tclass\tCLSID\\{Healthy}\tHKEY_CLASSES_ROOT\\CLSID\\{Healthy}: 壊れていないため削除しませんでした\n"
              "failed\tclass\tCLSID\\{B}\\LocalServer32\tHKEY_CLASSES_ROOT\\CLSID\\{B}\\LocalServer32: "
              "1 個の登録のキーではないため削除しませんでした\n");
    EXPECT_EQ(FixExitStatus(keys, outcome), kFixIncomplete) << "a key that could not go";
    EXPECT_EQ(FixExitStatus({keys[0], keys[1]}, Delete({keys[0], keys[1]}, true)), 0) << "healthy needs nothing";
}

// A handler goes alone, its list kept; a file type loses only its default
// value, saved first, and keeps everything else; a 32-bit interface goes in
// its own view.
TEST_F(SectionDeletionTest, HandlersGoAloneAndFileTypesLoseOnlyTheirValue)
{
    store.CreateKey(kClassesRoot, ".bare\\ShellNew");
    const SectionDeletionOutcome outcome =
        Delete({Key(SectionKind::ShellExtension, "txtfile\\shellex\\ContextMenuHandlers\\Foo"),
                Key(SectionKind::FileType, ".xyz"), Key(SectionKind::FileType, ".bare"),
                Key(SectionKind::Interface, "Interface\\{J}", RegistryView::Wow64_32)});
    EXPECT_EQ(outcome.gone, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_TRUE(outcome.problems.empty());
    EXPECT_EQ(backup.saved, (std::vector<std::string>{"txtfile\\shellex\\ContextMenuHandlers\\Foo", ".xyz @",
                                                      ".bare @", "Interface\\{J} (32)"}));
    EXPECT_FALSE(Exists("txtfile\\shellex\\ContextMenuHandlers\\Foo"));
    EXPECT_TRUE(Exists("txtfile\\shellex\\ContextMenuHandlers"));
    EXPECT_FALSE(HasDefaultValue(".xyz"));
    EXPECT_TRUE(Exists(".xyz\\OpenWithProgids"));
    EXPECT_TRUE(Exists(".bare\\ShellNew"));
    EXPECT_FALSE(Exists("Wow6432Node\\Interface\\{J}"));
    EXPECT_TRUE(Exists("Interface\\{I}")) << "the native view's interfaces stay";

    // The value goes only once its backup is made.
    Text(".xyz", "", "Gone.Type");
    backup.savesLeft = 0;
    const SectionDeletionOutcome unsaved = Delete({Key(SectionKind::FileType, ".xyz")});
    EXPECT_TRUE(unsaved.gone.empty());
    EXPECT_TRUE(HasDefaultValue(".xyz"));
    // A key that cannot be written keeps its value.
    backup.savesLeft = -1;
    store.ProtectKey(kClassesRoot, ".xyz");
    const SectionDeletionOutcome refused = Delete({Key(SectionKind::FileType, ".xyz")});
    EXPECT_EQ(refused.problems, std::vector<std::string>{"HKEY_CLASSES_ROOT\\.xyz: error 5"});
    EXPECT_TRUE(HasDefaultValue(".xyz"));
    EXPECT_TRUE(refused.deniedMachineKey) << "the computer's key: an administrator could";
    store.CreateKey(kCurrentUser, "Software\\Classes\\.xyz");
    EXPECT_FALSE(Delete({Key(SectionKind::FileType, ".xyz")}).deniedMachineKey) << "the user's own copy";
}

TEST_F(SectionDeletionTest, WhatIsNotPlainlyOneBrokenKeyIsLeftAndReportedOnce)
{
    // Each kept, each with one line in the message at the end.
    struct Case {
        BrokenKey key;
        const char* line;
    };
    const std::vector<Case> cases = {
        {Key(SectionKind::Class, "CLSID\\{Healthy}"),
         "HKEY_CLASSES_ROOT\\CLSID\\{Healthy}: 壊れていないため削除しませんでした"},
        {Key(SectionKind::Class, "CLSID"), "HKEY_CLASSES_ROOT\\CLSID: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::Class, "CLSID\\"), "HKEY_CLASSES_ROOT\\CLSID\\: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::Class, "CLSID\\{B}\\LocalServer32"),
         "HKEY_CLASSES_ROOT\\CLSID\\{B}\\LocalServer32: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::TypeLibrary, "CLSID\\{B}"),
         "HKEY_CLASSES_ROOT\\CLSID\\{B}: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::TypeLibrary, "TypeLib\\{L}", RegistryView::Wow64_32),
         "HKEY_CLASSES_ROOT\\Wow6432Node\\TypeLib\\{L}: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::ShellExtension, "txtfile\\shellex\\ContextMenuHandlers"),
         "HKEY_CLASSES_ROOT\\txtfile\\shellex\\ContextMenuHandlers: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::ShellExtension, "txtfile\\shellex"),
         "HKEY_CLASSES_ROOT\\txtfile\\shellex: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::FileType, ".xyz\\OpenWithProgids"),
         "HKEY_CLASSES_ROOT\\.xyz\\OpenWithProgids: 1 個の登録のキーではないため削除しませんでした"},
        {Key(SectionKind::FileType, ".Healthy"), "HKEY_CLASSES_ROOT\\.Healthy: 壊れていないため削除しませんでした"},
    };
    std::vector<BrokenKey> keys;
    for (const Case& c : cases)
        keys.push_back(c.key);
    keys.push_back(Key(SectionKind::Class, "CLSID\\{Gone}"));  // gone meanwhile: off the list, no report
    const SectionDeletionOutcome outcome = Delete(keys);

    EXPECT_EQ(outcome.gone, (std::vector<std::size_t>{cases.size()}));
    EXPECT_EQ(outcome.healthy, (std::vector<std::size_t>{0, cases.size() - 1}));
    ASSERT_EQ(outcome.problems.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(outcome.problems[i], cases[i].line);
    EXPECT_TRUE(backup.saved.empty());
    EXPECT_EQ(outcome.folder, "");
    for (const char* kept : {"CLSID\\{Healthy}", "CLSID\\{B}\\LocalServer32", "TypeLib\\{L}",
                             "txtfile\\shellex\\ContextMenuHandlers\\Foo", ".xyz\\OpenWithProgids"})
        EXPECT_TRUE(Exists(kept)) << kept;

    const std::string message = SectionProblemsMessage(outcome.problems);
    EXPECT_EQ(message.substr(0, message.find('\r')), "次の削除はできませんでした。");
    EXPECT_EQ(std::count(message.begin(), message.end(), '\r'), static_cast<long>(cases.size()));
    EXPECT_EQ(SectionProblemsMessage({}), "");
    const std::string many = SectionProblemsMessage(std::vector<std::string>(25, "line"));
    EXPECT_EQ(many.substr(many.rfind('\r') + 1), "ほか 5 件") << "a long list is cut";
}

TEST_F(SectionDeletionTest, AKeyWhoseBackupFailedIsNotDeleted)
{
    backup.savesLeft = 1;
    const std::vector<BrokenKey> keys{Key(SectionKind::Class, "CLSID\\{A}"), Key(SectionKind::Class, "CLSID\\{B}")};
    const SectionDeletionOutcome outcome = Delete(keys);
    EXPECT_EQ(outcome.gone, (std::vector<std::size_t>{0}));
    EXPECT_EQ(outcome.problems, (std::vector<std::string>{"HKEY_CLASSES_ROOT\\CLSID\\{B}: バックアップを作成できないため削除しませんでした (disk full)"}));
    EXPECT_FALSE(Exists("CLSID\\{A}"));
    EXPECT_TRUE(Exists("CLSID\\{B}\\LocalServer32"));
    EXPECT_EQ(FixLines(keys, outcome, false),
              "deleted\tclass\tCLSID\\{A}\n"
              "failed\tclass\tCLSID\\{B}\tHKEY_CLASSES_ROOT\\CLSID\\{B}: バックアップを作成できないため削除しませんでした "
              "(disk full)\n"
              "backup\tC:\\backup\n");
    EXPECT_EQ(FixExitStatus(keys, outcome), kFixIncomplete);
}

TEST_F(SectionDeletionTest, DeletionFailuresNameTheKeyInItsView)
{
    store.ProtectKey(kClassesRoot, "Wow6432Node\\CLSID\\{W}\\InprocServer32");
    store.ShadowKey(kClassesRoot, "CLSID\\{A}");
    const SectionDeletionOutcome outcome =
        Delete({Key(SectionKind::Class, "CLSID\\{W}", RegistryView::Wow64_32), Key(SectionKind::Class, "CLSID\\{A}")});
    EXPECT_TRUE(outcome.gone.empty());
    EXPECT_EQ(outcome.problems,
              (std::vector<std::string>{"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}\\InprocServer32: error 5",
                                        "HKEY_CLASSES_ROOT\\CLSID\\{A}を削除しましたが、同じ名前の別の登録が残っています。"}));
    EXPECT_TRUE(Exists("Wow6432Node\\CLSID\\{W}\\InprocServer32"));
    EXPECT_TRUE(outcome.deniedMachineKey) << "the window offers the restart as administrator";
}

TEST_F(SectionDeletionTest, AKeyWindowsProtectsIsMarkedAndNeverDeleted)
{
    store.SetOwner(kClassesRoot, "CLSID\\{B}", kTrustedInstallerSid);
    std::vector<BrokenKey> keys{Key(SectionKind::Class, "CLSID\\{A}"), Key(SectionKind::Class, "CLSID\\{B}"),
                                Key(SectionKind::Class, "CLSID\\{Gone}")};
    MarkKeysProtectedByWindows(store, keys);
    EXPECT_EQ(std::count_if(keys.begin(), keys.end(), [](const BrokenKey& key) { return key.protectedByWindows; }),
              1);
    ASSERT_TRUE(keys[1].protectedByWindows);
    keys[1].missing = {"C:\\gone.exe"};
    EXPECT_EQ(ReasonText(keys[1]), "Windows が保護 (サーバーのファイルがありません: C:\\gone.exe)");

    // Asked to delete it even so, marked or not: kept, and said.
    for (bool marked : {true, false}) {
        keys[1].protectedByWindows = marked;
        const SectionDeletionOutcome outcome = Delete({keys[0], keys[1]});
        EXPECT_EQ(outcome.problems, (std::vector<std::string>{
                                        "Windows が保護しているため削除できません: HKEY_CLASSES_ROOT\\CLSID\\{B}"}));
        EXPECT_TRUE(Exists("CLSID\\{B}\\LocalServer32"));
        EXPECT_EQ(outcome.protectedByWindows, (std::vector<std::size_t>{1}));
    }
    EXPECT_EQ(backup.saved, (std::vector<std::string>{"CLSID\\{A}"})) << "nothing of it saved either";

    // A scripted clean-up skips it, in a dry run too, and counts it as no
    // failure: no run could ever delete it.
    for (bool dryRun : {true, false}) {
        const std::vector<BrokenKey> both{keys[0], keys[1]};
        const SectionDeletionOutcome outcome = Delete(both, dryRun);
        const std::string lines = FixLines(both, outcome, dryRun);
        EXPECT_EQ(lines.substr(0, lines.find("backup\t")),
                  std::string(dryRun ? "would delete" : "deleted") + "\tclass\tCLSID\\{A}\n"
                  "skipped\tclass\tCLSID\\{B}\tWindows が保護しているため削除できません: HKEY_CLASSES_ROOT\\CLSID\\{B}\n");
        EXPECT_EQ(FixExitStatus(both, outcome), 0);
        EXPECT_TRUE(Exists("CLSID\\{B}\\LocalServer32"));
    }
}

TEST(BrokenKeyRowsTest, TheProgIdColumnNamesTheEntriesThatNameTheKey)
{
    MemoryKeyStore store;
    MemoryFileSystem files;
    FoldedNameOrder order;
    const auto text = [&](const std::string& path, const std::string& value) {
        store.SetValue(kClassesRoot, path, "", kRegSz, value + '\0');
    };
    text("App.One\\CLSID", "{C}");
    text("App.Two\\CLSID", "{c}");
    text("CLSID\\{C}\\InprocServer32", "C:\\gone.dll");
    text("CLSID\\{C}\\TypeLib", "{L}");
    text("App.Wow\\CLSID", "{W}");
    text("Wow6432Node\\CLSID\\{W}\\LocalServer32", "C:\\gone.exe");
    text("App.Odd", "CLSID");  // a description that reads like a group
    text("App.Odd\\CLSID", "{O}");
    text("CLSID\\{O}\\InprocServer32", "C:\\gone.dll");
    TTreeNodes tree;
    struct NoServers final : ServerPresence {
        bool ServerPathExists(const std::string&, RegistryView) override { return false; }
    } servers;
    RunRegistrationScan(tree, store, order, servers);

    const ProgIdNames names(tree);
    EXPECT_EQ(names.For(Key(SectionKind::Class, "CLSID\\{C}")), "App.One, App.Two");
    EXPECT_EQ(names.For(Key(SectionKind::TypeLibrary, "TypeLib\\{l}")), "App.One, App.Two");
    EXPECT_EQ(names.For(Key(SectionKind::Class, "CLSID\\{W}", RegistryView::Wow64_32)), "App.Wow");
    EXPECT_EQ(names.For(Key(SectionKind::Class, "CLSID\\{W}")), "") << "not the native class of that id";
    EXPECT_EQ(names.For(Key(SectionKind::Class, "CLSID\\{O}")), "App.Odd");
    EXPECT_EQ(names.For(Key(SectionKind::Interface, "Interface\\{C}")), "");

    // The key each node hands to the registry editor: its group's.
    const auto group = [&tree](std::size_t entry, const std::string& name) -> const TTreeNode& {
        const TTreeNode& node = *tree.TopLevel().at(entry);
        for (int i = 1; i < node.Count(); ++i) {
            if (node.Item(i)->Text() == name)
                return *node.Item(i);
        }
        return node;
    };
    const auto keyOf = [](const TTreeNode& node) { return ClassesRootPath(KeyOfNode(node)); };
    EXPECT_EQ(keyOf(*tree.TopLevel()[1]), "HKEY_CLASSES_ROOT\\App.One");
    EXPECT_EQ(keyOf(*tree.TopLevel()[1]->Item(0)), "HKEY_CLASSES_ROOT\\App.One") << "its description";
    EXPECT_EQ(keyOf(*group(1, "CLSID").Item(0)), "HKEY_CLASSES_ROOT\\CLSID\\{C}");
    EXPECT_EQ(keyOf(group(1, "InprocServer32")), "HKEY_CLASSES_ROOT\\CLSID\\{C}");
    EXPECT_EQ(keyOf(*group(1, "TypeLib").Item(0)), "HKEY_CLASSES_ROOT\\TypeLib\\{L}");
    EXPECT_EQ(keyOf(*group(3, "LocalServer32").Item(0)), "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}");
    EXPECT_EQ(keyOf(*tree.TopLevel()[0]->Item(0)), "HKEY_CLASSES_ROOT\\App.Odd") << "a description named CLSID";
    // A key that is gone opens its nearest parent that is there.
    const auto nearest = [&store](const std::string& path, RegistryView view) {
        return ClassesRootPath(NearestExistingKey(store, {path, view}));
    };
    EXPECT_EQ(nearest("CLSID\\{W}\\gone", RegistryView::Wow64_32), "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}");
    EXPECT_EQ(nearest("CLSID\\{W}", RegistryView::Native), "HKEY_CLASSES_ROOT\\CLSID");
    EXPECT_EQ(nearest("TypeLib\\{L}", RegistryView::Native), "HKEY_CLASSES_ROOT");
    EXPECT_EQ(RegistryEditorPath("コンピューター", {"CLSID\\{W}", RegistryView::Wow64_32}),
              "コンピューター\\HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W}");
    EXPECT_EQ(RegistryEditorPath("", {"TypeLib\\{L}", RegistryView::Native}), "HKEY_CLASSES_ROOT\\TypeLib\\{L}");

    // The report of the main tree: its faulty entries, their faulty groups
    // and the server files of those groups.
    const std::vector<ReportRow> entries = FaultyEntryReportRows(tree);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].kind, "ProgID");
    EXPECT_EQ(entries[0].key, "App.Odd");
    EXPECT_EQ(entries[0].description, "CLSID") << "a description that reads like a group stays the description";
    EXPECT_EQ(entries[0].reason, "不正なグループ: InprocServer32");
    EXPECT_EQ(entries[0].token, "faulty-groups InprocServer32");
    EXPECT_EQ(entries[0].files, "C:\\gone.dll");
    EXPECT_EQ(entries[3].key, "App.Wow");
    EXPECT_EQ(entries[3].files, "C:\\gone.exe");

    // The report of the broken keys: the window's columns, the token and
    // the files.
    BrokenKey server = Key(SectionKind::Class, "CLSID\\{C}");
    server.missing = {"C:\\gone.dll", "C:\\also gone.exe"};
    BrokenKey unregistered = Key(SectionKind::Interface, "Interface\\{I}");
    unregistered.reason = BreakReason::UnregisteredTypeLib;
    unregistered.missing = {"{L}"};
    unregistered.description = "IThing, \"the\" one";
    const std::string report = CsvReport(BrokenKeyReportRows({server, unregistered}, names));
    EXPECT_EQ(report, "\xEF\xBB\xBF種類,キー,説明,理由,理由コード,ProgID,ファイル\r\n"
                      "クラス,CLSID\\{C},,サーバーのファイルがありません: C:\\gone.dll | C:\\also gone.exe,"
                      "missing-server C:\\gone.dll|C:\\also gone.exe,\"App.One, App.Two\","
                      "C:\\gone.dll | C:\\also gone.exe\r\n"
                      "インターフェイス,Interface\\{I},\"IThing, \"\"the\"\" one\","
                      "タイプ ライブラリが登録されていません: {L},unregistered-typelib {L},,\r\n");
}

// A field is quoted only when it must be, and then every quote is doubled.
TEST(CsvReport, FieldsAreQuotedTheWayRfc4180Quotes)
{
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"line\n", "\"line\n\""},
        {"C:\\Program Files\\アプリ\\x.dll", "C:\\Program Files\\アプリ\\x.dll"},
        {"表,示", "\"表,示\""},
        {"semi;colon\ttab", "semi;colon\ttab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
    EXPECT_EQ(CsvReport({}).substr(0, 3), "\xEF\xBB\xBF") << "the byte order mark";
}

TEST(SectionDeletion, TheKeysThatWentAreNamedForTheEntriesOfTheTree)
{
    const std::vector<BrokenKey> keys{
        Key(SectionKind::Class, "CLSID\\{A}"), Key(SectionKind::Class, "CLSID\\{W}", RegistryView::Wow64_32),
        Key(SectionKind::TypeLibrary, "TypeLib\\{T}"), Key(SectionKind::Interface, "Interface\\{I}"),
        Key(SectionKind::Class, "CLSID\\{kept}")};
    const RemovedNames removed = NamesOfDeletedKeys(keys, {0, 1, 2, 3});
    EXPECT_EQ(removed.classes, (std::vector<std::pair<std::string, RegistryView>>{
                                   {"{A}", RegistryView::Native}, {"{W}", RegistryView::Wow64_32}}));
    EXPECT_EQ(removed.typeLibraries, std::vector<std::string>{"{T}"});
    EXPECT_TRUE(removed.files.empty());  // files are never deleted here
    EXPECT_TRUE(NamesOfDeletedKeys(keys, {3}).Empty()) << "no entry names an interface";
}

}  // namespace
}  // namespace qob
