// The fonts of the program's windows.
#pragma once

#include "forms/FormHandles.h"

#include <windows.h>

namespace qob {

// The system's non-client metrics, its message, caption and status fonts
// among them sized for `dpi`; false when the system does not supply them.
bool SystemFontMetrics(NONCLIENTMETRICSW& metrics, int dpi);

enum class FontSize {
    Text,   // the windows' texts
    Title,  // the program's name on the wait panel
};

// The windows' font in the selected language, for a window at `dpi`: for
// Japanese the Japanese face, 12 pixels high at 100% for texts and 16 for the
// title; for English the system's message font, which every system can draw,
// its face 16 pixels high at 100% for the title.
FontHandle MakeFont(FontSize size, int dpi);

}  // namespace qob
