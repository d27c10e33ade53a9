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

// The click of Command3: combine, ask, then put the launcher's shortcut into a Startup folder
// or clear the data files. A shortcut for all users is made only from folders that only
// administrators can change and every user can read, with administrator rights when the
// user agrees to ask for them. After a shortcut is made, Windows' startup list may start it,
// and the user learns of a second shortcut that would start Brightwick twice.
void deploy(Uses<Messages, Programs, Folders, const Files, Startup, Access> services);

// The click of Command5: reset the weekday boxes and the lists, then clear the data files.
void resetClearList(MainControls& controls, Uses<Messages, Programs, Folders> services);

}  // namespace editor
