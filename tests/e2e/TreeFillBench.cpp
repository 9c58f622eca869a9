// Prints how long the main window's tree view takes to take in and show a
// large registration tree: ENTRIES entries of ten nodes each (an entry, its
// description, CLSID and InprocServer32 groups with their values, and a
// TypeLib group with four values). Then a search through the whole tree for
// a text that matches nothing, stepped on the ticks of a 1 ms timer as the
// main window steps it: its time and its longest tick.
//
//   TreeFillBench [ENTRIES]      default 20000, that is 200,000 nodes
#include "forms/Application.h"
#include "forms/TreeViewControl.h"
#include "tests/e2e/TreeHost.h"
#include "catalogue/TreeModel.h"
#include "catalogue/Win32Platform.h"
#include "removal/Removal.h"
#include "search/TreeSearch.h"
#include "texts/Texts.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Now() { return static_cast<double>(qob::MonotonicMicroseconds()) / 1e6; }

double Seconds(double from, double to) { return to - from; }

// Answers every key question Yes and every file question No (the benchmark's
// server is the system's ole32.dll), at once; nothing is saved.
class AnsweringHost final : public qob::RemovalHost {
public:
    int ShowMessage(const std::string& text, qob::TMsgDlgType, qob::TMsgDlgButtons) override
    {
        ++questions;
        return text.rfind(fileQuestion_, 0) == 0 ? qob::mrNo : qob::mrYes;
    }
    void SetCursor(short) override {}
    std::string ErrorText(long code) override { return std::to_string(code); }
    std::unique_ptr<qob::RemovalBackup> NewBackup(const std::string&) override
    {
        struct Unsaved final : qob::RemovalBackup {
            bool SaveKey(const std::string&, qob::RegistryView, std::string&) override { return true; }
            bool SaveValue(const std::string&, qob::RegistryView, const std::string&, std::string&) override
            {
                return true;
            }
            bool SaveFile(const std::string&, std::string&) override { return true; }
            std::string Folder() const override { return {}; }
        };
        return std::make_unique<Unsaved>();
    }
    void ShowBackupFolder(const std::string&) override {}
    int questions = 0;

private:
    // How the question about a file begins: its text up to the path.
    const std::string fileQuestion_ = [] {
        const std::string_view pattern = qob::Text(qob::TextId::RemovalConfirmDeleteFile);
        return std::string(pattern.substr(0, pattern.find("%1")));
    }();
};

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace qob;
    const int entries = argc > 1 ? std::atoi(argv[1]) : 20000;
    Application.Initialize(::GetModuleHandleW(nullptr));
    e2e::TreeHost host(556, 407, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    TTreeViewControl& view = host.View();
    Pump();

    // The model of the tree is built as the scan builds it, while the view
    // takes in what it needs.
    TTreeNodes nodes;
    nodes.AttachView(&view);
    const double start = Now();
    nodes.BeginUpdate();
    for (int i = 0; i < entries; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Qob.Bench.%06d", i);
        TTreeNode* entry = nodes.AddChild(nullptr, name);
        nodes.SetIcon(*entry, kIconNormal);
        nodes.AddChild(entry, "A benchmark registration");
        nodes.AddChild(nodes.AddChild(entry, "CLSID"), "{0B0B0001-0000-4000-8000-000000000001}");
        nodes.AddChild(nodes.AddChild(entry, "InprocServer32"), "C:\\windows\\system32\\ole32.dll");
        TTreeNode* lib = nodes.AddChild(entry, "TypeLib");
        nodes.AddChild(lib, "{0B0B0002-0000-4000-8000-000000000002}");
        nodes.AddChild(lib, "Benchmark type library");
        nodes.AddChild(lib, "C:\\help");
        if (i % 2 != 0)
            nodes.SetIcon(*entry, kIconFaultyEntry);
    }
    nodes.EndUpdate();
    ::UpdateWindow(view.Handle());
    const double shown = Now();
    const std::size_t total = nodes.NodeCount();
    const std::size_t itemsAfterFill = view.ItemCount();

    TTreeNode* last = nodes.TopLevel().back()->Item(3)->Item(2);
    nodes.Select(*last);
    ::UpdateWindow(view.Handle());
    const double selected = Now();
    nodes.ScrollToTop(*nodes.TopLevel().front()->Item(1)->Item(0));
    ::UpdateWindow(view.Handle());
    const double scrolled = Now();
    nodes.Delete(nodes.TopLevel()[static_cast<std::size_t>(entries / 2)].get());
    ::UpdateWindow(view.Handle());
    const double deleted = Now();
    // The whole removal of an entry, dialogs excluded: its keys are not in
    // this registry, and the file question counts the other users of the
    // server among all entries.
    AnsweringHost answers;
    Win32KeyStore store;
    Win32FileSystem files;
    RegistrationRemoval(nodes, store, files, answers).Run(nodes.TopLevel()[static_cast<std::size_t>(entries / 3)].get());
    ::UpdateWindow(view.Handle());
    const double removed = Now();

    // The search, one step per tick of a 1 ms timer, until the end of the tree.
    int flag = 0;
    TreeSearch search(nodes, flag);
    search.Start(nullptr);
    constexpr UINT_PTR kTimer = 7;
    ::SetTimer(host.Window(), kTimer, 1, nullptr);
    const double searchStart = Now();
    double longestTick = 0;
    int ticks = 0;
    for (MSG msg; ::GetMessageW(&msg, nullptr, 0, 0);) {
        if (msg.message != WM_TIMER || msg.wParam != kTimer) {
            ::DispatchMessageW(&msg);
            continue;
        }
        const double tickStart = Now();
        ::KillTimer(host.Window(), kTimer);
        const TreeSearch::Outcome outcome = search.StepFor("no such text", qob::MonotonicMicroseconds);
        ++ticks;
        if (outcome.result == TreeSearch::Result::Continue)
            ::SetTimer(host.Window(), kTimer, 1, nullptr);
        const double tick = Seconds(tickStart, Now());
        longestTick = tick > longestTick ? tick : longestTick;
        if (outcome.result != TreeSearch::Result::Continue)
            break;
    }
    const double searchEnd = Now();

    std::printf("nodes %zu, entries %d, items in the control after the fill %zu\n", total, entries,
                itemsAfterFill);
    std::printf("fill and first paint: %.3f s\n", Seconds(start, shown));
    std::printf("select the last value node (opens its entry): %.3f s\n", Seconds(shown, selected));
    std::printf("scroll the first value node to the top: %.3f s\n", Seconds(selected, scrolled));
    std::printf("delete an entry in the middle: %.3f s\n", Seconds(scrolled, deleted));
    std::printf("remove an entry with its %d questions answered at once: %.3f s\n", answers.questions,
                Seconds(deleted, removed));
    std::printf("search matching nothing through %zu nodes: %.3f s in %d ticks, longest tick %.1f ms\n",
                nodes.NodeCount(), Seconds(searchStart, searchEnd), ticks, longestTick * 1000);
    nodes.AttachView(nullptr);
    return 0;
}
