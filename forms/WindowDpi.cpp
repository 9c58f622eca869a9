#include "forms/WindowDpi.h"

namespace qob {

namespace {

// A function of user32 that older systems lack, or null.
template <class Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    FARPROC address = user32 ? ::GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        return kBaseDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int SystemDpi()
{
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    const auto getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem) {
        const UINT dpi = getDpiForSystem();
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu, int dpi)
{
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT r{0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&r, style, menu, exStyle, static_cast<UINT>(dpi))) {
        r = RECT{0, 0, clientWidth, clientHeight};
        ::AdjustWindowRectEx(&r, style, menu, exStyle);
    }
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int SystemMetricForDpi(int index, int dpi)
{
    using MetricForDpiFunction = int(WINAPI*)(int, UINT);
    const auto metricForDpi = User32Function<MetricForDpiFunction>("GetSystemMetricsForDpi");
    if (metricForDpi)
        return metricForDpi(index, static_cast<UINT>(dpi));
    return DpiScale(dpi).From(::GetSystemMetrics(index), SystemDpi());
}

}  // namespace qob
