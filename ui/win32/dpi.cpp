#include "ui/win32/dpi.h"

#include "ui/win32/library.h"

namespace mervalin::win32 {

namespace {

using SetAwarenessContext = BOOL(WINAPI*)(HANDLE context);
using SetAwareness = HRESULT(WINAPI*)(int awareness);
using DpiForSystem = UINT(WINAPI*)();
using DpiForWindow = UINT(WINAPI*)(HWND window);
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR monitor, int kind, UINT* x, UINT* y);
using MetricsForDpi = int(WINAPI*)(int index, UINT dpi);
using AdjustForDpi = BOOL(WINAPI*)(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, PROCESS_PER_MONITOR_DPI_AWARE
// and MDT_EFFECTIVE_DPI, which the headers of Windows 7 do not have.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kProcessPerMonitorAware = 2;
constexpr int kEffectiveDpi = 0;

// USER32's functions of Windows 10, looked up once. USER32 is loaded
// anyway; shcore (Windows 8.1) is loaded only when one of its functions is
// needed.
struct User32 {
    SetAwarenessContext setAwarenessContext = nullptr;
    DpiForSystem dpiForSystem = nullptr;
    DpiForWindow dpiForWindow = nullptr;
    MetricsForDpi metricsForDpi = nullptr;
    AdjustForDpi adjustForDpi = nullptr;
};

const User32& user32() {
    static const User32 functions = [] {
        User32 found;
        HMODULE user = GetModuleHandleW(L"user32.dll");
        found.setAwarenessContext =
            lookUpNewer<SetAwarenessContext>(user, "SetProcessDpiAwarenessContext");
        found.dpiForSystem = lookUpNewer<DpiForSystem>(user, "GetDpiForSystem");
        found.dpiForWindow = lookUpNewer<DpiForWindow>(user, "GetDpiForWindow");
        found.metricsForDpi = lookUpNewer<MetricsForDpi>(user, "GetSystemMetricsForDpi");
        found.adjustForDpi = lookUpNewer<AdjustForDpi>(user, "AdjustWindowRectExForDpi");
        return found;
    }();
    return functions;
}

HMODULE shcore() {
    static const HMODULE module = loadSystemLibrary(L"shcore.dll");
    return module;
}

}  // namespace

void makeDpiAware() {
    if (IsProcessDPIAware()) return;
    if (const auto set = user32().setAwarenessContext; set && set(kPerMonitorAwareV2)) return;
    if (const auto set = lookUpNewer<SetAwareness>(shcore(), "SetProcessDpiAwareness");
        set && SUCCEEDED(set(kProcessPerMonitorAware))) {
        return;
    }
    SetProcessDPIAware();
}

UINT systemDpi() {
    if (const auto get = user32().dpiForSystem) return get();
    // The screen's DPI is the same for every DC: the system's.
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT windowDpi(HWND window) {
    if (const auto get = user32().dpiForWindow) {
        if (const UINT dpi = get(window)) return dpi;
    }
    if (const auto get = lookUpNewer<DpiForMonitor>(shcore(), "GetDpiForMonitor")) {
        UINT x = 0;
        UINT y = 0;
        HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(get(monitor, kEffectiveDpi, &x, &y)) && x > 0) return x;
    }
    return systemDpi();
}

int systemMetricForDpi(int index, UINT dpi) {
    if (const auto get = user32().metricsForDpi) return get(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

bool adjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    if (const auto adjust = user32().adjustForDpi) {
        return adjust(&rect, style, FALSE, exStyle, dpi) != FALSE;
    }
    return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

}  // namespace mervalin::win32
