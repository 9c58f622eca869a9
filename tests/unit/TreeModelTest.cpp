#include "catalogue/TreeDump.h"
#include "catalogue/TreeModel.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace qob {
namespace {

// Records what a view is told.
class RecordingView : public TreeView {
public:
    bool NodeAdded(TTreeNode& node) override
    {
        events.push_back("add " + node.Text());
        return !refuse;
    }
    void NodeChanged(TTreeNode& node) override { events.push_back("icon " + node.Text()); }
    void NodeDeleting(TTreeNode& node) override { events.push_back("delete " + node.Text()); }
    void SetRedraw(bool on) override { events.push_back(on ? "redraw on" : "redraw off"); }
    TTreeNode* Selected() override { return selected; }
    void Select(TTreeNode& node) override { selected = &node; }
    void ScrollToTop(TTreeNode&) override {}
    void Focus() override {}

    std::vector<std::string> events;
    TTreeNode* selected = nullptr;
    bool refuse = false;
};

// A: description, CLSID -> {id}; B.
struct TwoEntries {
    TTreeNodes tree;
    TTreeNode* a = tree.AddChild(nullptr, "A");
    TTreeNode* description = tree.AddChild(a, "description");
    TTreeNode* group = tree.AddChild(a, "CLSID");
    TTreeNode* id = tree.AddChild(group, "{id}");
    TTreeNode* b = tree.AddChild(nullptr, "B");
};

void ExpectBadIndex(const TTreeNodes& tree, int index)
{
    try {
        tree.NodeAtAbsoluteIndex(index);
        ADD_FAILURE() << "index " << index << " found a node";
    } catch (const ETreeViewError& e) {
        EXPECT_STREQ(e.what(), "不正なｲﾝﾃﾞｯｸｽ");
    }
}

TEST(TreeModel, AbsoluteIndicesRunInPreOrderAndLookupsInvertThem)
{
    TwoEntries t;
    const std::vector<TTreeNode*> order{t.a, t.description, t.group, t.id, t.b};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(order[i]->AbsoluteIndex(), i);
        EXPECT_EQ(t.tree.NodeAtAbsoluteIndex(i), order[i]);
    }
    EXPECT_EQ(t.id->Level(), 2);
    EXPECT_EQ(t.b->Level(), 0);
    EXPECT_EQ(t.a->Item(1), t.group);
    EXPECT_THROW(t.a->Item(2), ETreeViewError);
    EXPECT_THROW(t.description->Item(0), ETreeViewError);
    EXPECT_EQ(t.tree.NodeCount(), 5u);
    ExpectBadIndex(t.tree, -1);
    ExpectBadIndex(t.tree, 5);
    ExpectBadIndex(TTreeNodes(), 0);
}

TEST(TreeModel, NewNodesShowThePlainFolder)
{
    TwoEntries t;
    EXPECT_EQ(t.description->ImageIndex(), kIconNormal);
    EXPECT_EQ(t.description->SelectedIndex(), kIconNormal);
    t.tree.SetIcon(*t.a, kIconFaultyEntry);
    EXPECT_EQ(t.a->ImageIndex(), kIconFaultyEntry);
    EXPECT_EQ(t.a->SelectedIndex(), kIconFaultyEntry);
}

TEST(TreeModel, DeletingAnEntryShiftsLaterIndicesBySubtreeSize)
{
    TwoEntries t;
    TTreeNode* c = t.tree.AddChild(nullptr, "C");
    t.tree.AddChild(c, "c1");
    t.tree.Delete(t.a);
    EXPECT_EQ(t.b->AbsoluteIndex(), 0);
    EXPECT_EQ(c->AbsoluteIndex(), 1);
    EXPECT_EQ(t.tree.NodeAtAbsoluteIndex(2)->Text(), "c1");
    EXPECT_EQ(t.tree.NodeCount(), 3u);
    EXPECT_EQ(t.b->PrevSibling(), nullptr);
    EXPECT_EQ(t.b->NextSibling(), c);
    t.tree.Delete(c);
    EXPECT_EQ(t.b->NextSibling(), nullptr);
    ExpectBadIndex(t.tree, 1);
}

TEST(TreeModel, ANodePutBetweenOthersShiftsTheLaterOnes)
{
    TwoEntries t;
    RecordingView view;
    t.tree.AttachView(&view);
    EXPECT_EQ(t.tree.NodeAtAbsoluteIndex(4), t.b);
    TTreeNode* first = t.tree.InsertChild(nullptr, 0, "0");
    TTreeNode* between = t.tree.InsertChild(nullptr, 2, "AB");
    t.tree.AddChild(between, "ab1");
    EXPECT_EQ(view.events, (std::vector<std::string>{"add 0", "add AB", "add ab1"}));
    EXPECT_EQ(first->NextSibling(), t.a);
    EXPECT_EQ(between->PrevSibling(), t.a);
    EXPECT_EQ(between->NextSibling(), t.b);
    EXPECT_EQ(between->AbsoluteIndex(), 5);
    EXPECT_EQ(t.b->AbsoluteIndex(), 7);
    EXPECT_EQ(t.tree.NodeAtAbsoluteIndex(4), t.id);
    EXPECT_EQ(t.tree.NodeAtAbsoluteIndex(6)->Text(), "ab1");
    // A refused node leaves the others where they were.
    view.refuse = true;
    EXPECT_THROW(t.tree.InsertChild(nullptr, 1, "refused"), EOutOfResources);
    EXPECT_EQ(first->NextSibling(), t.a);
    EXPECT_EQ(t.a->AbsoluteIndex(), 1);
    EXPECT_EQ(t.tree.NodeCount(), 8u);
}

