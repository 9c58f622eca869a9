#include "interaction/Interaction.h"
#include "search/SearchCommand.h"
#include "search/TreeSearch.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace qob {
namespace {

TEST(SearchText, IsAPlainSubstringOfWholeCharacters)
{
    const struct {
        const char* node;
        const char* find;
        bool matches;
    } cases[] = {
        {"CLSID", "LSI", true},
        {"CLSID", "clsid", false},  // case counts
        {"CLSID", "", false},       // an empty text matches nothing
        {"", "", false},
        {"InprocServer32", "InprocServer32", true},
        {"C:\\x.dll", "C:\\x.dll!", false},
        // Characters match whole: no part of one is another (in code page
        // 932 the second byte of 表 was a backslash).
        {"表示", "\\", false},
        {"C:\\一覧表.dll", "表.dll", true},
        {"Jürgen", "ü", true},
        {"Jürgen", "u", false},
        {"x😀y", "😀", true},
        {"€ 😀", "€ 😀", true},
        {"A&B", "&", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchTextMatches(c.node, c.find), c.matches) << c.node << " / " << c.find;
}

std::string Numbered(const char* format, int i)
{
    char text[32];
    std::snprintf(text, sizeof text, format, i);
    return text;
}

// Entries E0..E4, each with a description "desc i" and a CLSID group with
// the value "{i}": four nodes an entry, twenty in all.
struct Searched {
    TTreeNodes tree;
    int flag = 0;
    TreeSearch search{tree, flag};
    std::vector<TTreeNode*> entries;
    Searched()
    {
        for (int i = 0; i < 5; ++i) {
            TTreeNode* entry = tree.AddChild(nullptr, Numbered("E%d", i));
            tree.AddChild(entry, Numbered("desc %d", i));
            tree.AddChild(tree.AddChild(entry, "CLSID"), Numbered("{%d}", i));
            entries.push_back(entry);
        }
    }
    // Steps without a budget until the search ends.
    TreeSearch::Outcome Run(const std::string& text)
    {
        for (;;) {
            const TreeSearch::Outcome outcome = search.Step(text, [] { return false; });
            if (outcome.result != TreeSearch::Result::Continue)
                return outcome;
        }
    }
};

TEST(Search, StartsAfterTheSelectedNodeOrAtTheFirstAndNeverWraps)
{
    Searched s;
    s.search.Start(nullptr);
    EXPECT_EQ(s.flag, 1);
    EXPECT_EQ(s.search.Cursor(), 0);
    TreeSearch::Outcome found = s.Run("E");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node, s.entries[0]);

    // From the match on, the next search finds the next one.
    s.search.Start(found.node);
    EXPECT_EQ(s.search.Cursor(), 1);
    found = s.Run("E");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node, s.entries[1]);
    EXPECT_EQ(s.search.Cursor(), 4);  // stays on the match

    // A match above the selection is not found; the cursor ends past the last node.
    s.search.Start(s.entries[2]->Item(1));
    EXPECT_EQ(s.Run("{1}").result, TreeSearch::Result::NotFound);
    EXPECT_EQ(s.search.Cursor(), 20);

    // From the last node, the first step already finds nothing.
    s.search.Start(s.entries[4]->Item(1)->Item(0));
    EXPECT_EQ(s.search.Step("E", [] { return true; }).result, TreeSearch::Result::NotFound);

    // Group labels, descriptions and values are all searched.
    s.search.Start(nullptr);
    found = s.Run("sc 3");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node, s.entries[3]->Item(0));
}

TEST(Search, AStepExaminesNodesWhileItsBudgetLastsAndAtLeastOne)
{
    Searched s;
    s.search.Start(nullptr);
    int asked = 0;
    auto outcome = s.search.Step("nothing", [&] { return ++asked < 7; });
    EXPECT_EQ(outcome.result, TreeSearch::Result::Continue);
    EXPECT_EQ(s.search.Cursor(), 7);
    outcome = s.search.Step("nothing", [] { return false; });
    EXPECT_EQ(s.search.Cursor(), 8);
    // A time budget: the clock is read at the start and every 256 nodes.
    long long clock = 0;
    int reads = 0;
    auto now = [&] { ++reads; return clock; };
    EXPECT_EQ(s.search.StepFor("nothing", now, 10).result, TreeSearch::Result::NotFound);
    EXPECT_EQ(reads, 1);
    // A match counts only while the flag is set.
    s.search.Start(nullptr);
    s.search.Stop();
    EXPECT_EQ(s.search.Step("E0", [] { return false; }).result, TreeSearch::Result::Continue);
    EXPECT_EQ(s.search.Cursor(), 1);
}

TEST(Search, ARemovalBeforeTheCursorSkipsItsNodesOneBehindChangesNothing)
{
    Searched s;
    s.search.Start(s.entries[1]);  // cursor 5: "desc 1"
    s.search.Step("x", [] { return false; });
    ASSERT_EQ(s.search.Cursor(), 6);  // next: E1's CLSID
    s.tree.Delete(s.entries[0]);      // four nodes before the cursor
    auto found = s.Run("{");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node->Text(), "{2}");  // "{1}" slid under the cursor and was skipped

    s.search.Start(s.entries[2]);
    s.search.Step("x", [] { return false; });
    s.tree.Delete(s.entries[4]);  // behind the cursor
    found = s.Run("{");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node->Text(), "{2}");
}

