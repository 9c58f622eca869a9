#include "tests/support/MemoryKeyStore.h"
#include "catalogue/EntryReader.h"
#include "catalogue/Registry.h"
#include "catalogue/Scan.h"
#include "catalogue/ServerPath.h"
#include "catalogue/TreeDump.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <thread>

#include <random>

namespace qob {
namespace {

// How a case reads the entries: the outcome must not tell the ways apart.
struct ScanWay {
    const char* name;
    unsigned threads;
    bool paced;  // the pool and the scan's thread take turns
};

// A clock that makes the pacing's choices at random, with a fixed seed: the
// pool and the scan's thread take turns of every length, and stretches end
// early now and then.
long long ShakyClock()
{
    static thread_local std::minstd_rand random(7);
    static thread_local long long time = 0;
    time += random() % 5 == 0 ? 1000 : 1;
    return time;
}

class ScanTest : public ::testing::TestWithParam<ScanWay>, public ServerPresence {
protected:
    void Text(const std::string& path, const std::string& value)
    {
        store.SetValue(kClassesRoot, path, "", kRegSz, value + '\0');
    }
    // A ProgID with its class key and an in-process server.
    void Class(const std::string& progId, const std::string& clsid, const std::string& server)
    {
        Text(progId, progId + " description");
        Text(progId + "\\CLSID", clsid);
        Text("CLSID\\" + clsid + "\\InprocServer32", server);
    }
    bool ServerPathExists(const std::string& serverPath, RegistryView view) override
    {
        checked.push_back(serverPath + (view == RegistryView::Wow64_32 ? " (32)" : ""));
        return ServerPathCheck(files).ServerPathExists(serverPath, view);
    }
    std::string Scan()
    {
        RunRegistrationScan(tree, store, order, *this, GetParam().threads, Pacing());
        return DumpTree(tree, false);
    }
    ScanPacing Pacing() const
    {
        return GetParam().paced ? ScanPacing{ShakyClock, 3, 20} : ScanPacing{};
    }

