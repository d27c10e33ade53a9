// Brightwick's shortcut in a Startup folder as Deploy makes it and the status reads it, and
// Windows' startup list that may keep it from starting at logon.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kLauncherName = "Brightwick";
inline constexpr std::string_view kLauncherFile = "Brightwick.exe";

// The file the launcher's shortcut is in a Startup folder.
inline constexpr std::string_view kLauncherLinkFile = "Brightwick.lnk";

// Windows' startup list (Task Manager's Startup apps) keeps one entry per file of a Startup
// folder once the user has turned it off or on there. Its first byte is even while Windows
// may start the file and odd once the user turned it off; a file without an entry starts.
enum class StartupListState { NoEntry, Enabled, Disabled };
StartupListState startupListState(const std::optional<std::string>& entry);

// The entry as Task Manager leaves it when it turns a file on: 2, then no time of turning off.
inline const std::string kEnabledStartupEntry = std::string(1, '\x02') + std::string(11, '\0');

// What the user does where Norvell could not turn the shortcut on in the startup list.
inline constexpr std::string_view kEnableIt =
    " Enable Brightwick in Task Manager's Startup apps (press Ctrl+Shift+Esc, choose Startup "
    "apps, select Brightwick and click Enable), or it will not start at logon.";

// The launcher's shortcut: this editor's Brightwick.exe, started in the editor's working
// folder. `applicationFolder` ends in a backslash (CheckPath). A mapped network drive is
// spelt as its share, which needs no letter at logon. `driveWarnings`, when given, gets what
// the user must know of the drives it names: a drive made by subst, and a network drive whose
// share the network could not tell; one text per drive letter.
Shortcut launcherShortcut(Uses<const Folders, const Files> services,
                          const std::string& applicationFolder,
                          std::vector<std::string>* driveWarnings = nullptr);

// Turns the launcher's shortcut in a Startup folder on again in Windows' startup list when the
// user turned it off there: a new deployment is the wish that it start. What could not be
// done, for the user; none when it starts.
std::optional<std::string> enableInStartupList(Uses<Startup> services, StartupFolder where);

// How the user names each Startup folder: "the Startup folder of your account".
std::string startupFolderWords(StartupFolder where);

}  // namespace editor