TEST(TreeModel, LookupsInAscendingOrderFollowEveryChange)
{
    // Entries of three nodes: entry, group, value.
    TTreeNodes tree;
    for (int i = 0; i < 300; ++i)
        tree.AddChild(tree.AddChild(tree.AddChild(nullptr, std::to_string(i).insert(0, 1, 'e')), "g"), "v");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(300)->Text(), "e100");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(302)->Text(), "v");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(303)->Text(), "e101");
    const unsigned long before = tree.Changes();
    tree.Delete(tree.TopLevel()[50].get());  // three nodes before index 303
    EXPECT_NE(tree.Changes(), before);
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(303)->Text(), "e102");
    tree.Delete(tree.TopLevel()[101].get());  // the node the last lookup gave
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(304)->Text(), "g");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(304)->Parent()->Text(), "e103");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(600)->Text(), "e202");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(12)->Text(), "e4");
    for (int i = 0; i < 894; i += 7)
        EXPECT_EQ(tree.NodeAtAbsoluteIndex(i)->AbsoluteIndex(), i);
    ExpectBadIndex(tree, 894);
    tree.AddChild(tree.TopLevel()[0].get(), "added");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(3)->Text(), "added");
    EXPECT_EQ(tree.NodeAtAbsoluteIndex(894)->Text(), "v");
}

TEST(TreeModel, ViewIsToldOfEveryChangeAndUpdatesNest)
{
    TTreeNodes tree;
    RecordingView view;
    tree.AttachView(&view);
    EXPECT_EQ(tree.Selected(), nullptr);
    tree.BeginUpdate();
    tree.BeginUpdate();
    TTreeNode* a = tree.AddChild(nullptr, "A");
    tree.SetImageIndex(*a, 2);
    tree.EndUpdate();
    tree.EndUpdate();
    tree.EndUpdate();  // unmatched: ignored
    tree.Delete(a);
    EXPECT_EQ(view.events, (std::vector<std::string>{"redraw off", "add A", "icon A", "redraw on", "delete A"}));
}

TEST(TreeModel, RefusedItemIsDiscardedWithOutOfResources)
{
    TTreeNodes tree;
    RecordingView view;
    tree.AttachView(&view);
    tree.AddChild(nullptr, "kept");
    view.refuse = true;
    try {
        tree.AddChild(nullptr, "refused");
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "ｱｲﾃﾑの挿入ができません");
    }
    EXPECT_EQ(tree.NodeCount(), 1u);
    EXPECT_EQ(tree.TopLevel().size(), 1u);
}

TEST(TreeModel, DumpEscapesControlBytesAndFiltersFaultyEntries)
{
    TwoEntries t;
    t.tree.AddChild(t.b, std::string("tab\there\x7f\0z", 11));
    t.tree.SetIcon(*t.b, kIconFaultyEntry);
    EXPECT_EQ(DumpTree(t.tree, false),
              "0\t0\tA\n1\t0\tdescription\n1\t0\tCLSID\n2\t0\t{id}\n0\t2\tB\n1\t0\ttab\\x09here\\x7F\\x00z\n");
    EXPECT_EQ(DumpTree(t.tree, true), "0\t2\tB\n1\t0\ttab\\x09here\\x7F\\x00z\n");
}

// Releasing a tree recursively would need a stack frame or more per level:
// on a thread with a small stack, 20,000 levels overflow it.
TEST(TreeModel, LongAndDeepTreesReleaseWithoutDeepRecursion)
{
    struct Result {
        std::size_t countAfterDelete = 0;
        int lastIndex = 0;
    } result;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto body = [](void* data) -> void* {
        auto* out = static_cast<Result*>(data);
        auto tree = std::make_unique<TTreeNodes>();
        for (int i = 0; i < 100000; ++i)
            tree->AddChild(nullptr, "n");
        out->lastIndex = tree->NodeAtAbsoluteIndex(99999)->AbsoluteIndex();
        for (TTreeNode* deep : {tree->AddChild(nullptr, "deleted"), tree->AddChild(nullptr, "released")}) {
            for (int i = 0; i < 20000; ++i)
                deep = tree->AddChild(deep, "d");
        }
        tree->Delete(tree->TopLevel()[100000].get());
        out->countAfterDelete = tree->NodeCount();
        tree.reset();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, &result), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(result.lastIndex, 99999);
    EXPECT_EQ(result.countAfterDelete, 100000u + 20001u);
}

}  // namespace
}  // namespace qob
