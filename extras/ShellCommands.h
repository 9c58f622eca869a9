// The auxiliary commands that hand over to the shell: the tutorial page
// beside the program and the registry editor. Their failures are not
// reported: the command then simply has no effect.
#pragma once

#include <windows.h>

#include <string>

namespace qob {

// The full path of the running program file, however long it is; empty when
// the system does not tell.
std::string ProgramFilePath();

// Opens the tutorial page of the user's language, beside the program file.
void OpenTutorialPage(HWND owner);

// Starts the registry editor of the Windows folder, on its own.
void OpenRegistryEditor(HWND owner);

}  // namespace qob
