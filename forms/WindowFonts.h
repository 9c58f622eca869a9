// The fonts of the program's windows.
#pragma once

#include "forms/FormHandles.h"

#include <windows.h>

namespace qob {

// The system's non-client metrics, its message and caption fonts among them;
// false when the system does not supply them.
bool SystemFontMetrics(NONCLIENTMETRICSW& metrics);

enum class FontSize {
    Text,   // the windows' texts
    Title,  // the program's name on the wait panel
};

// The windows' font in the selected language: for Japanese the Japanese
// face, 12 pixels high for texts and 16 for the title; for English the
// system's message font, which every system can draw, its face 16 pixels
// high for the title.
FontHandle MakeFont(FontSize size);

}  // namespace qob
