// The main window's search commands over the registration tree: the find
// dialog opened, a search started from it, and its steps on the ticks of
// the search timer. What they ask and show goes through a host, so the
// commands are the same on any window. Portable: no platform calls.
#pragma once

#include "search/TreeSearch.h"

#include <functional>
#include <string>

namespace qob {

// What the search commands need of the program's windows.
class SearchHost {
public:
    virtual ~SearchHost() = default;
    // The find dialog's text.
    virtual std::string FindText() = 0;
    virtual void OpenFindDialog() = 0;
    virtual void CloseFindDialog() = 0;
    // An error message with OK.
    virtual void ShowError(const std::string& text) = 0;
    // The application-wide cursor.
    virtual void SetCursor(short cursor) = 0;
    // The progress window, with its label; hidden when the search ends.
    virtual void ShowProgress(const std::string& label) = 0;
    virtual void HideProgress() = 0;
    // The search timer: its next tick runs a step.
    virtual void SetStepping(bool on) = 0;
};

class SearchCommand {
public:
    SearchCommand(TTreeNodes& nodes, TreeSearch& search, SearchHost& host)
        : nodes_(nodes), search_(search), host_(host)
    {
    }

    // Find (F3, the toolbar): the find dialog; while a search runs, a
    // message that one does, and the search goes on.
    void Find();
    // The dialog's Find: a search from the node after the selected one,
    // under the app-start cursor, its progress shown.
    void Start();
    // A tick of the search timer: nodes are examined until a match, the end
    // of the tree or the step's time budget on `now` (microseconds); then
    // the message loop runs again. A match is scrolled to the top, selected
    // and focused; no match is reported.
    void Step(const std::function<long long()>& now);

private:
    void End();

    TTreeNodes& nodes_;
    TreeSearch& search_;
    SearchHost& host_;
};

}  // namespace qob
