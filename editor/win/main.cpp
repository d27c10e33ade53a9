// Norvell, the schedule editor: one user-interface thread, Main as its first window, and an
// end once the last of its windows has closed.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "editor/win/main_window.hpp"
#include "editor/win/platform_services.hpp"
#include "editor/win/window.hpp"
#include "win32/dll_search.hpp"
#include "win32/error.hpp"
#include "win32/owners.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    win32::narrowDllSearch();
    // The manifest declares it already; a copy that lost its manifest still scales.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // Shortcuts are made through COM.
    const win32::ComApartment apartment;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        editor::PlatformServices services;
        editor::WindowRegistry windows;
        editor::MainWindow main(services, windows);
        if (const schedule::Outcome created = main.create(); !created) {
            editor::reportUnexpectedFailure(nullptr,
                                            "the main window cannot be opened: " + created.error);
            return 1;
        }
        services.setOwner(main.hwnd());
        main.load(showCommand);
        return editor::runMessageLoop();
    } catch (const std::exception& failure) {
        // Only reached before the window exists: inside it, failures are reported where they
        // happen and the editor goes on.
        editor::reportUnexpectedFailure(nullptr, failure.what());
        return 1;
    }
}
