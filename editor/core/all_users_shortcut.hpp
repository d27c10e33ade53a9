// The launcher's shortcut for all users made with administrator rights: when the system
// refuses it to the editor, Deploy starts Norvell.exe again, elevated, with one internal
// argument, and that instance creates this one shortcut, turns it on in Windows' startup list
// of the computer, and ends with the result as its exit status. The argument names only the
// working folder: the target is always the Brightwick.exe beside the instance, and the folders
// are checked again before anything is made.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services.hpp"

namespace editor {

// Windows error codes the editor acts on or ends with.
inline constexpr unsigned long kFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr unsigned long kAccessDenied = 5;       // ERROR_ACCESS_DENIED
inline constexpr unsigned long kInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr unsigned long kCannotComplete = 1003;  // ERROR_CAN_NOT_COMPLETE
inline constexpr unsigned long kCancelled = 1223;       // ERROR_CANCELLED

// The elevated instance's own exit statuses. Bit 29 marks a code as an application's own, so
// that no system error code has it.
inline constexpr unsigned long kApplicationCode = 0x20000000;
// It made no shortcut: the folders are not safe for all users.
inline constexpr unsigned long kRefusedForAllUsers = kApplicationCode | 1;
// It made the shortcut, but Windows' startup list keeps it turned off.
inline constexpr unsigned long kMadeButTurnedOff = kApplicationCode | 2;

inline constexpr std::string_view kAllUsersShortcutSwitch = "/create-all-users-shortcut";

// An internal switch of Norvell.exe with the full paths it takes, each quoted so that the system
// splits them back into the switch and the paths.
std::string switchArguments(std::string_view switchText, const std::vector<std::string>& paths);

// Whether a command line, split into arguments as the system splits it (the program first),
// starts with the internal switch. Anything else starts the editor.
bool asksFor(const std::vector<std::string>& arguments, std::string_view switchText);

// The paths that such a command line gives, or none unless it is exactly the switch and `count`
// fully qualified paths ("C:\...", "\\server\share\...") without relative parts, wildcards
// or aliases.
std::optional<std::vector<std::string>> pathsAfterSwitch(const std::vector<std::string>& arguments,
                                                         std::string_view switchText,
                                                         std::size_t count);

// The command line's arguments that ask for the shortcut with `workingFolder`.
std::string allUsersShortcutArguments(std::string_view workingFolder);

// Whether a whole command line holds anything after the program's name, which the system
// reads up to the closing quote when the line starts with one, else up to the first space or
// tab. Only then need the line be split: the system's splitter lives in the shell, which an
// ordinary start need not load.
bool hasArgumentsAfterProgram(std::string_view commandLine);

// Whether a command line, split into arguments as the system splits it (the program first),
// asks for the shortcut: its first argument is the switch. Anything else starts the editor.
bool asksForAllUsersShortcut(const std::vector<std::string>& arguments);

// The working folder that such a command line names, or none unless it is exactly the switch
// and one fully qualified folder path ("C:\...", "\\server\share\...") without relative parts,
// wildcards or aliases.
std::optional<std::string> allUsersShortcutFolder(const std::vector<std::string>& arguments);

// The elevated instance's whole work, in the working folder it was given: the same checks as
// Deploy's answer No, then the shortcut, then its entry in the computer's startup list turned
// on when it was turned off. Its exit status: 0 when all is done, one of its own statuses
// above, otherwise the system's error code.
unsigned long createAllUsersShortcut(
    Uses<const Programs, Folders, const Files, Startup, const Access> services);

}  // namespace editor