TEST(Search, AnEntryPutInOrReadAgainKeepsTheCursorOnItsNode)
{
    Searched s;
    s.search.Start(s.entries[1]);  // cursor 5: "desc 1"
    // A new entry of two nodes before the cursor: the cursor follows "desc 1".
    TTreeNode* added = s.tree.InsertChild(nullptr, 0, "{new} entry");
    s.tree.AddChild(added, "{new}");
    s.search.NodesReplaced(0, 0, 2);
    auto found = s.Run("1");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node->Text(), "desc 1");

    // E1 read again with one node fewer while the cursor is inside it: the
    // search goes on after it; E2 after it keeps its place.
    s.search.Start(s.entries[1]->Item(0));  // cursor on E1's CLSID
    const int at = s.entries[1]->AbsoluteIndex() + 1;
    s.tree.Delete(s.entries[1]->Item(1));
    s.search.NodesReplaced(at, 3, 1);
    found = s.Run("{");
    ASSERT_EQ(found.result, TreeSearch::Result::Found);
    EXPECT_EQ(found.node->Text(), "{2}");
}

// Records what the search commands ask and show, the tree's view included.
class RecordingHost final : public SearchHost, public TreeView {
public:
    bool NodeAdded(TTreeNode&) override { return true; }
    void NodeChanged(TTreeNode&) override {}
    void NodeDeleting(TTreeNode&) override {}
    void SetRedraw(bool) override {}
    TTreeNode* Selected() override { return selected; }
    void Select(TTreeNode& node) override { selected = &node; events.push_back("select " + node.Text()); }
    void ScrollToTop(TTreeNode& node) override { events.push_back("top " + node.Text()); }
    void Focus() override { events.push_back("focus"); }

    std::string FindText() override { return text; }
    void OpenFindDialog() override { events.push_back("open"); }
    void CloseFindDialog() override { events.push_back("close"); }
    void ShowError(const std::string& message) override { events.push_back("error " + message); }
    void SetCursor(short cursor) override { events.push_back("cursor " + std::to_string(cursor)); }
    void ShowProgress(const std::string& label) override { events.push_back("progress " + label); }
    void HideProgress() override { events.push_back("hide"); }
    void SetStepping(bool on) override { events.push_back(on ? "step on" : "step off"); }

    std::string text;
    std::vector<std::string> events;
    TTreeNode* selected = nullptr;
};

// The commands over the searched tree, shown through the recording host.
struct Commanded {
    Commanded() { s.tree.AttachView(&host); }
    RecordingHost host;  // outlives the tree that shows through it
    Searched s;
    SearchCommand command{s.tree, s.search, host};
};

TEST(SearchCommand, StartsAfterTheSelectionStepsToAMatchAndShowsIt)
{
    Commanded c;
    auto& [host, s, command] = c;
    host.text = "{3}";
    command.Find();
    host.selected = s.entries[1];
    command.Start();
    EXPECT_TRUE(s.search.Active());
    EXPECT_EQ(s.search.Cursor(), 5);
    // A clock that has always run out: one node a step.
    long long clock = 0;
    const auto now = [&] { return clock += kSearchStepBudget; };
    int steps = 0;
    while (s.search.Active() && steps < 100) {
        command.Step(now);
        ++steps;
    }
    EXPECT_EQ(s.tree.Selected(), s.entries[3]->Item(1)->Item(0));
    const std::vector<std::string> opening{"open", "cursor " + std::to_string(crAppStart), "close",
                                           "progress " + std::string(Text(TextId::SearchProgressLabel, {"{3}"})), "step on"};
    ASSERT_GT(host.events.size(), opening.size() + 3);
    EXPECT_EQ(std::vector<std::string>(host.events.begin(), host.events.begin() + 5), opening);
    const std::vector<std::string> ending{"step off", "hide",  "top {3}", "select {3}",
                                          "focus",    "close", "cursor " + std::to_string(crDefault)};
    EXPECT_EQ(std::vector<std::string>(host.events.end() - 7, host.events.end()), ending);
}

TEST(SearchCommand, NoMatchIsReportedAndASecondFindWhileOneRunsIsRefused)
{
    Commanded c;
    auto& [host, s, command] = c;
    host.text = "absent";
    command.Start();
    host.events.clear();
    command.Find();  // busy: the search goes on
    EXPECT_EQ(host.events, std::vector<std::string>{"error " + std::string(Text(TextId::SearchBusy, {"absent"}))});
    EXPECT_TRUE(s.search.Active());
    host.events.clear();
    command.Step([] { return 0LL; });
    EXPECT_FALSE(s.search.Active());
    EXPECT_EQ(host.events, (std::vector<std::string>{"step off", "hide", "error " + std::string(Text(TextId::SearchNotFound, {"absent"})),
                                                     "cursor " + std::to_string(crDefault)}));
}

}  // namespace
}  // namespace qob
