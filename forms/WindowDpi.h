// The DPI of windows and of the system, from the functions of Windows 10
// (version 1607 on) where the system has them, else from the screen's
// device context, as older systems report it.
#pragma once

#include "forms/DpiScale.h"

#include <windows.h>

namespace qob {

// The DPI the window is drawn at: that of its screen for a program aware of
// each screen's scale.
int WindowDpi(HWND window);
// The DPI of the system: what windows not yet made are drawn at.
int SystemDpi();
// The outer size of a window whose client area is `clientWidth` by
// `clientHeight` pixels at `dpi`, its frame as the system draws it there.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu, int dpi);
// The system's size of an icon (SM_CXICON and the like) at `dpi`.
int SystemMetricForDpi(int index, int dpi);

}  // namespace qob
