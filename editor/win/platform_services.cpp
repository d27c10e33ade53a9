#include "editor/win/platform_services.hpp"

#include <shlobj.h>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/win/message_window.hpp"
#include "launcher/history_file.hpp"
#include "launcher/system_start.hpp"
#include "win32/command_search.hpp"
#include "win32/drive.hpp"
#include "win32/elevation.hpp"
#include "win32/error.hpp"
#include "win32/path.hpp"
#include "win32/process.hpp"
#include "win32/recycle.hpp"
#include "win32/registry.hpp"
#include "win32/security.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {
// Where Windows' startup list (Task Manager's Startup apps) keeps its entries for the files of
// a Startup folder: under the user's key for the user's folder, the machine's for all users.
constexpr wchar_t kStartupListKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

HKEY startupListRoot(StartupFolder where) {
    return where == StartupFolder::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

const KNOWNFOLDERID& startupFolderId(StartupFolder where) {
    return where == StartupFolder::CurrentUser ? FOLDERID_Startup : FOLDERID_CommonStartup;
}

// Waits for a process while the editor's windows keep painting; input to `disable` is
// blocked meanwhile, as under a modal box. False when the deadline passed first.
bool waitPumpingMessages(HANDLE process, std::chrono::milliseconds deadline, HWND disable) {
    const bool disabled = disable && !EnableWindow(disable, FALSE);
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(deadline.count());
    bool finished = false;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) break;
        const DWORD wait = MsgWaitForMultipleObjects(1, &process, FALSE,
                                                     static_cast<DWORD>(end - now), QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            finished = true;
            break;
        }
        if (wait != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        bool quit = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Leave the quit for the main loop, which sees it after this handler returns.
                PostQuitMessage(static_cast<int>(msg.wParam));
                quit = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (quit) break;
    }
    if (disabled) EnableWindow(disable, TRUE);
    return finished;
}
}  // namespace

HWND PlatformServices::visibleOwner() const {
    // The editor's window the user works in: Main, or the viewer while Main is hidden.
    if (HWND active = GetActiveWindow(); active && IsWindowVisible(active)) return active;
    return owner_ && IsWindowVisible(owner_) ? owner_ : nullptr;
}

Answer PlatformServices::message(std::string_view text, Buttons buttons) {
    return showMessage(visibleOwner(), text, buttons);
}

schedule::Outcome PlatformServices::start(std::string_view program, std::string_view arguments,
                                          int showWindow) {
    const std::wstring application = win32::widen(program);
    std::wstring commandLine = L"\"" + application + L"\"";
    if (!arguments.empty()) commandLine += L" " + win32::widen(arguments);
    // The editor never waits for these programs: their handle goes as soon as they start.
    win32::UniqueHandle process;
    return win32::startProgram(commandLine, showWindow, process, &application);
}

