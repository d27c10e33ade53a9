// Norvell, the schedule editor: one user-interface thread, Main as its first window, and an
// end once the last of its windows has closed. Started by Deploy with administrator rights and
// its one internal argument, it makes the launcher's shortcut for all users and ends instead;
// started again with administrator rights for a shared schedule, it opens in that schedule's
// folder; started by the installer for all users, it does one step of that installation, and
// from the installer's last page it starts Norvell or the read-me for the desktop's user.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "editor/core/all_users_setup.hpp"
#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/programs_in_use.hpp"
#include "editor/core/shared_schedule.hpp"
#include "editor/win/desktop_start.hpp"
#include "editor/win/main_window.hpp"
#include "editor/win/platform_services.hpp"
#include "editor/win/program_use.hpp"
#include "editor/win/window.hpp"
#include "win32/dll_search.hpp"
#include "win32/dpi.hpp"
#include "win32/error.hpp"
#include "win32/folder.hpp"
#include "win32/owners.hpp"
#include "win32/path.hpp"
#include "win32/setup_log.hpp"
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

// The folder path as a prefix for the names of the files in it.
std::wstring folderPrefix(const std::string& folder) {
    std::wstring prefix = win32::widen(folder);
    if (!prefix.ends_with(L'\\')) prefix += L'\\';
    return prefix;
}

// A step of the installer for all users: no window, no message. What it did goes into the
// installer's log, named last on its command line, and its status is the exit status that the
// installer passes on.
editor::SetupStatus setupStep(const std::vector<std::string>& arguments,
                              std::vector<std::string>& report, std::string& log) {
    using editor::SetupStatus;
    editor::PlatformServices services;
    // Started with administrator rights on a command line anyone may have written: nothing is
    // written, the log neither, unless the folder and the log are the installer's own.
    if (editor::asksFor(arguments, editor::kMakeSharedFolderSwitch)) {
        const auto paths = editor::pathsAfterSwitch(arguments, editor::kMakeSharedFolderSwitch, 2);
        if (!paths || editor::setupArgumentsRefusal(services, (*paths)[0], (*paths)[1])) {
            return SetupStatus::BadCommandLine;
        }
        const std::string& folder = (*paths)[0];
        log = (*paths)[1];
        return editor::makeSharedScheduleFolder(services, folder, report);
    }
    // The installer doubles the backslashes before a closing quote, as CommandLineToArgvW
    // reads them, so a folder given as "C:\Sched\" arrives with its backslash.
    std::vector<std::string> trimmed = arguments;
    if (trimmed.size() == 5) trimmed[3] = editor::withoutTrailingBackslashes(trimmed[3]);
    const auto paths = editor::pathsAfterSwitch(trimmed, editor::kDeployForAllUsersSwitch, 3);
    if (!paths || editor::setupArgumentsRefusal(services, (*paths)[0], (*paths)[2])) {
        return SetupStatus::BadCommandLine;
    }
    const std::string& shared = (*paths)[0];
    const std::string& source = (*paths)[1];
    log = (*paths)[2];
    // The shortcut's working folder is the process's own, as for every deployment.
    if (!SetCurrentDirectoryW(win32::widen(shared).c_str())) {
        report.push_back("The schedule folder " + shared +
                         " cannot be opened: " + win32::lastErrorReason());
        return SetupStatus::SharedFolderNotMade;
    }
    const DWORD attributes = GetFileAttributesW(win32::widen(source).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        report.push_back("The schedule folder " + source + " does not exist" +
                         (attributes == INVALID_FILE_ATTRIBUTES
                              ? " or cannot be reached: " + win32::lastErrorReason()
                              : std::string(": it is a file.")));
        return SetupStatus::ScheduleNotFound;
    }
    win32::WorkingFolder picks(folderPrefix(source), true);
    SYSTEMTIME now;
    GetSystemTime(&now);
    return editor::deployScheduleForAllUsers(
        services, picks, source,
        {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}, report);
}

