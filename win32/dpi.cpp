#include "win32/dpi.hpp"

#include "win32/owners.hpp"
#include "win32/system_library.hpp"

namespace win32 {

namespace {

struct DpiFunctions {
    decltype(&SetProcessDpiAwarenessContext) setAwareness = nullptr;
    decltype(&GetDpiForSystem) forSystem = nullptr;
    decltype(&GetDpiForWindow) forWindow = nullptr;
    decltype(&AdjustWindowRectExForDpi) adjust = nullptr;
    decltype(&GetSystemMetricsForDpi) metric = nullptr;
    decltype(&SystemParametersInfoForDpi) parameters = nullptr;
};

const DpiFunctions& functions() {
    static const DpiFunctions found = [] {
        DpiFunctions table;
        // user32 is loaded by every windowed program; this takes no reference of its own.
        const HMODULE user = GetModuleHandleW(L"user32.dll");
        if (!user) return table;
        table.setAwareness = procedureOf<decltype(&SetProcessDpiAwarenessContext)>(
            user, "SetProcessDpiAwarenessContext");
        table.forSystem = procedureOf<decltype(&GetDpiForSystem)>(user, "GetDpiForSystem");
        table.forWindow = procedureOf<decltype(&GetDpiForWindow)>(user, "GetDpiForWindow");
        table.adjust =
            procedureOf<decltype(&AdjustWindowRectExForDpi)>(user, "AdjustWindowRectExForDpi");
        table.metric =
            procedureOf<decltype(&GetSystemMetricsForDpi)>(user, "GetSystemMetricsForDpi");
        table.parameters =
            procedureOf<decltype(&SystemParametersInfoForDpi)>(user, "SystemParametersInfoForDpi");
        return table;
    }();
    return found;
}

}  // namespace

void declarePerMonitorDpiAwareness() {
    if (functions().setAwareness) {
        functions().setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
}

unsigned systemDpi() {
    if (functions().forSystem) return functions().forSystem();
    const ClientDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<unsigned>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

unsigned windowDpi(HWND window) {
    if (functions().forWindow) {
        if (const UINT dpi = functions().forWindow(window)) return dpi;
    }
    return systemDpi();
}

int systemMetric(int index, unsigned dpi) {
    if (functions().metric) return functions().metric(index, dpi);
    return GetSystemMetrics(index);
}

bool adjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD extendedStyle,
                            unsigned dpi) {
    if (functions().adjust) {
        return functions().adjust(&rect, style, hasMenu, extendedStyle, dpi) != FALSE;
    }
    return AdjustWindowRectEx(&rect, style, hasMenu, extendedStyle) != FALSE;
}

LOGFONTW messageFont(unsigned dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (functions().parameters &&
        functions().parameters(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return metrics.lfMessageFont;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        LOGFONTW fallback{};
        fallback.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
        fallback.lfWeight = FW_NORMAL;
        fallback.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(fallback.lfFaceName, L"Segoe UI", LF_FACESIZE);
        return fallback;
    }
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            static_cast<int>(systemDpi()));
    return metrics.lfMessageFont;
}

}  // namespace win32
