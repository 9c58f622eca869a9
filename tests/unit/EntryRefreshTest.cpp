#include "catalogue/EntryRefresh.h"
#include "catalogue/Scan.h"
#include "catalogue/TreeDump.h"
#include "removal/RestoredEntries.h"
#include "tests/support/MemoryKeyStore.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace qob {
namespace {

// A scanned tree of three entries, and the changes it is told of.
class EntryRefreshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Text("A.First\\CLSID", "{A}");
        Text("CLSID\\{A}\\InprocServer32", "C:\\a.dll");
        Text("C.Third\\CLSID", "{C}");
        Text("E.Fifth\\CLSID", "{E}");
        files.AddFile("C:\\a.dll");
        Scan();
    }
    void Text(const std::string& path, const std::string& value)
    {
        store.SetValue(kClassesRoot, path, "", kRegSz, value + '\0');
    }
    void Scan()
    {
        CheckedServers servers(files);
        RunRegistrationScan(tree, store, order, servers, 1);
    }
    TTreeNode* Read(const std::string& progId)
    {
        return ReadEntryIntoTree(tree, store, files, order, progId, [this](int at, int before, int after) {
            changes.emplace_back(at, before, after);
        });
    }
    std::string Entries() const
    {
        std::string names;
        for (const auto& entry : tree.TopLevel())
            names += entry->Text() + (entry->ImageIndex() == kIconNormal ? " " : "! ");
        return names;
    }

    MemoryKeyStore store;
    MemoryFileSystem files;
    FoldedNameOrder order;
    TTreeNodes tree;
    std::vector<std::tuple<int, int, int>> changes;
};

TEST_F(EntryRefreshTest, ANewEntryGoesToItsSortedPlaceAndIsToldAsInserted)
{
    Text("D.Fourth\\CLSID", "{D}");  // no class key: faulty
    TTreeNode* entry = Read("D.Fourth");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(Entries(), "A.First C.Third! D.Fourth! E.Fifth! ");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_tuple(entry->AbsoluteIndex(), 0, 1 + Descendants(tree, *entry)));
    Text("0.Zeroth\\CLSID", "{A}");
    EXPECT_EQ(Read("0.Zeroth")->AbsoluteIndex(), 0);
}

TEST_F(EntryRefreshTest, AnEntryShownIsReadAgainInItsPlaceWhateverTheCase)
{
    Text("CLSID\\{C}\\LocalServer32", "C:\\c.exe");
    files.AddFile("C:\\c.exe");
    TTreeNode* third = tree.TopLevel()[1].get();
    const int before = Descendants(tree, *third);
    EXPECT_EQ(Read("c.third"), third);
    EXPECT_EQ(Entries(), "A.First C.Third E.Fifth! ");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_tuple(third->AbsoluteIndex() + 1, before, Descendants(tree, *third)));
    EXPECT_GT(Descendants(tree, *third), before);
}

TEST_F(EntryRefreshTest, ANameThatIsNoProgIdLeavesTheTreeAsItWas)
{
    Text("Plain", "no CLSID subkey");
    const std::string dump = DumpTree(tree, false);
    EXPECT_EQ(Read("Plain"), nullptr);
    EXPECT_EQ(Read("Absent"), nullptr);
    EXPECT_EQ(DumpTree(tree, false), dump);
    EXPECT_TRUE(changes.empty());
}

TEST_F(EntryRefreshTest, ARestoreReadsItsProgIdsAndNotItsOtherKeys)
{
    Text("B.Second\\CLSID", "{B}");
    RestorePlan plan;
    plan.topKeys = {u"HKEY_CLASSES_ROOT\\B.Second", u"HKEY_CLASSES_ROOT\\CLSID\\{B}",
                    u"HKEY_CURRENT_USER\\Software\\Classes\\D.Fourth", u"HKEY_CLASSES_ROOT\\CLSID",
                    u"HKEY_LOCAL_MACHINE\\Software\\Other", u"HKEY_LOCAL_MACHINE\\Software\\Classes\\G.Seventh",
                    u"HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID\\{B}"};
    EXPECT_EQ(RestoredProgIds(plan), (std::vector<std::string>{"B.Second", "D.Fourth", "G.Seventh"}));
    TTreeNode* first = ReadRestoredEntries(tree, store, files, order, plan, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text(), "B.Second");
    // D.Fourth has no key: it is no entry, and nothing else is added.
    EXPECT_EQ(Entries(), "A.First B.Second! C.Third! E.Fifth! ");
}

// A view that only holds the selection.
struct SelectionView final : TreeView {
    bool NodeAdded(TTreeNode&) override { return true; }
    void NodeChanged(TTreeNode&) override {}
    void NodeDeleting(TTreeNode& node) override
    {
        if (&node == selected)
            selected = nullptr;
    }
    void SetRedraw(bool) override {}
    TTreeNode* Selected() override { return selected; }
    void Select(TTreeNode& node) override { selected = &node; }
    void ScrollToTop(TTreeNode&) override {}
    void Focus() override {}
    TTreeNode* selected = nullptr;
};

TEST_F(EntryRefreshTest, OnlyTheEntriesThatNameWhatWentAreReadAgain)
{
    Text("B.Sharing\\CLSID", "{B}");
    Text("CLSID\\{B}\\InprocServer32", "C:\\A.DLL");
    Text("D.SameClass\\CLSID", "{a}");
    Text("E.Fifth\\CLSID", "{E}");
    while (!tree.TopLevel().empty())
        tree.Delete(tree.TopLevel().front().get());
    Scan();
    SelectionView view;
    tree.AttachView(&view);
    // A.First's class key and file go; C.Third and E.Fifth name neither.
    store.DeleteKey(kClassesRoot, "CLSID\\{A}\\InprocServer32", 0);
    store.DeleteKey(kClassesRoot, "CLSID\\{A}", 0);
    files.RemoveFile("C:\\a.dll");
    TTreeNode* sharing = tree.TopLevel()[1].get();
    view.Select(*sharing->Item(1)->Item(0));  // the CLSID value of B.Sharing
    RemovedNames removed;
    removed.classes = {{"{A}", RegistryView::Native}, {"{E}", RegistryView::Wow64_32}};
    removed.files = {"C:\\a.dll"};
    const int reread = RereadEntriesNaming(tree, store, files, removed, [this](int at, int before, int after) {
        changes.emplace_back(at, before, after);
    });
    // A.First by its class, B.Sharing by its file, D.SameClass by its class
    // in another case; E.Fifth's class went in the other view only.
    EXPECT_EQ(reread, 3);
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(Entries(), "A.First! B.Sharing! C.Third! D.SameClass! E.Fifth! ");
    EXPECT_EQ(view.selected, sharing) << "the selected node below it gives way to the entry";
    EXPECT_EQ(RereadEntriesNaming(tree, store, files, {}, nullptr), 0);
    tree.AttachView(nullptr);
}

}  // namespace
}  // namespace qob