int runSetupStep(const std::vector<std::string>& arguments) {
    std::vector<std::string> report;
    std::string log;
    editor::SetupStatus status = editor::SetupStatus::StepFailed;
    try {
        status = setupStep(arguments, report, log);
    } catch (const std::exception& failure) {
        report.push_back(std::string("Norvell.exe could not finish: ") + failure.what());
    }
    if (!log.empty()) {
        std::vector<std::wstring> lines;
        lines.reserve(report.size());
        for (const std::string& line : report) lines.push_back(win32::widen(line));
        // The status tells the installer what happened even when its log cannot be written.
        win32::appendLogLines(win32::widen(log), lines);
    }
    return static_cast<int>(status);
}

// The uninstaller's question before it deletes anything: which programs of the installation's
// folder are in use. No window, no message: the status says, and the file named last gets the
// programs in use, for the uninstaller's message.
int checkProgramsInUse(const std::vector<std::string>& arguments) {
    const auto paths = editor::pathsAfterSwitch(arguments, editor::kProgramsInUseSwitch, 2);
    if (!paths) return static_cast<int>(editor::InUseStatus::BadCommandLine);
    const std::string& folder = (*paths)[0];
    std::vector<std::wstring> files;
    files.reserve(editor::kInstalledPrograms.size());
    for (std::string_view program : editor::kInstalledPrograms) {
        files.push_back(folderPrefix(folder) + win32::widen(program));
    }
    std::vector<std::string> inUse;
    const editor::InUseStatus status = editor::programsInUse(
        folder, editor::findProgramUse(files), GetCurrentProcessId(),
        [](std::string_view first, std::string_view second) {
            return win32::samePath(win32::widen(first), win32::widen(second));
        },
        inUse);
    if (status == editor::InUseStatus::Some) {
        win32::appendLogLines(win32::widen((*paths)[1]), {win32::widen(editor::inUseLine(inUse))});
    }
    return static_cast<int>(status);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    win32::narrowDllSearch();
    const std::vector<std::string> arguments = commandLineArguments();
    // Shortcuts are made through COM. Started without arguments, the editor starts it once Main
    // has painted: Main needs none of it to show, and nothing calls COM before.
    std::optional<win32::ComApartment> apartment;
    if (arguments.size() > 1) apartment.emplace();
    if (editor::asksForAllUsersShortcut(arguments)) return createAllUsersShortcut(arguments);
    if (editor::asksFor(arguments, editor::kProgramsInUseSwitch)) {
        return checkProgramsInUse(arguments);
    }
    // The installer's last page: Norvell or its read-me for the desktop's user.
    if (editor::asksFor(arguments, editor::kStartForDesktopUserSwitch)) {
        return static_cast<int>(editor::startForDesktopUser(arguments));
    }
    if (editor::asksFor(arguments, editor::kMakeSharedFolderSwitch) ||
        editor::asksFor(arguments, editor::kDeployForAllUsersSwitch)) {
        return runSetupStep(arguments);
    }
    // Started again with administrator rights for a shared schedule: the editor, in its folder.
    if (editor::asksFor(arguments, editor::kEditSharedScheduleSwitch)) {
        const auto folder =
            editor::pathsAfterSwitch(arguments, editor::kEditSharedScheduleSwitch, 1);
        if (!folder) {
            editor::reportUnexpectedFailure(nullptr, "its command line names no schedule folder");
            return static_cast<int>(editor::kInvalidParameter);
        }
        editor::PlatformServices services;
        if (const auto refusal = editor::editSharedScheduleRefusal(services, folder->front())) {
            services.message(*refusal);
            return static_cast<int>(editor::kRefusedForAllUsers);
        }
        if (!SetCurrentDirectoryW(win32::widen(folder->front()).c_str())) {
            const DWORD error = GetLastError();
            // The reason ends in a full stop of its own.
            std::string reason = win32::systemReason(error);
            if (reason.ends_with('.')) reason.pop_back();
            editor::reportUnexpectedFailure(
                nullptr, "the schedule folder " + folder->front() + " cannot be opened: " + reason);
            return static_cast<int>(error);
        }
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
        main.load(showCommand, [&apartment] {
            if (!apartment) apartment.emplace();
        });
        return editor::runMessageLoop(
            [&main](MSG& message) { return main.translateAccelerator(message); });
    } catch (const std::exception& failure) {
        // Only reached before the window exists: inside it, failures are reported where they
        // happen and the editor goes on.
        editor::reportUnexpectedFailure(nullptr, failure.what());
        return 1;
    }
}
