// The Help menu's decisions: the About window's text, and the two documents that open in
// notepad.exe from the application folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/core/services.hpp"
#include "editor/core/version.hpp"

namespace editor::help {
// A namespace of their own: Main's menu identifiers are named About, Readme and Disc too.

// Label1 of Form3. Sized to wrap within the label at Arial 12 pt.
inline constexpr std::string_view kAboutText =
    "Norvell " NORVELL_VERSION_TEXT
    " lets you choose, for each day of the week, which programs start when you "
    "log on to Windows, from which time of day on, and in a normal, hidden, minimized or "
    "maximized window. Its launcher Brightwick starts them at every logon. Norvell is free "
    "software under the MIT License and comes without any warranty; see Help, Disclaimer.";

inline constexpr std::string_view kReadmeFile = "readme.1st";
inline constexpr std::string_view kLicenseFile = "license.txt";

// Help > About. `show` creates the About window or brings it forward; a window that cannot
// be opened is reported with the system's reason.
void About(Uses<Messages> services, const std::function<schedule::Outcome()>& show);

// Help > Readme and Help > Disclaimer: readme.1st and license.txt in the system's notepad.exe,
// each by its full path, quoted, since the working folder need not be the application folder
// and may hold blanks.
void Readme(Uses<Messages, Programs, const Folders> services);
void Disc(Uses<Messages, Programs, const Folders> services);

}  // namespace editor::help
