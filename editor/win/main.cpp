// Norvell, the schedule editor: one user-interface thread, Main as its first window, and an
// end once the last of its windows has closed. Started by Deploy with administrator rights and
// its one internal argument, it makes the launcher's shortcut for all users and ends instead.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/win/main_window.hpp"
#include "editor/win/platform_services.hpp"
#include "editor/win/window.hpp"
#include "win32/dll_search.hpp"
#include "win32/dpi.hpp"
#include "win32/error.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace {

// The command line split as the system splits it, the program first; the whole line alone when
// nothing follows the program's name, and empty when it cannot be split.
std::vector<std::string> commandLineArguments() {
    const std::string line = win32::narrow(GetCommandLineW());
    if (!editor::hasArgumentsAfterProgram(line)) return {line};
    int count = 0;
    const win32::UniqueLocalMemory<LPWSTR> split(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    if (!split) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(win32::narrow(split.get()[i]));
    return arguments;
}

// The elevated instance: no window, no message; the result is its exit status, for the
// instance that started it to report.
int createAllUsersShortcut(const std::vector<std::string>& arguments) {
    const std::optional<std::string> folder = editor::allUsersShortcutFolder(arguments);
    if (!folder) return static_cast<int>(editor::kInvalidParameter);
    // The shortcut's working folder is the process's own, as for every deployment.
    if (!SetCurrentDirectoryW(win32::widen(*folder).c_str())) {
        return static_cast<int>(GetLastError());
    }
    try {
        editor::PlatformServices services;
        return static_cast<int>(editor::createAllUsersShortcut(services));
    } catch (const std::exception&) {
        return static_cast<int>(editor::kCannotComplete);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    win32::narrowDllSearch();
    // Shortcuts are made through COM.
    const win32::ComApartment apartment;
    if (const std::vector<std::string> arguments = commandLineArguments();
        editor::asksForAllUsersShortcut(arguments)) {
        return createAllUsersShortcut(arguments);
    }
    // The manifest declares it already; a copy that lost its manifest still scales.
    win32::declarePerMonitorDpiAwareness();
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
        return editor::runMessageLoop(
            [&main](MSG& message) { return main.translateAccelerator(message); });
    } catch (const std::exception& failure) {
        // Only reached before the window exists: inside it, failures are reported where they
        // happen and the editor goes on.
        editor::reportUnexpectedFailure(nullptr, failure.what());
        return 1;
    }
}
