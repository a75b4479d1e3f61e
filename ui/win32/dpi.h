// The screen's DPI and what depends on it, on every Windows from 7 SP1 on.
// Windows 10 1607 has a function for each at any DPI; each is looked up at
// run time, and where it is missing the function of Windows 7 stands in,
// which knows only the system's DPI (the one DPI Windows 7 has).
#pragma once

#include <windows.h>

namespace mervalin::win32 {

// Makes the process DPI-aware when its manifest did not: the manifest asks
// for per-monitor awareness (version 2), which a Windows that does not
// understand it leaves to the program. SetProcessDpiAwarenessContext
// (Windows 10 1703), else SetProcessDpiAwareness (8.1), else
// SetProcessDPIAware (Vista: aware of the system's DPI).
void makeDpiAware();

// The system's DPI: GetDpiForSystem, else the screen's LOGPIXELSX.
UINT systemDpi();

// The DPI of the monitor the window is on: GetDpiForWindow, else
// GetDpiForMonitor (8.1), else the system's.
UINT windowDpi(HWND window);

// GetSystemMetrics at that DPI: GetSystemMetricsForDpi, else the system
// DPI's value scaled to it.
int systemMetricForDpi(int index, UINT dpi);

// Grows a client rectangle to the window's, at that DPI:
// AdjustWindowRectExForDpi, else AdjustWindowRectEx at the system's DPI
// (the caller then corrects the client area by what is missing). False when
// Windows refuses.
bool adjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace mervalin::win32
