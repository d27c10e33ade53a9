// "Ready to Deploy..." and "Reset/Clear List".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kDeployQuestion =
    " Want a short cut to your login (account)? Yes to your Login only, No to All users, Cancel "
    "to clear data list ";
inline constexpr std::string_view kDeployedForUser =
    "DATA FILES GENERATED and File copied to your Login Profile, Brightwick will be activated "
    "next time you log on";
inline constexpr std::string_view kDeployedForAll =
    "DATA FILES GENERATED and File copied to All Users profile, Brightwick will be activated "
    "next time you log on";
inline constexpr std::string_view kDeployCancelled =
    "DATA FILES clear, Brightwick not copied, but Check if Program already copied";

inline constexpr std::string_view kLauncherName = "Brightwick";
inline constexpr std::string_view kLauncherFile = "Brightwick.exe";

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

// The click of Command3: combine, ask, then put the launcher's shortcut into a Startup folder
// or clear the data files. A shortcut for all users is made only from folders that only
// administrators can change and every user can read, with administrator rights when the
// user agrees to ask for them. After a shortcut is made, Windows' startup list may start it,
// and the user learns of a second shortcut that would start Brightwick twice.
void deploy(Uses<Messages, Programs, Folders, const Files, Startup, Access> services);

// The click of Command5: reset the weekday boxes and the lists, then clear the data files.
void resetClearList(MainControls& controls, Uses<Messages, Programs, Folders> services);

}  // namespace editor
