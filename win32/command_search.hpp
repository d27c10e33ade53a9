// Whether a command line would start something: the question the day list viewer asks of each
// record, so that a program that was moved or uninstalled shows before the next logon.
#pragma once

#include <optional>
#include <string>

namespace win32 {

// True when `commandLine` names an existing file as a whole, or when the program that
// the launcher hands to CreateProcess from it (the quoted first part, else the first word,
// ".exe" added to a name without an extension) is found by the system's program search.
bool commandFound(const std::wstring& commandLine);

// The full path of the file that the system's program search finds for `name`, a program
// named without its folder (".exe" added when it has no extension); none when none is found.
std::optional<std::wstring> searchProgram(const std::wstring& name);

}  // namespace win32