std::optional<std::string> PlatformServices::logonHistoryFile() const {
    const std::optional<std::wstring> path = launcher::logonHistoryPath();
    if (!path || GetFileAttributesW(path->c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return win32::narrow(*path);
}

std::string PlatformServices::windowsFolder() const {
    // The system's own, shared by every user, not a terminal server user's private copy.
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = GetSystemWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    folder.resize(length < folder.size() ? length : 0);
    return win32::narrow(folder);
}

HelperRun PlatformServices::runHelper(std::string_view name, std::chrono::milliseconds deadline) {
    HelperRun run;
    // The helper tells what it could not do on its output; the pipe holds all of it, so the
    // helper never waits for the editor to read.
    win32::OutputPipe output;
    schedule::Outcome started = win32::createOutputPipe(output, 64 * 1024);
    win32::UniqueHandle process;
    if (started) {
        started = win32::startProgram(win32::widen(name), schedule::kShowHide, process, nullptr,
                                      output.write.get());
    }
    output.write.reset();  // the helper's copy is the only writer left
    if (!started) {
        run.ending = HelperRun::Ending::NotStarted;
        run.error = started.error;
        return run;
    }
    if (!waitPumpingMessages(process.get(), deadline, visibleOwner())) {
        run.ending = HelperRun::Ending::TimedOut;
        return run;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    run.exitCode = code;
    const std::string said = win32::readAll(output.read.get(), std::size_t{64} * 1024);
    for (std::size_t start = 0; start < said.size();) {
        const std::size_t end = said.find('\n', start);
        const std::string line =
            said.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty()) run.problems.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return run;
}

std::string PlatformServices::programFolder() const {
    return win32::narrow(win32::ownProgramFolder());
}

std::string PlatformServices::workingFolder() const {
    return win32::narrow(win32::currentFolder());
}

bool PlatformServices::isFile(std::string_view path) const {
    return win32::isFile(win32::widen(path));
}

std::optional<std::string> PlatformServices::programFilesFolder() const {
    std::wstring folder;
    if (!win32::knownFolder(FOLDERID_ProgramFiles, folder)) return std::nullopt;
    return win32::narrow(folder);
}

std::optional<std::string> PlatformServices::toAnsi(std::string_view text) const {
    return win32::toCodePageExactly(win32::widen(text));
}

std::string PlatformServices::fromAnsi(std::string_view bytes) const {
    return win32::narrow(win32::fromCodePage(bytes));
}

bool PlatformServices::programFound(std::string_view programLine) const {
    return win32::commandFound(win32::widen(programLine));
}

std::optional<std::string> PlatformServices::searchProgram(std::string_view name) const {
    const std::optional<std::wstring> found = win32::searchProgram(win32::widen(name));
    if (!found) return std::nullopt;
    return win32::narrow(*found);
}

schedule::Outcome PlatformServices::startRecord(std::string_view programLine, int showWindow) {
    // The launcher's own way, so a record tried here starts as it will at logon; a consent
    // prompt belongs to the window the user works in.
    launcher::SystemStart system(visibleOwner());
    return launcher::startProgramLine(programLine, showWindow, system).outcome;
}

schedule::Outcome PlatformServices::createShortcut(StartupFolder where, const Shortcut& shortcut,
                                                   std::string& folder) {
    std::wstring path;
    if (schedule::Outcome found = win32::knownFolder(startupFolderId(where), path); !found) {
        return found;
    }
    folder = win32::narrow(path);
    // The folder may not exist yet on a new profile.
    const int created = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS &&
        created != ERROR_FILE_EXISTS) {
        return win32::systemFailure(static_cast<unsigned long>(created));
    }
    return win32::saveLink(path + L"\\" + win32::widen(shortcut.name) + L".lnk",
                           {win32::widen(shortcut.target), win32::widen(shortcut.arguments),
                            win32::widen(shortcut.workingFolder)});
}

schedule::Outcome PlatformServices::startupFolder(StartupFolder where, std::string& folder) const {
    std::wstring path;
    if (schedule::Outcome found = win32::knownFolder(startupFolderId(where), path); !found) {
        return found;
    }
    folder = win32::narrow(path);
    return schedule::Outcome::success();
}

schedule::Outcome PlatformServices::readShortcut(std::string_view path,
                                                 std::optional<Shortcut>& shortcut) const {
    shortcut.reset();
    const std::wstring file = win32::widen(path);
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return schedule::Outcome::success();
        }
        return win32::systemFailure(error);
    }
    win32::Link link;
    if (schedule::Outcome loaded = win32::loadLink(file, link); !loaded) return loaded;
    shortcut = Shortcut{"", win32::narrow(link.target), win32::narrow(link.arguments),
                        win32::narrow(link.workingFolder)};
    return schedule::Outcome::success();
}

schedule::Outcome PlatformServices::startupListEntry(StartupFolder where, std::string_view fileName,
                                                     std::optional<std::string>& bytes) const {
    return win32::readRegistryBytes(startupListRoot(where), kStartupListKey, win32::widen(fileName),
                                    bytes);
}

schedule::Outcome PlatformServices::setStartupListEntry(StartupFolder where,
                                                        std::string_view fileName,
                                                        std::string_view bytes) {
    return win32::writeRegistryBinary(startupListRoot(where), kStartupListKey,
                                      win32::widen(fileName), bytes);
}

DriveLetter PlatformServices::driveLetter(std::string_view path) const {
    const win32::DriveLetter drive = win32::driveLetter(win32::widen(path));
    DriveLetter found;
    found.path = win32::narrow(drive.path);
    switch (drive.kind) {
        case win32::DriveLetter::Kind::Local:
            found.kind = DriveLetter::Kind::Local;
            break;
        case win32::DriveLetter::Kind::Network:
            found.kind = DriveLetter::Kind::Network;
            if (found.path.empty()) found.error = win32::systemReason(drive.error);
            break;
        case win32::DriveLetter::Kind::Substitute:
            found.kind = DriveLetter::Kind::Substitute;
            break;
    }
    return found;
}

bool PlatformServices::samePath(std::string_view first, std::string_view second) const {
    return win32::samePath(win32::widen(first), win32::widen(second));
}

schedule::Outcome PlatformServices::lastLogonRun(std::optional<launcher::LastRun>& last) const {
    return launcher::readLastLogonRun(last);
}

