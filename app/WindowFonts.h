// The fonts of the program's windows.
#pragma once

#include "app/FormHandles.h"

#include <windows.h>

namespace qob {

// The system's non-client metrics, its message and caption fonts among them;
// false when the system does not supply them.
bool SystemFontMetrics(NONCLIENTMETRICSW& metrics);

// The windows' font in the selected language, characterHeight pixels high:
// the Japanese face for Japanese, and for English the face of the system's
// message font, which every system can draw.
FontHandle MakeFont(int characterHeight);

}  // namespace qob
