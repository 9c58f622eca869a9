// The application object: title, main window, the application-wide cursor,
// the error report that every escaping error reaches, and the message loops.
// There is one per process, `Application`.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "forms/CursorState.h"  // and the cursor values crDefault, crHourGlass, crAppStart

namespace qob {

class TApplication {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    void Initialize(HINSTANCE instance);
    HINSTANCE Instance() const { return instance_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    // Accelerators translated for the main window by every message loop.
    void SetAccelerators(HACCEL accelerators) { accelerators_ = accelerators; }
    // A modeless dialog (the find dialog) whose keys the loops hand to IsDialogMessage.
    void SetModelessDialog(HWND dialog) { modelessDialog_ = dialog; }
    HWND ModelessDialog() const { return modelessDialog_; }

    // --- application-wide cursor (AppCursor.cpp) ---
    short Cursor() const { return cursor_.Value(); }
    // Takes effect at once over every window of the program.
    void SetCursor(short cursor);
    // For WM_SETCURSOR of every window: true when an override is in force
    // and was shown (the window then returns TRUE without default handling).
    bool ApplyCursorOverride() const;
    // Counts the settings made, for the rule around modal windows.
    unsigned CursorSetCount() const { return cursor_.SetCount(); }
    // For work on the user-interface thread that takes no input meanwhile
    // (the scan): a pointer that comes over a window of the program then
    // asks for no shape, so this shows the cursor in force on the window
    // under the pointer, as its WM_SETCURSOR answers; at most ten times a
    // second, however often it is called.
    void KeepCursorShown();

    // Saves the cursor and sets the default on opening a modal window; on
    // closing, puts the saved cursor back unless the program set the cursor
    // while it was open, in which case the default stays.
    class ModalCursorScope {
    public:
        explicit ModalCursorScope(TApplication& app);
        ~ModalCursorScope();
        ModalCursorScope(const ModalCursorScope&) = delete;
        ModalCursorScope& operator=(const ModalCursorScope&) = delete;

    private:
        TApplication& app_;
        CursorState::ModalMark mark_;
    };

    // Disables every other enabled, visible top-level window of the program
    // while a modal window (or the error report) is open, and enables them
    // again when it ends; then the window that was active before is
    // activated again and the focus goes back to the control that had it.
    // When that window has gone or been hidden meanwhile (the search's
    // progress window, hidden when the search ends under its question), the
    // main window is activated instead, and its tree takes the focus. End()
    // may be called early (before the modal window is destroyed, so that
    // activation goes back to the program).
    class TaskWindowsDisabled {
    public:
        explicit TaskWindowsDisabled(HWND except = nullptr);
        ~TaskWindowsDisabled() { End(); }
        TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
        TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;
        void End();

    private:
        HWND active_;
        HWND focus_;
        std::vector<HWND> disabled_;
        bool ended_ = false;
    };

    // --- error report (ErrorReport.cpp) ---
    // Runs a handler; an error that escapes it goes to the report.
    template <class Handler>
    void Guard(Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (const std::exception& e) {
            ShowException(e.what());
        } catch (...) {
            ShowException("");
        }
    }
    // The message box of the error report (the "." rule applied here);
    // the message is UTF-8.
    void ShowException(const std::string& message);

    // The help facility. The program has no help file: nothing is shown and
    // false comes back.
    bool HelpContext(long context);

    // --- message loops (Application.cpp) ---
    // Runs the main message loop until the program ends; returns the exit code.
    int Run();
    // Takes and dispatches one message (waiting for it); false once WM_QUIT arrived.
    bool ProcessMessage();
    bool ProcessMessage(const std::function<bool(MSG&)>& preTranslate);
    bool Terminated() const { return terminated_; }
    // Runs a nested loop, dispatching every message (timer ticks included),
    // until `done` is true or the program is ending. A WM_QUIT it takes is
    // posted again so that the outer loop ends too.
    void ModalLoop(const std::function<bool()>& done);
    // The same, offering every message to `preTranslate` first (a modal
    // window's own keys); a message for which it returns true is not
    // dispatched.
    void ModalLoop(const std::function<bool()>& done, const std::function<bool(MSG&)>& preTranslate);
    // Wakes a waiting loop so that it checks its end condition again.
    static void WakeLoop() { ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0); }

private:
    HINSTANCE instance_ = nullptr;
    std::string title_;
    HWND mainWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HWND modelessDialog_ = nullptr;
    CursorState cursor_;
    ULONGLONG cursorShownAt_ = 0;  // GetTickCount64 of the last KeepCursorShown that looked
    bool terminated_ = false;
    int exitCode_ = 0;
};

// The one application object.
extern TApplication Application;

}  // namespace qob