bool PlatformServices::recycleBinTakes(std::string_view folder) const {
    return win32::recycleBinTakes(win32::widen(folder));
}

schedule::Outcome PlatformServices::recycle(std::string_view path, bool forGoodAgreed) {
    return win32::recycle(win32::widen(path), forGoodAgreed, visibleOwner());
}

schedule::Outcome PlatformServices::security(std::string_view path, Security& security) const {
    win32::FileSecurity read;
    if (schedule::Outcome found = win32::readFileSecurity(win32::widen(path), read); !found) {
        return found;
    }
    security = {win32::narrow(read.ownerSid),
                win32::narrow(read.ownerName),
                read.hasAccessList,
                {},
                read.reparsePoint};
    for (const win32::AccessControlEntry& entry : read.entries) {
        security.entries.push_back({entry.allows, win32::narrow(entry.sid),
                                    win32::narrow(entry.name), entry.rights, entry.inheritOnly,
                                    entry.toNewFiles, entry.toNewFolders, entry.conditional});
    }
    return schedule::Outcome::success();
}

Account PlatformServices::account() const {
    // Without them no entry counts as the user's own, which only refuses more.
    Account account;
    std::wstring sid;
    if (win32::currentUserSid(sid)) account.sid = win32::narrow(sid);
    if (!win32::currentUserIsAdministrator(account.administrator)) account.administrator = false;
    return account;
}

AdministratorRun PlatformServices::runAsAdministrator(std::string_view arguments,
                                                      std::chrono::milliseconds patience) {
    AdministratorRun run;
    win32::UniqueHandle process;
    if (schedule::Outcome started = win32::startOwnProgramAsAdministrator(
            win32::widen(arguments), win32::currentFolder(), visibleOwner(), process);
        !started) {
        run.ending = AdministratorRun::Ending::NotStarted;
        run.failure = std::move(started);
        return run;
    }
    if (!waitPumpingMessages(process.get(), patience, visibleOwner())) {
        run.ending = AdministratorRun::Ending::StillRunning;
        return run;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) code = GetLastError();
    run.exitCode = code;
    // The editor's own statuses mean nothing to the system.
    if (code != 0 && (code & kApplicationCode) == 0) run.failure = win32::systemFailure(code);
    return run;
}

namespace {
std::vector<win32::AccessControlEntry> forTheSystem(const std::vector<AccessEntry>& entries) {
    std::vector<win32::AccessControlEntry> converted;
    converted.reserve(entries.size());
    for (const AccessEntry& entry : entries) {
        converted.push_back({entry.allows, win32::widen(entry.sid), win32::widen(entry.name),
                             entry.rights, entry.inheritOnly, entry.toNewFiles,
                             entry.toNewFolders});
    }
    return converted;
}
}  // namespace

schedule::Outcome PlatformServices::createFolder(std::string_view path,
                                                 const std::vector<AccessEntry>& entries,
                                                 bool& existed) {
    return win32::createFolderWithAccess(win32::widen(path), forTheSystem(entries), existed);
}

schedule::Outcome PlatformServices::setFolderAccess(std::string_view path,
                                                    const std::vector<AccessEntry>& entries) {
    return win32::setFolderAccess(win32::widen(path), forTheSystem(entries));
}

std::optional<std::string> PlatformServices::programDataFolder() const {
    std::wstring folder;
    if (!win32::knownFolder(FOLDERID_ProgramData, folder)) return std::nullopt;
    return win32::narrow(folder);
}

schedule::Outcome PlatformServices::folderItems(std::string_view path,
                                                std::vector<FolderItem>& items) const {
    std::vector<win32::FolderEntry> entries;
    if (schedule::Outcome listed = win32::listFolder(win32::widen(path), entries); !listed) {
        return listed;
    }
    items.clear();
    for (const win32::FolderEntry& entry : entries) {
        items.push_back({win32::narrow(entry.name),
                         (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    }
    return schedule::Outcome::success();
}

schedule::Outcome PlatformServices::takeOver(std::string_view path) {
    return win32::takeOverForAdministrators(win32::widen(path));
}

bool PlatformServices::runsElevated() const {
    return win32::runsElevated();
}

schedule::Outcome PlatformServices::startAsAdministrator(std::string_view arguments) {
    // Never waited for: the new instance is the editor from now on.
    win32::UniqueHandle process;
    return win32::startOwnProgramAsAdministrator(win32::widen(arguments), win32::currentFolder(),
                                                 visibleOwner(), process, SW_SHOWNORMAL);
}

}  // namespace editor
