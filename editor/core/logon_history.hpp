// "Logon History": what Brightwick did at this account's logons, in the system's notepad.
#pragma once

#include <string_view>

#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kNoLogonHistory =
    "Brightwick has not run at a logon of this account yet, so there is no logon history to "
    "show. Deploy it with \"Ready to Deploy...\"; after your next logon the history tells what "
    "it started.";

// The menu item Schedule > Logon History: the history file in the system's notepad.exe, by
// its full path in the Windows folder; a message when there is no history yet, or when
// notepad.exe cannot be started.
void showLogonHistory(Uses<Messages, Programs, const Folders, const Startup> services);

}  // namespace editor
