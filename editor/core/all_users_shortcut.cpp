#include "editor/core/all_users_shortcut.hpp"

#include "editor/core/check_path.hpp"
#include "editor/core/launcher_shortcut.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/core/program_safety.hpp"

namespace editor {

namespace {

// The longest path the system's wide functions take.
constexpr std::size_t kLongestPath = 32767;

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A part between backslashes that names one folder by its own name.
bool isPlainName(std::string_view part) {
    if (part.empty() || part == "." || part == "..") return false;
    // The system drops trailing dots and spaces: such a name is another one's alias.
    return part.back() != '.' && part.back() != ' ';
}

bool isFullFolderPath(std::string_view path) {
    if (path.size() > kLongestPath) return false;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '"' || c == '*' || c == '?' || c == '<' || c == '>' || c == '|' ||
            c == '/') {
            return false;
        }
    }
    std::string_view rest;
    bool share = false;
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
        if (path.size() == 3) return true;  // the drive's root
        rest = path.substr(3);
    } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share\...; the device forms \\?\ and \\.\ fail below, since "?" is
        // refused and "." is no name.
        rest = path.substr(2);
        share = true;
    } else {
        return false;
    }
    if (rest.find(':') != std::string_view::npos) return false;  // streams, devices
    std::size_t parts = 0;
    for (;;) {
        const std::size_t end = rest.find('\\');
        if (!isPlainName(rest.substr(0, end))) return false;
        ++parts;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
        // Only a share's root may end in a backslash, as a drive's root does.
        if (rest.empty()) return share && parts == 2;
    }
    return !share || parts >= 2;
}

}  // namespace

std::string switchArguments(std::string_view switchText, const std::vector<std::string>& paths) {
    std::string line(switchText);
    for (const std::string& path : paths) {
        // Backslashes before the closing quote are doubled, or the system would read \" as a
        // quote within the argument (a drive's root ends in one).
        std::string quoted = path;
        std::size_t trailing = 0;
        while (trailing < quoted.size() && quoted[quoted.size() - 1 - trailing] == '\\') {
            ++trailing;
        }
        quoted.append(trailing, '\\');
        line += " \"" + quoted + "\"";
    }
    return line;
}

bool asksFor(const std::vector<std::string>& arguments, std::string_view switchText) {
    return arguments.size() >= 2 && arguments[1] == switchText;
}

std::optional<std::vector<std::string>> pathsAfterSwitch(const std::vector<std::string>& arguments,
                                                         std::string_view switchText,
                                                         std::size_t count) {
    if (arguments.size() != count + 2 || !asksFor(arguments, switchText)) return std::nullopt;
    std::vector<std::string> paths(arguments.begin() + 2, arguments.end());
    for (const std::string& path : paths) {
        if (!isFullFolderPath(path)) return std::nullopt;
    }
    return paths;
}

std::string allUsersShortcutArguments(std::string_view workingFolder) {
    return switchArguments(kAllUsersShortcutSwitch, {std::string(workingFolder)});
}

bool hasArgumentsAfterProgram(std::string_view commandLine) {
    constexpr std::string_view kBlanks = " \t";
    std::size_t end = 0;
    if (commandLine.starts_with('"')) {
        end = commandLine.find('"', 1);
        if (end == std::string_view::npos) return false;  // the name runs to the end
        ++end;
    } else {
        end = commandLine.find_first_of(kBlanks);
        if (end == std::string_view::npos) return false;
    }
    return commandLine.find_first_not_of(kBlanks, end) != std::string_view::npos;
}

bool asksForAllUsersShortcut(const std::vector<std::string>& arguments) {
    return asksFor(arguments, kAllUsersShortcutSwitch);
}

std::optional<std::string> allUsersShortcutFolder(const std::vector<std::string>& arguments) {
    const auto paths = pathsAfterSwitch(arguments, kAllUsersShortcutSwitch, 1);
    if (!paths) return std::nullopt;
    return paths->front();
}

unsigned long createAllUsersShortcut(
    Uses<const Programs, Folders, const Files, Startup, const Access> services) {
    std::string MyPath;
    CheckPath(MyPath, services);
    if (!services.files().isFile(MyPath + std::string(kLauncherFile))) return kFileNotFound;
    // The first instance checked too, but this one has the rights, so it is the one that must
    // not be talked into an unsafe shortcut.
    if (allUsersRefusal(services, MyPath) || dayFilesRefusal(services)) return kRefusedForAllUsers;
    std::string folder;
    const schedule::Outcome created = services.startup().createShortcut(
        StartupFolder::AllUsers, launcherShortcut(services, MyPath), folder);
    if (!created) return created.code != 0 ? created.code : kCannotComplete;
    // The computer's startup list is under the machine's key, which only this instance may
    // write.
    if (enableInStartupList(services, StartupFolder::AllUsers)) return kMadeButTurnedOff;
    return 0;
}

}  // namespace editor
