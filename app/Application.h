// The application object: title, main window, the application-wide cursor,
// the error report that every escaping error reaches, and the message loops.
// There is one per process, `Application`.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace qob {

// Values of the application-wide cursor.
constexpr short crDefault = 0;
constexpr short crHourGlass = -11;
constexpr short crAppStart = -19;

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

    // --- application-wide cursor (AppCursor.cpp) ---
    short Cursor() const { return cursor_; }
    // Takes effect at once over every window of the program.
    void SetCursor(short cursor);
    // For WM_SETCURSOR of every window: true when an override is in force
    // and was shown (the window then returns TRUE without default handling).
    bool ApplyCursorOverride() const;
    // Counts the settings made, for the rule around modal windows.
    unsigned CursorSetCount() const { return cursorSetCount_; }

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
        short saved_;
        unsigned countAfterOpening_;
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
    // The message box of the error report (the "." rule applied here).
    void ShowException(const std::string& message);

    // --- message loops (Application.cpp, ModalLoop.cpp) ---
    // Runs the main message loop until the program ends; returns the exit code.
    int Run();
    // Takes and dispatches one message (waiting for it); false once WM_QUIT arrived.
    bool ProcessMessage();
    bool Terminated() const { return terminated_; }
    // Runs a nested loop, dispatching every message (timer ticks included),
    // until `done` is true or the program is ending. A WM_QUIT it takes is
    // posted again so that the outer loop ends too.
    void ModalLoop(const std::function<bool()>& done);

private:
    HINSTANCE instance_ = nullptr;
    std::string title_;
    HWND mainWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HWND modelessDialog_ = nullptr;
    short cursor_ = crDefault;
    unsigned cursorSetCount_ = 0;
    bool terminated_ = false;
    int exitCode_ = 0;
};

// The one application object.
extern TApplication Application;

}  // namespace qob
