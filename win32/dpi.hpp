// The DPI functions of Windows 10 version 1607 and 1703, taken from user32 when it has them:
// imported, they would keep the editor from loading at all on the first releases of Windows 10,
// where the same questions have older answers at the system's DPI.
#pragma once

#include <windows.h>

namespace win32 {

// Per-monitor awareness (version 2) where the system knows it; otherwise the manifest's
// declaration stands.
void declarePerMonitorDpiAwareness();

// The DPI of the system, and of a window's monitor; the system's where a window's is unknown.
unsigned systemDpi();
unsigned windowDpi(HWND window);

// GetSystemMetrics for `dpi`; at the system's DPI where the system cannot scale a metric.
int systemMetric(int index, unsigned dpi);

// AdjustWindowRectEx for `dpi`; at the system's DPI where the system cannot scale a frame.
bool adjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD extendedStyle,
                            unsigned dpi);

// The font the system's message boxes use, for `dpi`; scaled from the system's DPI where the
// system cannot tell it for another.
LOGFONTW messageFont(unsigned dpi);

}  // namespace win32