    MemoryKeyStore store;
    MemoryFileSystem files;
    FoldedNameOrder order;
    TTreeNodes tree;
    std::vector<std::string> checked;
};

TEST_P(ScanTest, FullEntryWithServersAndTypeLibrary)
{
    Text("App.Full", "Full application");
    Text("App.Full\\CLSID", "{F}");
    Text("CLSID\\{F}\\InprocServer32", "C:\\app\\full.dll");
    Text("CLSID\\{F}\\LocalServer32", "C:\\app\\missing.exe /automation");
    Text("CLSID\\{F}\\TypeLib", "{T}");
    Text("CLSID\\{F}\\Version", "2.1");
    Text("TypeLib\\{T}\\2.1", "Full type library");
    Text("TypeLib\\{T}\\2.1\\HELPDIR", "C:\\help");
    Text("TypeLib\\{T}\\2.1\\0\\HELPDIR", "C:\\help0");
    Text("TypeLib\\{T}\\1.0", "wrong version");
    files.AddFile("C:\\app\\full.dll");

    EXPECT_EQ(Scan(),
              "0\t2\tApp.Full\n"
              "1\t0\tFull application\n"
              "1\t0\tCLSID\n"
              "2\t0\t{F}\n"
              "1\t0\tInprocServer32\n"
              "2\t0\tC:\\app\\full.dll\n"
              "1\t1\tLocalServer32\n"
              "2\t0\tC:\\app\\missing.exe /automation\n"
              "1\t0\tTypeLib\n"
              "2\t0\t{T}\n"
              "2\t0\tFull type library\n"
              "2\t0\tC:\\help\n"
              "2\t0\tC:\\help0\n");
    EXPECT_EQ(tree.UpdateCount(), 0);
    // The root; each key the entry shows, once (the class key and the library
    // key are proved by their subkeys); the root names CLSID and TypeLib and
    // the CLSID subkey each is looked for.
    EXPECT_EQ(store.OpenCount(), 1u + 9u + 4u);
}

TEST_P(ScanTest, FaultsEndTheEntryWhereTheySay)
{
    Text("NoClassKey", "");
    Text("NoClassKey\\CLSID", "{missing}");
    Text("NoTypeLib.Key\\CLSID", "{N}");
    Text("CLSID\\{N}\\TypeLib", "{gone}");
    Text("CLSID\\{N}\\Version", "");
    Text("LibOnly\\CLSID", "{L}");
    Text("CLSID\\{L}\\TypeLib", "{V}");
    Text("TypeLib\\{V}\\2.0", "another version");
    store.CreateKey(kClassesRoot, "Bare\\CLSID");  // no default values at all
    store.CreateKey(kClassesRoot, ".txt");         // no CLSID subkey: not a ProgID
    Text("CLSID\\{N}\\LocalServer32", "server.exe");

    EXPECT_EQ(Scan(),
              "0\t0\tBare\n"
              "1\t0\t\n"
              "1\t0\tCLSID\n"
              "2\t0\t\n"
              "0\t0\tLibOnly\n"
              "1\t0\t\n"
              "1\t0\tCLSID\n"
              "2\t0\t{L}\n"
              "1\t0\tTypeLib\n"
              "2\t0\t{V}\n"
              "0\t2\tNoClassKey\n"
              "1\t0\t\n"
              "1\t1\tCLSID\n"
              "2\t0\t{missing}\n"
              "0\t2\tNoTypeLib.Key\n"
              "1\t0\t\n"
              "1\t0\tCLSID\n"
              "2\t0\t{N}\n"
              "1\t0\tLocalServer32\n"
              "2\t0\tserver.exe\n"
              "1\t1\tTypeLib\n"
              "2\t0\t{gone}\n")
        << "Bare: the empty class identifier makes the path \\CLSID\\, which opens the CLSID key itself";
}

// A key that is there but may not be read is not missing; the native view's
// such class key hides the 32-bit view's, and a library's ends its reading.
TEST_P(ScanTest, AKeyThatCannotBeReadIsNotMissing)
{
    Text("A.Class\\CLSID", "{A}");
    store.CreateKey(kClassesRoot, "CLSID\\{A}");
    Text("Wow6432Node\\CLSID\\{A}\\InprocServer32", "C:\\missing32.dll");
    Text("B.Class32\\CLSID", "{B}");
    store.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\{B}");
    Text("C.Library\\CLSID", "{C}");
    Text("CLSID\\{C}\\TypeLib", "{T}");
    Text("TypeLib\\{T}\\1.0\\HELPDIR", "C:\\help");
    for (const char* key : {"CLSID\\{A}", "Wow6432Node\\CLSID\\{B}", "TypeLib\\{T}", "TypeLib\\{T}\\1.0"})
        store.DenyReading(kClassesRoot, key);
    EXPECT_EQ(Scan(),
              "0\t0\tA.Class\n1\t0\t\n1\t0\tCLSID\n2\t0\t{A}\n"
              "0\t0\tB.Class32\n1\t0\t\n1\t0\tCLSID\n2\t0\t{B}\n"
              "0\t0\tC.Library\n1\t0\t\n1\t0\tCLSID\n2\t0\t{C}\n1\t0\tTypeLib\n2\t0\t{T}\n"
              "0\t0\tWow6432Node\n1\t0\t\n1\t0\tCLSID\n2\t0\t\n");
    EXPECT_TRUE(checked.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_P(ScanTest, EntriesFollowTheSortedNamesNotTheCase)
{
    for (const char* name : {"ABD", "abc", "Zeta", "alpha", "表示"})
        Text(std::string(name) + "\\CLSID", "{x}");
    store.CreateKey(kClassesRoot, "CLSID\\{x}");
    Scan();
    std::vector<std::string> names;
    for (const auto& entry : tree.TopLevel())
        names.push_back(entry->Text());
    EXPECT_EQ(names, (std::vector<std::string>{"abc", "ABD", "alpha", "Zeta", "表示"}));

    // The caller is told of each name in turn, on its own thread, with its
    // entry already in the tree; the key CLSID, a name that is no entry,
    // comes fourth.
    TTreeNodes again;
    std::vector<std::size_t> told, entries;
    const std::thread::id caller = std::this_thread::get_id();
    RunRegistrationScan(again, store, order, *this, GetParam().threads, Pacing(),
                        [&](std::size_t done, std::size_t total) {
                            EXPECT_EQ(std::this_thread::get_id(), caller);
                            EXPECT_EQ(total, 6u);
                            told.push_back(done);
                            entries.push_back(again.TopLevel().size());
                        });
    EXPECT_EQ(told, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(entries, (std::vector<std::size_t>{1, 2, 3, 3, 4, 5}));
}

TEST_P(ScanTest, BadValueTypeEndsTheScanAndKeepsThePartialTree)
{
    Class("A.First", "{A}", "a.dll");
    store.SetValue(kClassesRoot, "B.Broken", "", kRegDword, std::string("\x01\0\0\0", 4));
    Text("B.Broken\\CLSID", "{A}");
    Class("C.Later", "{A}", "a.dll");
    store.CreateKey(kClassesRoot, "CLSID\\{A}");
    try {
        Scan();
        FAIL() << "the scan went through";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "'' のﾃﾞｰﾀ型が不正です");
    }
    ASSERT_EQ(tree.TopLevel().size(), 1u);
    EXPECT_EQ(tree.TopLevel()[0]->Text(), "A.First");
    EXPECT_EQ(tree.UpdateCount(), 1) << "the update bracket is left open";
    EXPECT_EQ(store.OpenHandleCount(), 0u) << "no key handle leaks";
}

// The version is read only for a library that is there: a version of the
// wrong type ends the scan at the second entry, not the first.
TEST_P(ScanTest, AVersionOfTheWrongTypeCountsOnlyWithItsLibrary)
{
    for (const char* name : {"A.NoLibrary", "B.Library"}) {
        const std::string clsid = std::string("{") + name[0] + "}";
        Text(std::string(name) + "\\CLSID", clsid);
        Text("CLSID\\" + clsid + "\\TypeLib", std::string("{lib ") + name[0] + "}");
        store.SetValue(kClassesRoot, "CLSID\\" + clsid + "\\Version", "", kRegDword, std::string(4, '\0'));
    }
    store.CreateKey(kClassesRoot, "TypeLib\\{lib B}");
    EXPECT_THROW(Scan(), ERegistryException);
    EXPECT_EQ(DumpTree(tree, false),
              "0\t2\tA.NoLibrary\n1\t0\t\n1\t0\tCLSID\n2\t0\t{A}\n1\t1\tTypeLib\n2\t0\t{lib A}\n"
              "0\t0\tB.Library\n1\t0\t\n1\t0\tCLSID\n2\t0\t{B}\n1\t0\tTypeLib\n2\t0\t{lib B}\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_P(ScanTest, EveryServerPathIsCheckedExactlyAsRead)
{
    Class("P1", "{1}", "\"C:\\a b\\x.dll\"");
    Class("P2", "{2}", "");
    store.CreateKey(kClassesRoot, "CLSID");
    Scan();
    EXPECT_EQ(checked, (std::vector<std::string>{"\"C:\\a b\\x.dll\"", ""}));
}

TEST_P(ScanTest, ClassesOfThe32BitViewAreReadThere)
{
    Text("A.Wow\\CLSID", "{W}");
    Text("Wow6432Node\\CLSID\\{W}\\InprocServer32", "C:\\windows\\system32\\wow.dll");
    Text("Wow6432Node\\CLSID\\{W}\\TypeLib", "{T}");
    Text("Wow6432Node\\CLSID\\{W}\\Version", "3.0");
    Text("TypeLib\\{T}\\3.0", "shared type library");
    Text("B.Native\\CLSID", "{N}");
    Text("CLSID\\{N}\\InprocServer32", "C:\\windows\\system32\\wow.dll");
    files.AddFile("C:\\windows\\SysWOW64\\wow.dll");
    EXPECT_EQ(Scan(),
              "0\t0\tA.Wow\n1\t0\t\n1\t0\tCLSID\n2\t0\t{W}\n"
              "1\t0\tInprocServer32\n2\t0\tC:\\windows\\system32\\wow.dll\n"
              "1\t0\tTypeLib\n2\t0\t{T}\n2\t0\tshared type library\n"
              "0\t2\tB.Native\n1\t0\t\n1\t0\tCLSID\n2\t0\t{N}\n"
              "1\t1\tInprocServer32\n2\t0\tC:\\windows\\system32\\wow.dll\n"
              // The view's own root key has a CLSID subkey, so it lists like a ProgID.
              "0\t0\tWow6432Node\n1\t0\t\n1\t0\tCLSID\n2\t0\t\n");
    EXPECT_EQ(checked, (std::vector<std::string>{"C:\\windows\\system32\\wow.dll (32)",
                                                 "C:\\windows\\system32\\wow.dll"}));
    // The removal deletes a class key in the view the scan found it in.
    EXPECT_EQ(tree.TopLevel()[0]->ClassView(), RegistryView::Wow64_32);
    EXPECT_EQ(tree.TopLevel()[1]->ClassView(), RegistryView::Native);
}

// Many entries, so that the readers run ahead of the tree, ending in the
// middle of the order: the same partial tree, message and checks as one thread.
TEST_P(ScanTest, AnErrorInTheMiddleEndsTheScanAtTheSameEntry)
{
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(1000 + i);
        Class("P" + n, "{" + n + "}", i % 3 ? "C:\\s\\" + n + ".dll" : "bare.dll");
        store.CreateKey(kClassesRoot, "CLSID\\{" + n + "}");
    }
    store.SetValue(kClassesRoot, "P1150\\CLSID", "", kRegBinary, "\x01");
    store.SetValue(kClassesRoot, "P1200", "", kRegDword, std::string(4, '\0'));  // later: never reached
    EXPECT_THROW(Scan(), ERegistryException);
    ASSERT_EQ(tree.TopLevel().size(), 151u);
    EXPECT_EQ(DumpTree(tree, false).substr(DumpTree(tree, false).rfind("0\t0\tP1150")),
              "0\t0\tP1150\n1\t0\tP1150 description\n")
        << "the failing entry keeps what was added before its failed read";
    EXPECT_EQ(checked.size(), 150u);
    EXPECT_EQ(store.OpenHandleCount(), 0u) << "no reader keeps a key open";
}

// Names the order cannot tell apart keep the order the sort gave them, and the
// tree follows it whatever the number of threads.
TEST_P(ScanTest, TiedNamesFollowTheSortedList)
{
    struct FirstLetter final : NameOrder {
        int Compare(const std::string& a, const std::string& b) const override { return a[0] - b[0]; }
    } firstLetter;
    for (int i = 0; i < 60; ++i)
        Class(std::string(1, "ba"[i % 2]) + std::to_string(i), "{t}", "t.dll");
    store.CreateKey(kClassesRoot, "CLSID\\{t}");
    std::vector<std::string> names;
    TRegistry root(store);
    root.SetRootKey(kClassesRoot);
    root.OpenKey("\\");
    root.GetKeyNames(names);
    root.CloseKey();
    SortNames(names, firstLetter);
    std::erase(names, "CLSID");
    RunRegistrationScan(tree, store, firstLetter, *this, GetParam().threads, Pacing());
    std::vector<std::string> shown;
    for (const auto& entry : tree.TopLevel())
        shown.push_back(entry->Text());
    EXPECT_EQ(shown, names);
}

INSTANTIATE_TEST_SUITE_P(Ways, ScanTest,
                         ::testing::Values(ScanWay{"OneThread", 1, false}, ScanWay{"Pool", 4, false},
                                           ScanWay{"PoolInTurns", 4, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Passes every call to the in-memory store and notes each open as asked:
// the path, marked " (32)" in the 32-bit view and "(relative) " when it is
// not taken from the classes root.
class OpenLog final : public KeyStore {
public:
    long OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out) override
    {
        opens.push_back((base == kClassesRoot ? "" : "(relative) ") + path +
                        ((access & kKeyWow64_32Key) != 0 ? " (32)" : ""));
        return store.OpenKey(base, path, access, out);
    }
    long QueryInfoKey(KeyHandle key, std::uint32_t& subkeyCount) override
    {
        return store.QueryInfoKey(key, subkeyCount);
    }
    long EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override
    {
        return store.EnumKey(key, index, name);
    }
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data) override
    {
        return store.QueryValue(key, name, type, data);
    }
    long DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags) override
    {
        return store.DeleteKey(base, path, viewFlags);
    }
    long DeleteValue(KeyHandle key, const std::string& name) override { return store.DeleteValue(key, name); }
    long CloseKey(KeyHandle key) override { return store.CloseKey(key); }
    long QueryOwner(KeyHandle key, std::string& owner) override { return store.QueryOwner(key, owner); }

    // Seeds a key of the classes root with a default string value.
    void Text(const std::string& path, const std::string& value)
    {
        store.SetValue(kClassesRoot, path, "", kRegSz, value + '\0');
    }

    MemoryKeyStore store;
    std::vector<std::string> opens;
};

// One shape of an entry "App" whose class is {C}, and the opens its reading
// takes, in their order. Under Wine each open is a round trip, so a change
// of the reader must keep them.
struct EntryShape {
    const char* name;
    void (*seed)(OpenLog& log);
    std::vector<std::string> opens;
};

void SeedProgId(OpenLog& log)
{
    log.Text("App", "application");
    log.Text("App\\CLSID", "{C}");
}

const EntryShape kEntryShapes[] = {
    {"NoProgId", [](OpenLog& log) { log.Text("App", "a file type"); }, {"App", "App\\CLSID"}},
    {"NativeInprocServer",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("CLSID\\{C}\\InprocServer32", "a.dll");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}\\TypeLib"}},
    {"OnlyLocalServer",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("CLSID\\{C}\\LocalServer32", "a.exe");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}\\TypeLib"}},
    {"NativeClassKeyWithoutServers",
     [](OpenLog& log) {
         SeedProgId(log);
         log.store.CreateKey(kClassesRoot, "CLSID\\{C}");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}",
      "CLSID\\{C}\\TypeLib"}},
    {"ClassOnlyIn32BitView",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("Wow6432Node\\CLSID\\{C}\\InprocServer32", "a.dll");
         log.Text("Wow6432Node\\CLSID\\{C}\\LocalServer32", "a.exe");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}",
      "CLSID\\{C} (32)", "CLSID\\{C}\\InprocServer32 (32)", "CLSID\\{C}\\LocalServer32 (32)",
      "CLSID\\{C}\\TypeLib (32)"}},
    {"TypeLibraryWithVersion",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("CLSID\\{C}\\InprocServer32", "a.dll");
         log.Text("CLSID\\{C}\\TypeLib", "{T}");
         log.Text("CLSID\\{C}\\Version", "2.1");
         log.Text("TypeLib\\{T}\\2.1", "library");
         log.Text("TypeLib\\{T}\\2.1\\HELPDIR", "C:\\help");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}\\TypeLib",
      "CLSID\\{C}\\Version", "TypeLib\\{T}\\2.1", "TypeLib\\{T}\\2.1\\HELPDIR", "TypeLib\\{T}\\2.1\\0\\HELPDIR"}},
    {"TypeLibraryOfA32BitClass",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("Wow6432Node\\CLSID\\{C}\\InprocServer32", "a.dll");
         log.Text("Wow6432Node\\CLSID\\{C}\\TypeLib", "{T}");
         log.Text("Wow6432Node\\CLSID\\{C}\\Version", "3.0");
         log.Text("TypeLib\\{T}\\3.0", "library");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}",
      "CLSID\\{C} (32)", "CLSID\\{C}\\InprocServer32 (32)", "CLSID\\{C}\\LocalServer32 (32)",
      "CLSID\\{C}\\TypeLib (32)", "CLSID\\{C}\\Version (32)", "TypeLib\\{T}\\3.0", "TypeLib\\{T}\\3.0\\HELPDIR",
      "TypeLib\\{T}\\3.0\\0\\HELPDIR"}},
    {"TypeLibraryWithoutItsVersion",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("CLSID\\{C}\\InprocServer32", "a.dll");
         log.Text("CLSID\\{C}\\TypeLib", "{T}");
         log.store.CreateKey(kClassesRoot, "TypeLib\\{T}\\2.0");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}\\TypeLib",
      "CLSID\\{C}\\Version", "TypeLib\\{T}\\1.0", "TypeLib\\{T}", "TypeLib\\{T}\\1.0\\HELPDIR",
      "TypeLib\\{T}\\1.0\\0\\HELPDIR"}},
    {"MissingClassKey", SeedProgId,
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}",
      "CLSID\\{C} (32)"}},
    // Each open of a key that may not be read is asked twice, for all
    // access and then for reading; the 32-bit view is not looked at.
    {"UnreadableClassKey",
     [](OpenLog& log) {
         SeedProgId(log);
         log.store.CreateKey(kClassesRoot, "CLSID\\{C}");
         log.store.DenyReading(kClassesRoot, "CLSID\\{C}");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}", "CLSID\\{C}"}},
    {"MissingTypeLibrary",
     [](OpenLog& log) {
         SeedProgId(log);
         log.Text("CLSID\\{C}\\InprocServer32", "a.dll");
         log.Text("CLSID\\{C}\\TypeLib", "{T}");
         log.Text("CLSID\\{C}\\Version", "2.1");
     },
     {"App", "App\\CLSID", "CLSID\\{C}\\InprocServer32", "CLSID\\{C}\\LocalServer32", "CLSID\\{C}\\TypeLib",
      "CLSID\\{C}\\Version", "TypeLib\\{T}\\2.1", "TypeLib\\{T}"}},
};

class EntryOpensTest : public ::testing::TestWithParam<EntryShape> {};

TEST_P(EntryOpensTest, EachKeyOfTheEntryIsOpenedOnceInItsOrder)
{
    OpenLog log;
    GetParam().seed(log);
    EntryRecord record;
    {
        TRegistry registry(log);
        registry.SetRootKey(kClassesRoot);
        record = EntryReader(registry).Read("App");
    }
    EXPECT_FALSE(record.error);
    EXPECT_EQ(log.opens, GetParam().opens);
    EXPECT_EQ(log.store.OpenHandleCount(), 0u) << "no key stays open";
}

INSTANTIATE_TEST_SUITE_P(Shapes, EntryOpensTest, ::testing::ValuesIn(kEntryShapes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SortNames, QuickSortOrdersAnyInput)
{
    FoldedNameOrder order;
    for (int n = 0; n < 40; ++n) {
        std::vector<std::string> names;
        for (int i = 0; i < n; ++i)
            names.push_back(std::to_string((i * 7919 + n) % 13));
        SortNames(names, order);
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << n;
    }
}

}  // namespace
}  // namespace qob
