// The hand-offs of a key or a text to other programs (Windows build only):
// the registry editor opened at a key, the clipboard, a report saved where
// the user chooses, and the right-click menu that offers them.
#pragma once

#include "catalogue/NodeKey.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qob {

// Starts the registry editor of the Windows folder, by its full path: a
// program of that name in the program's folder or the current one never
// runs instead. Its failure is not reported.
void StartRegistryEditor(HWND owner);

// Starts the registry editor at the key, or at its nearest parent that is
// there: the editor opens where its LastKey value of the current user says.
void OpenRegistryEditorAt(HWND owner, const KeyInView& key);

// Puts the text on the clipboard as Unicode text; false when the clipboard
// could not be had.
bool CopyToClipboard(HWND owner, const std::string& text);

// Asks where to save a CSV report (the system's save dialog) and writes
// `contents` there. False when the user cancelled; when the file could not
// be written a message says so.
bool SaveReportAs(HWND owner, const std::string& contents);

// An item of a right-click menu: its command and text.
struct PopupItem {
    UINT command;
    std::string text;
    bool enabled = true;
};

// Shows the menu at `at` (screen coordinates) and gives the chosen command,
// or 0 when none was chosen.
UINT ShowPopupMenu(HWND owner, POINT at, const std::vector<PopupItem>& items);

// Where a right-click menu of a control opens: at the pointer for the
// right button, below the middle of `item` (client coordinates of the
// control) for the keyboard (WM_CONTEXTMENU's position -1, -1).
POINT PopupPosition(HWND control, LPARAM position, const RECT& item);

}  // namespace qob
